// The task registry on the main files the library itself made (46 keys per
// task, main_files.h, read from $ORX_BENCH_FILES), at every N. Each round
// starts from the list of exactly N tasks, put back untimed with the cache
// warmed, and times the operation and one single-key write back to back
// (paired_rounds.h), so every figure is a ratio to the write in the same
// rounds. The compaction runs on the list with every second task removed.
// `replacements` counts the renames that commit a settings file, per
// operation (renames counted at the system call table).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "orxProperty.h"
#include "orxPropertyIds.h"
#include "paired_rounds.h"
#include "peer_files.h"
#include "platform/posix/syscalls.h"

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kUpdatePeriod = ORX_GENERAL_UPDATE_PERIOD;

std::atomic<int> renames{0};

int CountingRename(const char* from, const char* to) {
  renames.fetch_add(1, std::memory_order_relaxed);
  return platform::RealSyscalls().rename(from, to);
}

std::string ListBytes(int tasks, bool holed) {
  const char* files = getenv("ORX_BENCH_FILES");
  const std::string path = std::string(files ? files : ".") + (holed ? "/holed-" : "/main-") +
                           std::to_string(tasks) + ".ini";
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (bytes.str().empty()) {
    std::fprintf(stderr, "missing %s (set ORX_BENCH_FILES)\n", path.c_str());
    std::exit(2);
  }
  return bytes.str();
}

// The library on a data folder of its own, whose main file is put back to
// the list's bytes by Reset().
class TaskRegistry {
 public:
  explicit TaskRegistry(std::string bytes) : bytes_(std::move(bytes)) {
    std::string pattern = (fs::temp_directory_path() / "orx-registry-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    setenv("ORX_DATA_FOLDER", folder_.c_str(), 1);
    orxPropertyInitLibrary();
    Reset();
  }
  ~TaskRegistry() { fs::remove_all(folder_); }

  // A new file renamed over the old, past the store's timestamp tick, then
  // one read: the next call finds a warm cache it may trust.
  void Reset() const {
    const std::string path = folder_ + "/ormix5.ini";
    std::ofstream(path + ".put", std::ios::binary | std::ios::trunc) << bytes_;
    fs::rename(path + ".put", path);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    orxChar buffer[100];
    orxGetProperty(kUpdatePeriod, buffer, 100);
  }

 private:
  std::string bytes_;
  std::string folder_;
};

int Tasks(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// `operation` against one single-key write in the same rounds; on the full
// list of 10,000 tasks a creation is refused (259) and counted so.
template <typename Operation>
void AgainstOneWrite(benchmark::State& state, bool holed, Operation operation) {
  TaskRegistry registry(ListBytes(Tasks(state), holed));
  platform::ScopedSyscall count(&platform::SyscallTable::rename, &CountingRename);
  PairedRounds rounds;
  int refused = 0;
  int operation_renames = 0;
  for (auto _ : state) {
    registry.Reset();
    rounds.Round(
        [&] {
          const int before = renames.load();
          const int32_t status = operation(Tasks(state));
          operation_renames += renames.load() - before;
          if (status == ORX_STATUS_NO_MORE_ITEMS && Tasks(state) >= 10000) {
            ++refused;
          } else if (status != 0) {
            state.SkipWithError(("status " + std::to_string(status)).c_str());
          }
        },
        // The list holds 240: writing it again would replace nothing.
        [&] { orxSetPropertyInt(kUpdatePeriod, 241); });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  rounds.Publish(state, "write");
  state.counters["replacements"] =
      benchmark::Counter(operation_renames, benchmark::Counter::kAvgIterations);
  state.counters["refused"] = benchmark::Counter(refused, benchmark::Counter::kAvgIterations);
}

int32_t CreateTask(int) {
  char16_t id[39];
  uint32_t length = 39;
  return orxCreateTask(id, &length);
}

int32_t RegisterTask(int) {
  char16_t id[] = u"{REGISTERED-0000-4000-8000-000000000000}";
  return orxCreateTask(id, nullptr);
}

// The task in slot 1: every task of the list is a copy of it.
int32_t CopyTask(int) {
  orxChar source[64];
  orxQuery query = nullptr;
  int32_t status = orxGetFirstTask(&query, source, 64, nullptr, 0);
  if (query != nullptr) orxCloseQuery(query);
  if (status != 0) return status;
  char16_t id[39];
  uint32_t length = 39;
  return orxCopyTaskDefinition(source, id, &length);
}

int32_t Shrink(int tasks) { return orxShrinkTasks(tasks); }

void Register(const char* name, void (*run)(benchmark::State&)) {
  for (int tasks : kTaskCounts) {
    benchmark::RegisterBenchmark(name, run)
        ->Arg(tasks)
        ->Iterations(tasks > 1000 ? 5 : 20)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  Register("BM_CreateTask", [](auto& s) { AgainstOneWrite(s, false, CreateTask); });
  Register("BM_RegisterTask", [](auto& s) { AgainstOneWrite(s, false, RegisterTask); });
  Register("BM_CopyTask", [](auto& s) { AgainstOneWrite(s, false, CopyTask); });
  Register("BM_ShrinkTasks", [](auto& s) { AgainstOneWrite(s, true, Shrink); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
