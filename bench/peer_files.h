// What the peer benchmarks share: the main files they read and write, and
// the names their results carry. The files are the ones the library itself
// built (make_main_files.cc) and bench/run keeps in $ORX_BENCH_FILES as
// main-<N>.ini; every benchmark works on a private copy, because each peer
// rewrites a file in its own way (re-sorted, re-spaced, comments dropped).
//
// Every peer does the same three things as the library's own suite:
//   ReadPlain   [InetWD] UpdatePeriod, near the top of the file
//   ReadTask    SchedDays in the section of the task in the middle slot
//   WriteKey    [InetWD] UpdatePeriod set to 240 and 241 in turn
// each with one object kept for the whole run ("longlived", which never sees
// another writer's change) and with a fresh load per call ("fresh", what
// seeing other writers' changes costs that peer).
#ifndef ORX_BENCH_PEER_FILES_H_
#define ORX_BENCH_PEER_FILES_H_

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace orx::bench {

// Lists of up to 10,000 tasks, the most slots a list can have.
inline constexpr int kTaskCounts[] = {10, 100, 1000, 5000, 10000};
// A copy at this count stays within the 10,000 slots; copy and one write
// are compared on it.
inline constexpr int kCopyTasks = 9990;

inline constexpr const char* kPlainSection = "InetWD";
inline constexpr const char* kPlainKey = "UpdatePeriod";
inline constexpr const char* kTaskKey = "SchedDays";
inline constexpr const char* kWrittenValues[2] = {"240", "241"};

struct PeerFile {
  std::string path;          // the private copy
  std::string task_section;  // the id of the task in slot ceil(N/2)
};

// A private copy of main-<tasks>.ini in a fresh folder under $TMPDIR,
// removed when the program ends. Exits the program with a message when the
// file is missing, since every figure of the run would be meaningless.
PeerFile CopyMainFile(int tasks);

// Registers `run` as "<subject>/<operation>/<N>" for every N of kTaskCounts,
// timed in microseconds; `run` reads N from state.range(0).
// With `manual_time`, `run` times itself with state.SetIterationTime.
void RegisterForEachN(const std::string& subject, const std::string& operation,
                      std::function<void(benchmark::State&)> run, bool manual_time = false);

}  // namespace orx::bench

#endif  // ORX_BENCH_PEER_FILES_H_
