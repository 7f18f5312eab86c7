// What a coherent read could cost at the least on this machine: the three
// ways a reader can learn whether a settings file changed, each against a
// bare stat() of the file in the same rounds (paired_rounds.h).
//
//   floors/InotifyRead         an empty, non-blocking read() of an inotify
//                              descriptor watching the file: the kernel
//                              says "nothing happened" without a path walk
//   floors/SharedCounterLoad   an acquire load of a counter in a page
//                              shared between processes, as a change counter
//                              kept by the library's own writers would be
//
// bench/README.md ("The floor of a coherent read") explains which of them a
// read that must see hand edits can rely on.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "paired_rounds.h"

namespace orx::bench {
namespace {

constexpr int kCallsPerRound = 100;

// A small settings file in a fresh folder under $TMPDIR, removed at exit.
class WatchedFile {
 public:
  WatchedFile() {
    folder_ = (std::filesystem::temp_directory_path() / "orx-floor-XXXXXX").string();
    if (mkdtemp(folder_.data()) == nullptr) std::abort();
    path_ = folder_ + "/ormix5.ini";
    std::ofstream(path_) << "[InetWD]\nUpdatePeriod=240\n";
  }
  ~WatchedFile() { std::filesystem::remove_all(folder_); }
  const std::string& path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

const std::string& FilePath() {
  static const WatchedFile file;
  return file.path();
}

template <typename Check>
void AgainstStat(benchmark::State& state, Check check) {
  struct stat st;
  PairedRounds rounds(kCallsPerRound);
  for (auto _ : state) {
    rounds.Round(check, [&] { benchmark::DoNotOptimize(stat(FilePath().c_str(), &st)); });
    state.SetIterationTime(rounds.LastRoundSeconds());
  }
  rounds.Publish(state, "stat");
}

void InotifyRead(benchmark::State& state) {
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0 || inotify_add_watch(fd, FilePath().c_str(),
                                  IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF) < 0) {
    state.SkipWithError("no inotify");
    return;
  }
  char events[4096];
  AgainstStat(state, [&] { benchmark::DoNotOptimize(read(fd, events, sizeof events)); });
  close(fd);
}

void SharedCounterLoad(benchmark::State& state) {
  const int fd = memfd_create("orx-change-counter", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, 4096) != 0) {
    state.SkipWithError("no shared page");
    return;
  }
  void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (page == MAP_FAILED) {
    state.SkipWithError("no shared page");
    return;
  }
  auto* counter = new (page) std::atomic<uint64_t>(0);
  AgainstStat(state, [&] { benchmark::DoNotOptimize(counter->load(std::memory_order_acquire)); });
  munmap(page, 4096);
  close(fd);
}

BENCHMARK(InotifyRead)->Name("floors/InotifyRead")->UseManualTime()->Unit(benchmark::kNanosecond);
BENCHMARK(SharedCounterLoad)
    ->Name("floors/SharedCounterLoad")
    ->UseManualTime()
    ->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace orx::bench

BENCHMARK_MAIN();
