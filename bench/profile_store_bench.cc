// The settings-file store alone, through the frame's profile calls, on
// private copies of the main files the library made (main_files.h, from
// $ORX_BENCH_FILES) at every N. Every ratio comes from paired rounds
// (paired_rounds.h):
//
//   BM_CachedRead          ProfileRead of one key of an unchanged file, 50
//                          calls a round, against as many stat() calls
//   BM_NaiveRead           open, read whole, scan per call, against the
//                          cached read in the same rounds
//   BM_ChangedFileRead     the first read after the file was replaced
//   BM_WriteInterleaved    a one-key write, the durable hand replace of the
//                          same bytes (durable_replace.h) and a bare temp +
//                          write + fsync + rename, the three in rotating
//                          order each round; each floor has its own ratio
//   BM_ScannerSectionRead  the whole Scanner section into a buffer
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "durable_replace.h"
#include "frame/profile.h"
#include "naive_profile_reader.h"
#include "paired_rounds.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

struct StoreFile {
  std::string path;
  std::u16string path16;
  std::u16string probe;  // the task in the middle slot
  std::string bytes;
};

StoreFile FileFor(const benchmark::State& state) {
  const PeerFile copy = CopyMainFile(static_cast<int>(state.range(0)));
  StoreFile file{copy.path, DecodePath(copy.path), DecodePath(copy.task_section), {}};
  std::ifstream in(file.path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  file.bytes = bytes.str();
  // Past the store's timestamp tick: a file read within it is compared with
  // its cached bytes on every read until the tick has passed.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return file;
}

uint32_t Read(const StoreFile& file, char16_t* buffer) {
  return frame::ProfileRead(file.probe.c_str(), u"SchedDays", u"127", buffer, 100,
                            file.path16.c_str());
}

void BM_CachedRead(benchmark::State& state) {
  const StoreFile file = FileFor(state);
  char16_t buffer[100];
  Read(file, buffer);
  struct stat st;
  PairedRounds rounds(50);
  for (auto _ : state) {
    rounds.Round([&] { benchmark::DoNotOptimize(Read(file, buffer)); },
                 [&] { benchmark::DoNotOptimize(stat(file.path.c_str(), &st)); });
    state.SetIterationTime(rounds.LastRoundSeconds());
  }
  rounds.Publish(state, "stat");
}

void BM_NaiveRead(benchmark::State& state) {
  const StoreFile file = FileFor(state);
  const std::string section = EncodePath(file.probe);
  char16_t buffer[100];
  Read(file, buffer);
  PairedRounds rounds;
  for (auto _ : state) {
    rounds.Round(
        [&] {
          benchmark::DoNotOptimize(
              NaiveProfileRead(section, "SchedDays", "127", buffer, 100, file.path));
        },
        [&] { benchmark::DoNotOptimize(Read(file, buffer)); });
    state.SetIterationTime(rounds.LastRoundSeconds());
  }
  rounds.Publish(state, "cached");
}

// Replaces the file (untimed) with one of two contents in turn, then times
// the first read after it: stat, read, parse.
void BM_ChangedFileRead(benchmark::State& state) {
  const StoreFile file = FileFor(state);
  const std::string variants[2] = {file.bytes, file.bytes + "[Extra]\nk=1\n"};
  const std::string temporary = file.path + ".next";
  char16_t buffer[100];
  int turn = 0;
  for (auto _ : state) {
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << variants[++turn % 2];
    std::rename(temporary.c_str(), file.path.c_str());
    state.SetIterationTime(SecondsOf([&] { benchmark::DoNotOptimize(Read(file, buffer)); }));
  }
  state.counters["file_bytes"] = static_cast<double>(file.bytes.size());
}

// Temporary file, write, fsync, rename: no lock, no folder flush.
bool BareReplace(const std::string& target, const std::string& bytes) {
  const std::string temporary = target + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  const bool synced = written && fsync(fd) == 0;
  return close(fd) == 0 && synced && rename(temporary.c_str(), target.c_str()) == 0;
}

void BM_WriteInterleaved(benchmark::State& state) {
  const StoreFile file = FileFor(state);
  DurableReplace durable(file.path + ".durable");
  const std::string bare_target = file.path + ".bare";
  const char16_t* values[2] = {u"1140", u"1150"};
  std::vector<double> store_us, durable_us, bare_us;
  int turn = 0;
  auto timed = [](std::vector<double>& into, auto&& body) {
    into.push_back(SecondsOf(body) * 1e6);
  };
  auto store = [&] {
    timed(store_us, [&] {
      if (!frame::ProfileWrite(file.probe.c_str(), u"SchedTime", values[++turn % 2],
                               file.path16.c_str())) {
        state.SkipWithError("write failed");
      }
    });
  };
  auto floor = [&] {
    timed(durable_us, [&] {
      if (!durable.Write(file.bytes)) state.SkipWithError("durable replace failed");
    });
  };
  auto bare = [&] {
    timed(bare_us, [&] {
      if (!BareReplace(bare_target, file.bytes)) state.SkipWithError("bare replace failed");
    });
  };
  for (auto _ : state) {
    // Each of the three goes first, second and third in turn.
    switch (store_us.size() % 3) {
      case 0:
        store(), floor(), bare();
        break;
      case 1:
        floor(), bare(), store();
        break;
      default:
        bare(), store(), floor();
        break;
    }
    state.SetIterationTime(store_us.back() * 1e-6);
  }
  const PairedFigures vs_durable = Summarise(store_us, durable_us);
  const PairedFigures vs_bare = Summarise(store_us, bare_us);
  state.counters["us"] = vs_durable.subject_us;
  state.counters["floor_us"] = vs_durable.floor_us;
  state.counters["bare_us"] = vs_bare.floor_us;
  state.counters["ratio"] = vs_durable.ratio;
  state.counters["bare_ratio"] = vs_bare.ratio;
}

void BM_ScannerSectionRead(benchmark::State& state) {
  const StoreFile file = FileFor(state);
  std::vector<char16_t> buffer(1 << 20);
  // The first read parses the fresh copy (hundreds of milliseconds at the
  // largest N); timed, it would be spread over the few iterations a large
  // file gets and pass for the cost of every call.
  uint32_t units = frame::ProfileReadSection(
      u"Scanner", buffer.data(), static_cast<uint32_t>(buffer.size()), file.path16.c_str());
  for (auto _ : state) {
    units = frame::ProfileReadSection(u"Scanner", buffer.data(),
                                      static_cast<uint32_t>(buffer.size()), file.path16.c_str());
    benchmark::DoNotOptimize(units);
  }
  state.counters["units"] = units;
}

void ForEachN(benchmark::internal::Benchmark* bench) {
  for (int tasks : kTaskCounts) bench->Arg(tasks);
}
void Small(benchmark::internal::Benchmark* bench) {
  for (int tasks : kTaskCounts) {
    if (tasks <= 1000) bench->Arg(tasks);
  }
}
void Large(benchmark::internal::Benchmark* bench) {
  for (int tasks : kTaskCounts) {
    if (tasks > 1000) bench->Arg(tasks);
  }
}

BENCHMARK(BM_CachedRead)->Apply(ForEachN)->UseManualTime();
BENCHMARK(BM_NaiveRead)->Apply(ForEachN)->UseManualTime()->Unit(benchmark::kMicrosecond);
// Fixed rounds: a minimum time alone would stop after one round of the
// largest files.
BENCHMARK(BM_ChangedFileRead)
    ->Apply(Small)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangedFileRead)
    ->Apply(Large)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteInterleaved)
    ->Apply(Small)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteInterleaved)
    ->Apply(Large)
    ->Iterations(9)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScannerSectionRead)->Apply(ForEachN)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orx::bench

BENCHMARK_MAIN();
