// How much the process grows when it uses the largest list, as a multiple
// of the file's size: what a program embedding the library pays in memory.
// Every measurement runs in a fresh child process (fork), so nothing cached
// by an earlier one counts, on a fresh copy of main-10000.ini from
// $ORX_BENCH_FILES (bench/run makes it).
//
//   memory/ReadOneKey/10000          one read of a general setting
//   memory/EnumerateThenWrite/10000  that read, a whole enumeration walk,
//                                    then one one-key write
//
// Counters: growth (resident set after minus before, bytes), peak (the
// high-water mark of the resident set minus the start), file_bytes, and
// both as ratios to the file's size.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "orxProperty.h"
#include "orxPropertyIds.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kTasks = 10000;
constexpr uint32_t kUpdatePeriod = ORX_GENERAL_UPDATE_PERIOD;

struct Growth {
  double rss_bytes = 0;
  double peak_bytes = 0;
  bool ok = false;
};

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in bytes.
double StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) return std::stod(line.substr(length)) * 1024;
  }
  return 0;
}

bool WalkAll() {
  orxChar id[64];
  orxQuery query = nullptr;
  int32_t status = orxGetFirstTask(&query, id, 64, nullptr, 0);
  while (status == 0) status = orxGetNextTask(query, 0);
  if (query != nullptr) orxCloseQuery(query);
  return status == ORX_STATUS_NO_MORE_ITEMS;
}

// In the child: the library on `data`, the resident set before and after
// `use`, and the high-water mark reset at the start.
Growth Measure(const std::string& data, bool enumerate_then_write) {
  setenv("ORX_DATA_FOLDER", data.c_str(), 1);
  orxPropertyInitLibrary();
  Growth growth;
  std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current resident set
  const double before = StatusBytes("VmRSS:");
  orxChar buffer[100];
  bool ok = orxGetProperty(kUpdatePeriod, buffer, 100) == 0;
  if (enumerate_then_write) ok = ok && WalkAll() && orxSetPropertyInt(kUpdatePeriod, 241) == 0;
  growth.rss_bytes = StatusBytes("VmRSS:") - before;
  growth.peak_bytes = StatusBytes("VmHWM:") - before;
  growth.ok = ok;
  return growth;
}

Growth InChild(const std::string& data, bool enumerate_then_write) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_fds[0]);
    const Growth growth = Measure(data, enumerate_then_write);
    const bool sent = write(pipe_fds[1], &growth, sizeof growth) == sizeof growth;
    _exit(sent ? 0 : 1);
  }
  close(pipe_fds[1]);
  Growth growth;
  if (child < 0 || read(pipe_fds[0], &growth, sizeof growth) != sizeof growth) growth = {};
  close(pipe_fds[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return growth;
}

void Run(benchmark::State& state, bool enumerate_then_write) {
  const char* files = getenv("ORX_BENCH_FILES");
  const std::string source =
      std::string(files ? files : ".") + "/main-" + std::to_string(kTasks) + ".ini";
  std::string data = (fs::temp_directory_path() / "orx-memory-XXXXXX").string();
  if (mkdtemp(data.data()) == nullptr || !fs::exists(source)) {
    state.SkipWithError("no main file (set ORX_BENCH_FILES)");
    return;
  }
  const double file_bytes = static_cast<double>(fs::file_size(source));
  Growth growth;
  for (auto _ : state) {
    fs::copy_file(source, data + "/ormix5.ini", fs::copy_options::overwrite_existing);
    growth = InChild(data, enumerate_then_write);
    if (!growth.ok) state.SkipWithError("the child's calls failed");
  }
  fs::remove_all(data);
  state.counters["growth"] = growth.rss_bytes;
  state.counters["peak"] = growth.peak_bytes;
  state.counters["file_bytes"] = file_bytes;
  state.counters["growth_ratio"] = growth.rss_bytes / file_bytes;
  state.counters["peak_ratio"] = growth.peak_bytes / file_bytes;
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  benchmark::RegisterBenchmark("memory/ReadOneKey", [](auto& s) { Run(s, false); })
      ->Arg(kTasks)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("memory/EnumerateThenWrite", [](auto& s) { Run(s, true); })
      ->Arg(kTasks)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
