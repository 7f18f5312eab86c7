// The whole library through its public header, on main files of N = 10,
// 100, 1000, 5000 and 10,000 tasks that the library made itself
// (main_files.h). Every ratio comes from paired rounds (paired_rounds.h):
// the operation and its floor timed in the same rounds, alternating which
// goes first, reported as the median of the per-round ratios.
//
//   orx/Read*             each read export, 50 calls a round, against as many
//                         stat() calls of the file it reads (counter ratio)
//   naive/Read*           open, read and scan the file on every call
//   orx/Write*            one-key writes against the durable hand replace of
//                         the same bytes (durable_replace.h)
//   orx/ReadAfterChange   the first read after another program replaced the
//                         file: stat, read, parse
//   orx/Enumerate/*       a whole walk against N stat() calls; AfterChange is
//                         the walk right after the file was replaced
//   the task operations   library_tasks.cc
//
// The files live under $TMPDIR (or /tmp), which should be a real disk.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <string>

#if ORX_BENCH_NAIVE_BASELINE
#include "naive_profile_reader.h"
#endif
#include "durable_replace.h"
#include "library_fixture.h"
#include "main_files.h"
#include "orxProperty.h"
#include "paired_rounds.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

constexpr int kReadCallsPerRound = 50;

// A read export against stat() of the file it reads, in the same rounds.
template <typename Read>
void PairedRead(benchmark::State& state, const std::string& path, Read read) {
  struct stat st;
  PairedRounds rounds(kReadCallsPerRound);
  for (auto _ : state) {
    rounds.Round([&] { benchmark::DoNotOptimize(read()); },
                 [&] { benchmark::DoNotOptimize(stat(path.c_str(), &st)); });
    state.SetIterationTime(rounds.LastRoundSeconds());
  }
  rounds.Publish(state, "stat");
}

void ReadPlain(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetProperty(kUpdatePeriod, buffer, 100));
  PairedRead(state, file.path, [&] { return orxGetProperty(kUpdatePeriod, buffer, 100); });
}

void ReadTask(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100));
  PairedRead(state, file.path,
             [&] { return orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100); });
}

void ReadProvider(benchmark::State& state) {
  Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetProviderProperty(kBenchProvider, kProviderReport, buffer, 100));
  PairedRead(state, DataFolder() + "/Bench.ini",
             [&] { return orxGetProviderProperty(kBenchProvider, kProviderReport, buffer, 100); });
}

#if ORX_BENCH_NAIVE_BASELINE
void NaiveRead(benchmark::State& state, bool task) {
  MainFile file = Prepare(Tasks(state));
  const std::string section = task ? std::string(file.probe.begin(), file.probe.end()) : "InetWD";
  const char* key = task ? "SchedDays" : "UpdatePeriod";
  char16_t buffer[100];
  for (auto _ : state) {
    benchmark::DoNotOptimize(NaiveProfileRead(section, key, "", buffer, 100, file.path));
  }
}
#endif

// A write against the durable hand replace of the main file's bytes, in the
// same rounds.
template <typename Write>
void PairedWrite(benchmark::State& state, const MainFile& file, Write write) {
  DurableReplace floor(DataFolder() + "/hand.ini");
  PairedRounds rounds;
  for (auto _ : state) {
    rounds.Round(write, [&] {
      if (!floor.Write(file.bytes)) state.SkipWithError("hand replace failed");
    });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  rounds.Publish(state, "floor");
}

void WriteKey(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  int turn = 0;
  PairedWrite(state, file,
              [&] { Fail(state, orxSetPropertyInt(kUpdatePeriod, 240 + ++turn % 2)); });
}

void WriteLabel(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  const char16_t* labels[2] = {u"Nightly scan of the servers", u"Nightly scan of the desktops"};
  int turn = 0;
  PairedWrite(state, file, [&] {
    Fail(state, orxSetTaskProperty(file.probe.c_str(), kLabel, labels[++turn % 2]));
  });
}

// The file replaced by another program between rounds (untimed), by one of
// two different contents in turn, so no cached parse can stand in.
class ChangingFile {
 public:
  explicit ChangingFile(const MainFile& file)
      : file_(file), variants_{file.bytes, file.bytes + "[Extra]\nk=1\n"} {}
  void Change() { PutFile(file_.path, variants_[++turn_ % 2]); }
  ~ChangingFile() { Restore(file_); }

 private:
  const MainFile& file_;
  std::string variants_[2];
  int turn_ = 0;
};

void ReadAfterChange(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  ChangingFile changing(file);
  orxChar buffer[100];
  for (auto _ : state) {
    changing.Change();
    state.SetIterationTime(SecondsOf(
        [&] { Fail(state, orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100)); }));
  }
  state.counters["file_bytes"] = static_cast<double>(file.bytes.size());
}

// One whole walk: first task, next until the end, close; returns the count.
int Walk(int32_t last_slot) {
  orxChar id[64];
  orxChar key[16];
  orxQuery query = nullptr;
  int delivered = 0;
  for (int32_t status = orxGetFirstTask(&query, id, 64, key, 16); status == 0;
       status = orxGetNextTask(query, last_slot)) {
    ++delivered;
  }
  if (query != nullptr) orxCloseQuery(query);
  return delivered;
}

// A walk against N stat() calls of the main file: each step of a walk must
// see a change made meanwhile, so N stat() calls are its floor.
void Enumerate(benchmark::State& state, bool to_last_slot) {
  MainFile file = Prepare(Tasks(state));
  const int32_t last_slot = to_last_slot ? Tasks(state) : 0;
  int delivered = 0;
  struct stat st;
  PairedRounds rounds;
  for (auto _ : state) {
    rounds.Round([&] { delivered = Walk(last_slot); },
                 [&] {
                   for (int i = 0; i < Tasks(state); ++i) stat(file.path.c_str(), &st);
                 });
    state.SetIterationTime(rounds.LastSubjectSeconds());
  }
  if (delivered != Tasks(state)) state.SkipWithError("the walk missed tasks");
  rounds.Publish(state, "stats");
}

void EnumerateAfterChange(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  ChangingFile changing(file);
  int delivered = 0;
  for (auto _ : state) {
    changing.Change();
    state.SetIterationTime(SecondsOf([&] { delivered = Walk(0); }));
  }
  if (delivered != Tasks(state)) state.SkipWithError("the walk missed tasks");
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  RegisterForEachN("orx", "ReadPlain", ReadPlain, true);
  RegisterForEachN("orx", "ReadTask", ReadTask, true);
  RegisterForEachN("orx", "ReadProvider", ReadProvider, true);
#if ORX_BENCH_NAIVE_BASELINE
  RegisterForEachN("naive", "ReadPlain", [](auto& s) { NaiveRead(s, false); });
  RegisterForEachN("naive", "ReadTask", [](auto& s) { NaiveRead(s, true); });
#endif
  RegisterRounds("orx/WriteKey", WriteKey, 30, 8);
  RegisterRounds("orx/WriteLabel", WriteLabel, 30, 8);
  RegisterRounds(
      "orx/Enumerate/lastSlot0", [](auto& s) { Enumerate(s, false); }, 30, 10);
  RegisterRounds(
      "orx/Enumerate/lastSlotN", [](auto& s) { Enumerate(s, true); }, 30, 10);
  RegisterRounds("orx/ReadAfterChange", ReadAfterChange, 20, 5);
  RegisterRounds("orx/Enumerate/afterChange", EnumerateAfterChange, 20, 5);
  RegisterTaskBenchmarks();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
