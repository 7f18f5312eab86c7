// The copies live in one folder per process; the id of the probed task is
// taken from the Scanner list of the copy, so the peers need no knowledge
// of how the library names its tasks.
#include "peer_files.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace orx::bench {
namespace {

class CopyFolder {
 public:
  CopyFolder() {
    const char* tmp = getenv("TMPDIR");
    path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/orx-peer-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) {
      std::perror("mkdtemp");
      std::exit(2);
    }
  }
  ~CopyFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The value of `key` in [Scanner], by a plain scan: the file is the
// library's own, ASCII, one key a line.
std::string ScannerEntry(const std::string& path, const std::string& key) {
  std::ifstream in(path);
  std::string line;
  bool in_scanner = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      in_scanner = line == "[Scanner]";
    } else if (in_scanner && line.compare(0, key.size() + 1, key + "=") == 0) {
      return line.substr(key.size() + 1);
    }
  }
  return {};
}

}  // namespace

PeerFile CopyMainFile(int tasks) {
  static const CopyFolder folder;
  static int copies = 0;
  const char* files = getenv("ORX_BENCH_FILES");
  std::string source = std::string(files ? files : ".") + "/main-" + std::to_string(tasks) + ".ini";
  PeerFile file;
  file.path = folder.path() + "/copy-" + std::to_string(++copies) + ".ini";
  std::error_code error;
  std::filesystem::copy_file(source, file.path, error);
  if (error) {
    std::fprintf(stderr, "cannot copy %s (set ORX_BENCH_FILES): %s\n", source.c_str(),
                 error.message().c_str());
    std::exit(2);
  }
  file.task_section = ScannerEntry(file.path, "Task" + std::to_string((tasks + 1) / 2));
  if (file.task_section.empty()) {
    std::fprintf(stderr, "%s lists no task in its middle slot\n", source.c_str());
    std::exit(2);
  }
  return file;
}

void RegisterForEachN(const std::string& subject, const std::string& operation,
                      std::function<void(benchmark::State&)> run, bool manual_time) {
  std::string name = subject + "/" + operation;
  auto* registered = benchmark::RegisterBenchmark(name.c_str(), std::move(run));
  for (int tasks : kTaskCounts) registered->Arg(tasks);
  registered->Unit(benchmark::kMicrosecond);
  if (manual_time) registered->UseManualTime();
}

}  // namespace orx::bench
