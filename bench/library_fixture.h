// What the whole-library benchmarks share: the run's data folder, the main
// file of N tasks put in place for a benchmark, and the resets that keep
// every timed iteration on a file of the size the benchmark's name says.
//
// The library's main file is <data>/ormix5.ini. A benchmark puts the list
// it needs there, waits out the store's timestamp tick and reads once, so
// the timed calls start from a warm cache; a benchmark that changes the
// list puts it back the same way between its timed rounds.
#ifndef ORX_BENCH_LIBRARY_FIXTURE_H_
#define ORX_BENCH_LIBRARY_FIXTURE_H_

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "orxPropertyIds.h"

namespace orx::bench {

inline constexpr uint32_t kUpdatePeriod = ORX_GENERAL_UPDATE_PERIOD;
inline constexpr uint32_t kLabel = ORX_TASK_LABEL;
inline constexpr uint32_t kSchedDays = ORX_TASK_SCHED_DAYS;
inline constexpr uint32_t kProviderReport = ORX_PROVIDER_REPORT;

struct MainFile {
  std::string path;      // the library's ormix5.ini
  std::string bytes;     // what it was set to
  std::u16string probe;  // the id of the task in slot ceil(N/2)
};

// The run's folders, made on first use: the data folder the library is
// initialised on, and the folder of the main files ($ORX_BENCH_FILES, or
// built at start-up).
const std::string& DataFolder();
const std::string& FilesFolder();

std::string ReadAll(const std::string& path);
// Replaces `path` by `bytes` the way an outside program would: a new file
// renamed over it, so the file's identity changes.
void PutFile(const std::string& path, const std::string& bytes);

// Puts main-<tasks>.ini (or holed-<tasks>.ini) in place as the library's
// main file, warm in the cache.
MainFile Prepare(int tasks, bool holed = false);
// Puts `file`'s bytes back and warms the cache again; untimed work between
// rounds.
void Restore(const MainFile& file);
// Waits out the store's timestamp tick and reads once, so that the next
// call finds a cached document it may trust by identity.
void Settle();

int Tasks(const benchmark::State& state);
// Marks the benchmark failed when `status` is not 0.
void Fail(benchmark::State& state, int32_t status);

// Registers `run` as "<name>/<N>" for every N of kTaskCounts (or of
// `counts`) with a fixed number of timed rounds: `rounds` up to 1000 tasks,
// `large_rounds` above, where a round takes a good part of a second; a
// minimum time alone would stop after one round there. Timed manually.
void RegisterRounds(const std::string& name, std::function<void(benchmark::State&)> run, int rounds,
                    int large_rounds, std::vector<int> counts = {});

// The task registry's benchmarks (library_tasks.cc).
void RegisterTaskBenchmarks();

}  // namespace orx::bench

#endif  // ORX_BENCH_LIBRARY_FIXTURE_H_
