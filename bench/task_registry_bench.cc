// The task registry with 1000 tasks listed, each figure beside its floor in
// the same run: a creation against one single-key write, full enumerations
// with lastSlot 0 and 1000, and a copy and a compaction of 500 gaps with the
// number of file replacements each makes (renames counted at the system
// call table).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include "orxProperty.h"
#include "platform/posix/syscalls.h"

namespace {

std::atomic<int> renames{0};

int CountingRename(const char* from, const char* to) {
  renames.fetch_add(1, std::memory_order_relaxed);
  return orx::platform::RealSyscalls().rename(from, to);
}

std::string TaskId(int n) {
  char id[40];
  snprintf(id, sizeof id, "{%08X-0000-4000-8000-%012X}", n, n);
  return id;
}

// Slots 1..`slots`, `tasks` of them listed: with gaps, every third slot
// from the second is free until the listed count is reached. Each listed
// task has a small section.
std::string TaskFile(int tasks, int gaps) {
  std::string scanner = "[Scanner]\nRawBootTimeScan=0\n";
  std::string sections;
  int listed = 0;
  int gapped = 0;
  for (int slot = 1; listed < tasks; ++slot) {
    if (gapped < gaps && slot % 3 == 2) {
      ++gapped;
      continue;
    }
    const std::string id = TaskId(++listed);
    scanner += "Task" + std::to_string(slot) + "=" + id + "\n";
    sections += "[" + id + "]\nLabel=Task " + std::to_string(listed) + "\nJob=Scan\n";
  }
  return scanner + sections;
}

class TaskRegistry {
 public:
  explicit TaskRegistry(const std::string& contents) : contents_(contents) {
    std::string pattern = (std::filesystem::temp_directory_path() / "orx-bench-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    setenv("ORX_DATA_FOLDER", folder_.c_str(), 1);
    orxPropertyInitLibrary();
    Reset();
  }
  ~TaskRegistry() { std::filesystem::remove_all(folder_); }

  void Reset() const {
    std::ofstream(folder_ + "/ormix5.ini", std::ios::binary | std::ios::trunc) << contents_;
  }

 private:
  std::string contents_;
  std::string folder_;
};

// Runs `operation` on a freshly restored file each iteration (the restore
// is not timed) and reports the renames it makes.
template <typename Operation>
void RunOnRestoredFile(benchmark::State& state, const std::string& contents, Operation operation) {
  TaskRegistry registry(contents);
  orx::platform::ScopedSyscall count(&orx::platform::SyscallTable::rename, &CountingRename);
  renames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    registry.Reset();
    state.ResumeTiming();
    if (operation() != 0) state.SkipWithError("operation failed");
  }
  state.counters["replacements"] =
      benchmark::Counter(renames.load(), benchmark::Counter::kAvgIterations);
}

void BM_SingleKeyWrite(benchmark::State& state) {
  RunOnRestoredFile(state, TaskFile(1000, 0), [] { return orxSetProperty(0x10000, u"26"); });
}
BENCHMARK(BM_SingleKeyWrite)->Unit(benchmark::kMicrosecond);

void BM_CreateTask(benchmark::State& state) {
  RunOnRestoredFile(state, TaskFile(1000, 0), [] {
    char16_t id[39];
    uint32_t length = 39;
    return orxCreateTask(id, &length);
  });
}
BENCHMARK(BM_CreateTask)->Unit(benchmark::kMicrosecond);

void BM_RegisterTask(benchmark::State& state) {
  RunOnRestoredFile(state, TaskFile(1000, 0), [] {
    char16_t id[] = u"{REGISTERED-0000-4000-8000-000000000000}";
    return orxCreateTask(id, nullptr);
  });
}
BENCHMARK(BM_RegisterTask)->Unit(benchmark::kMicrosecond);

// One full walk of the list per iteration, on an unchanged file.
void Enumerate(benchmark::State& state, int32_t lastSlot) {
  TaskRegistry registry(TaskFile(1000, 0));
  int delivered = 0;
  for (auto _ : state) {
    orxQuery query;
    char16_t id[39];
    char16_t key[16];
    if (orxGetFirstTask(&query, id, 39, key, 16) != 0) state.SkipWithError("no list");
    delivered = 1;
    while (orxGetNextTask(query, lastSlot) == 0) ++delivered;
    orxCloseQuery(query);
  }
  if (delivered != 1000) state.SkipWithError("walk did not deliver 1000 tasks");
  state.counters["tasks"] = delivered;
}

void BM_EnumerateAllLastSlot0(benchmark::State& state) { Enumerate(state, 0); }
BENCHMARK(BM_EnumerateAllLastSlot0)->Unit(benchmark::kMillisecond);

void BM_EnumerateAllLastSlot1000(benchmark::State& state) { Enumerate(state, 1000); }
BENCHMARK(BM_EnumerateAllLastSlot1000)->Unit(benchmark::kMillisecond);

void BM_CopyTask(benchmark::State& state) {
  RunOnRestoredFile(state, TaskFile(1000, 0), [] {
    const std::u16string source = u"{00000001-0000-4000-8000-000000000001}";
    char16_t id[39];
    uint32_t length = 39;
    return orxCopyTaskDefinition(source.c_str(), id, &length);
  });
}
BENCHMARK(BM_CopyTask)->Unit(benchmark::kMicrosecond);

void BM_ShrinkTasks500Gaps(benchmark::State& state) {
  RunOnRestoredFile(state, TaskFile(1000, 500), [] { return orxShrinkTasks(1500); });
}
BENCHMARK(BM_ShrinkTasks500Gaps)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
