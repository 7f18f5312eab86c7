// The shared set-up of the whole-library benchmarks (library_fixture.h).
// The data folder lives under $TMPDIR (or /tmp), which should be a real disk
// for the write figures to mean anything; it is removed at exit.
#include "library_fixture.h"

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "main_files.h"
#include "orxProperty.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

// 20 ms is the store's fine timestamp tick; a little more covers the clock
// granularity of the file system.
constexpr std::chrono::milliseconds kPastTimestampTick{30};

class RunFolder {
 public:
  RunFolder() {
    path_ = (fs::temp_directory_path() / "orx-library-bench-XXXXXX").string();
    if (mkdtemp(path_.data()) == nullptr) std::abort();
    const char* given = getenv("ORX_BENCH_FILES");
    files_ = given && *given ? given : path_ + "/files";
    fs::create_directories(files_);
    std::vector<int> holed(std::begin(kTaskCounts), std::end(kTaskCounts));
    std::vector<int> counts = holed;
    counts.insert(counts.end() - 1, kCopyTasks);
    data_ = path_ + "/data";
    fs::create_directories(data_);
    if (!BuildMainFiles(files_, counts, holed)) std::exit(1);
    // 50 localized strings from 1000 on, and the copied-label format.
    std::ofstream module(path_ + "/bench.lang");
    for (int i = 0; i < 50; ++i) module << 1000 + i << "=Localized task label " << i << "\n";
    module << "41111=Copy of %s\n";
    module.close();
    setenv("ORX_LANGUAGE_MODULE", (path_ + "/bench.lang").c_str(), 1);
    setenv("ORX_DATA_FOLDER", data_.c_str(), 1);
    orxPropertyInitLibrary();
    fs::copy_file(ProviderFilePath(files_), data_ + "/Bench.ini");
  }
  ~RunFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& files() const { return files_; }
  const std::string& data() const { return data_; }

 private:
  std::string path_;
  std::string files_;
  std::string data_;
};

const RunFolder& Run() {
  static const RunFolder run;
  return run;
}

// The task id in `slot`, by an enumeration with lastSlot 0.
std::u16string TaskInSlot(int slot) {
  orxChar id[64];
  orxQuery query = nullptr;
  int32_t status = orxGetFirstTask(&query, id, 64, nullptr, 0);
  for (int at = 1; status == 0 && at < slot; ++at) status = orxGetNextTask(query, 0);
  std::u16string found = status == 0 ? id : u"";
  if (query != nullptr) orxCloseQuery(query);
  return found;
}

}  // namespace

const std::string& DataFolder() { return Run().data(); }
const std::string& FilesFolder() { return Run().files(); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void PutFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".put";
  std::ofstream(temporary, std::ios::binary | std::ios::trunc) << bytes;
  fs::rename(temporary, path);
}

void Settle() {
  std::this_thread::sleep_for(kPastTimestampTick);
  orxChar buffer[100];
  orxGetProperty(kUpdatePeriod, buffer, 100);
}

MainFile Prepare(int tasks, bool holed) {
  MainFile file;
  file.path = DataFolder() + "/ormix5.ini";
  file.bytes =
      ReadAll(holed ? HoledFilePath(FilesFolder(), tasks) : MainFilePath(FilesFolder(), tasks));
  if (file.bytes.empty()) {
    std::fprintf(stderr, "no main file of %d tasks in %s\n", tasks, FilesFolder().c_str());
    std::exit(2);
  }
  PutFile(file.path, file.bytes);
  Settle();
  file.probe = TaskInSlot((tasks + 1) / 2);
  return file;
}

void Restore(const MainFile& file) {
  PutFile(file.path, file.bytes);
  Settle();
}

int Tasks(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void Fail(benchmark::State& state, int32_t status) {
  if (status != 0) state.SkipWithError(("status " + std::to_string(status)).c_str());
}

void RegisterRounds(const std::string& name, std::function<void(benchmark::State&)> run, int rounds,
                    int large_rounds, std::vector<int> counts) {
  if (counts.empty()) counts.assign(std::begin(kTaskCounts), std::end(kTaskCounts));
  for (int tasks : counts) {
    benchmark::RegisterBenchmark(name.c_str(), run)
        ->Arg(tasks)
        ->Unit(tasks >= 1000 ? benchmark::kMillisecond : benchmark::kMicrosecond)
        ->Iterations(tasks > 1000 ? large_rounds : rounds)
        ->UseManualTime();
  }
}

}  // namespace orx::bench
