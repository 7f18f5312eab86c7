// The task registry's operations through the public header, each round on
// a list of exactly N tasks: a creation or a copy adds a task, so the list
// is put back (untimed, cache warmed again) before every round.
//
//   orx/CreateTask, orx/CopyTask   against the durable hand replace of the
//                                  list's bytes; on the full list of 10,000
//                                  they are refused (259), counted as such
//   orx/CopyVsWrite                a copy against one one-key write, on the
//                                  list of 9,990 tasks, in the same rounds
//   orx/ReadAfterRefusal           the first read after a refused creation
//                                  on the full list, against one stat()
//   orx/Shrink                     compaction of a list with every second
//                                  task removed, against the hand replace
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include "durable_replace.h"
#include "library_fixture.h"
#include "orxProperty.h"
#include "paired_rounds.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

constexpr int kMostTasks = 10000;

// A creation on the full list is refused; anything else must succeed.
void Expect(benchmark::State& state, int32_t status, int* refused) {
  if (status == ORX_STATUS_NO_MORE_ITEMS && Tasks(state) >= kMostTasks) {
    ++*refused;
    return;
  }
  Fail(state, status);
}

template <typename Operation>
void AgainstHandReplace(benchmark::State& state, bool holed, Operation operation) {
  MainFile file = Prepare(Tasks(state), holed);
  DurableReplace floor(DataFolder() + "/hand.ini");
  PairedRounds rounds;
  int refused = 0;
  for (auto _ : state) {
    Restore(file);
    rounds.Round([&] { Expect(state, operation(file), &refused); },
                 [&] {
                   if (!floor.Write(file.bytes)) state.SkipWithError("hand replace failed");
                 });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  Restore(file);
  rounds.Publish(state, "floor");
  state.counters["refused"] = benchmark::Counter(refused, benchmark::Counter::kAvgIterations);
}

int32_t Create(const MainFile&) {
  orxChar id[39];
  uint32_t length = 39;
  return orxCreateTask(id, &length);
}

int32_t Copy(const MainFile& file) {
  orxChar id[39];
  uint32_t length = 39;
  return orxCopyTaskDefinition(file.probe.c_str(), id, &length);
}

int32_t Shrink(benchmark::State& state) { return orxShrinkTasks(Tasks(state)); }

void CopyVsWrite(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  PairedRounds rounds;
  for (auto _ : state) {
    Restore(file);
    // The list holds 240; a write of the same value would change nothing
    // and replace nothing.
    rounds.Round([&] { Fail(state, Copy(file)); },
                 [&] { Fail(state, orxSetPropertyInt(kUpdatePeriod, 241)); });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  Restore(file);
  rounds.Publish(state, "write");
}

// A refusal changes nothing, so the read after it should find the cache as
// it was: one stat() and a lookup.
void ReadAfterRefusal(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  struct stat st;
  PairedRounds rounds;
  int refused = 0;
  for (auto _ : state) {
    Expect(state, Create(file), &refused);
    rounds.Round(
        [&] { Fail(state, orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100)); },
        [&] { stat(file.path.c_str(), &st); });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  if (refused != static_cast<int>(state.iterations())) state.SkipWithError("not refused");
  rounds.Publish(state, "stat");
}

}  // namespace

void RegisterTaskBenchmarks() {
  RegisterRounds(
      "orx/CreateTask", [](auto& s) { AgainstHandReplace(s, false, Create); }, 20, 6);
  RegisterRounds(
      "orx/CopyTask", [](auto& s) { AgainstHandReplace(s, false, Copy); }, 20, 6);
  RegisterRounds("orx/CopyVsWrite", CopyVsWrite, 20, 8, {kCopyTasks});
  RegisterRounds("orx/ReadAfterRefusal", ReadAfterRefusal, 20, 20, {kMostTasks});
  RegisterRounds(
      "orx/Shrink",
      [](auto& s) { AgainstHandReplace(s, true, [&s](const MainFile&) { return Shrink(s); }); }, 10,
      2);
}

}  // namespace orx::bench
