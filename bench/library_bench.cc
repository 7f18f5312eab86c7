// The whole library through its public header, on main files of N = 10,
// 100, 1000 and 5000 tasks that the library made itself (main_files.h),
// beside the floors measured in the same run:
//
//   floor/Stat           a bare stat() of the main file
//   floor/HandWrite      the main file's bytes to a temporary file, fsync,
//                        rename: a durable replace with nothing parsed
//   naive/Read*          open, read and scan the file on every call
//   orx/Read*            orxGetProperty, orxGetTaskProperty (the task in the
//                        middle slot), orxGetProviderProperty
//   orx/WriteKey         orxSetPropertyInt, two values in turn
//   orx/WriteLabel       a task label set with 50 localized strings in the
//                        language module, none of them equal to it
//   orx/CreateTask, orx/CopyTask, orx/Enumerate/lastSlot0|lastSlotN,
//   orx/Shrink           compaction of a list with every second task removed
//
// A disk's flush latency drifts by several times within one run, so every
// benchmark that writes also makes a hand write of the main file's bytes in
// each iteration, timed apart, and reports its mean as the counter
// floor_us: each write figure has its floor from the same moments.
//
// The files live under $TMPDIR (or /tmp), which should be a real disk.
// They come from $ORX_BENCH_FILES when set (bench/run builds them once),
// otherwise they are built at start-up.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#if ORX_BENCH_NAIVE_BASELINE
#include "naive_profile_reader.h"
#endif
#include "main_files.h"
#include "orxProperty.h"
#include "peer_files.h"

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kUpdatePeriod = 0x10013;
constexpr uint32_t kLabel = 0x20000;
constexpr uint32_t kSchedDays = 0x20019;
constexpr uint32_t kProviderReport = 0x4000002;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Replaces `path` by `bytes` the way an outside program would.
void PutFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".put";
  std::ofstream(temporary, std::ios::binary | std::ios::trunc) << bytes;
  fs::rename(temporary, path);
}

class RunFolder {
 public:
  RunFolder() {
    path_ = (fs::temp_directory_path() / "orx-library-bench-XXXXXX").string();
    if (mkdtemp(path_.data()) == nullptr) std::abort();
    const char* given = getenv("ORX_BENCH_FILES");
    files_ = given && *given ? given : path_ + "/files";
    fs::create_directories(files_);
    std::vector<int> counts(std::begin(kTaskCounts), std::end(kTaskCounts));
    const std::string data = path_ + "/data";
    fs::create_directories(data);
    if (!BuildMainFiles(files_, counts)) std::exit(1);
    // 50 localized strings from 1000 on, and the copied-label format.
    std::ofstream module(path_ + "/bench.lang");
    for (int i = 0; i < 50; ++i) module << 1000 + i << "=Localized task label " << i << "\n";
    module << "41111=Copy of %s\n";
    setenv("ORX_LANGUAGE_MODULE", (path_ + "/bench.lang").c_str(), 1);
    setenv("ORX_DATA_FOLDER", data.c_str(), 1);
    orxPropertyInitLibrary();
    fs::copy_file(ProviderFilePath(files_), data + "/Bench.ini");
    data_ = data;
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

struct MainFile {
  std::string path;      // the library's ormix5.ini
  std::string bytes;     // what it was set to
  std::u16string probe;  // the id of the task in slot ceil(N/2)
};

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

// Sets the library's main file to main-<tasks>.ini (or the holed list) and
// waits out the store's timestamp tick, so that the first read caches a
// document the next calls trust.
MainFile Prepare(int tasks, bool holed = false) {
  const RunFolder& run = Run();
  MainFile file;
  file.path = run.data() + "/ormix5.ini";
  file.bytes =
      ReadAll(holed ? HoledFilePath(run.files(), tasks) : MainFilePath(run.files(), tasks));
  PutFile(file.path, file.bytes);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  file.probe = TaskInSlot((tasks + 1) / 2);
  return file;
}

int Tasks(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void Fail(benchmark::State& state, int32_t status) {
  if (status != 0) state.SkipWithError(("status " + std::to_string(status)).c_str());
}

void Stat(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(stat(file.path.c_str(), &st));
}

// The floor of a durable replace: `bytes` to a temporary file, fsync,
// rename; nothing read, parsed or locked.
bool HandWriteOnce(const std::string& bytes) {
  const std::string target = Run().data() + "/hand.ini";
  const std::string temporary = target + ".tmp";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
         fsync(fd) == 0 && close(fd) == 0 && rename(temporary.c_str(), target.c_str()) == 0;
}

void HandWrite(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  for (auto _ : state) {
    if (!HandWriteOnce(file.bytes)) state.SkipWithError("hand write failed");
  }
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

// Runs `write` once per iteration, timed, after an untimed-for-the-figure
// hand write whose mean becomes the floor_us counter.
template <typename Write>
void WithFloor(benchmark::State& state, const MainFile& file, Write write) {
  double floor_seconds = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    if (!HandWriteOnce(file.bytes)) state.SkipWithError("hand write failed");
    const Clock::time_point middle = Clock::now();
    write();
    state.SetIterationTime(Seconds(Clock::now() - middle));
    floor_seconds += Seconds(middle - start);
  }
  if (state.iterations() > 0) {
    state.counters["floor_us"] = floor_seconds * 1e6 / static_cast<double>(state.iterations());
  }
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

void ReadPlain(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetProperty(kUpdatePeriod, buffer, 100));
  for (auto _ : state) benchmark::DoNotOptimize(orxGetProperty(kUpdatePeriod, buffer, 100));
}

void ReadTask(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100));
  for (auto _ : state) {
    benchmark::DoNotOptimize(orxGetTaskProperty(file.probe.c_str(), kSchedDays, buffer, 100));
  }
}

void ReadProvider(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  orxChar buffer[100];
  Fail(state, orxGetProviderProperty(kBenchProvider, kProviderReport, buffer, 100));
  for (auto _ : state) {
    benchmark::DoNotOptimize(orxGetProviderProperty(kBenchProvider, kProviderReport, buffer, 100));
  }
}

void WriteKey(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  int turn = 0;
  WithFloor(state, file, [&] { Fail(state, orxSetPropertyInt(kUpdatePeriod, 240 + ++turn % 2)); });
}

void WriteLabel(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  const char16_t* labels[2] = {u"Nightly scan of the servers", u"Nightly scan of the desktops"};
  int turn = 0;
  WithFloor(state, file, [&] {
    Fail(state, orxSetTaskProperty(file.probe.c_str(), kLabel, labels[++turn % 2]));
  });
}

void CreateTask(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  WithFloor(state, file, [&] {
    orxChar id[39];
    uint32_t length = 39;
    Fail(state, orxCreateTask(id, &length));
  });
}

void CopyTask(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state));
  WithFloor(state, file, [&] {
    orxChar id[39];
    uint32_t length = 39;
    Fail(state, orxCopyTaskDefinition(file.probe.c_str(), id, &length));
  });
}

// One whole walk per iteration: first task, next until the end, close.
void Enumerate(benchmark::State& state, bool to_last_slot) {
  MainFile file = Prepare(Tasks(state));
  const int32_t last_slot = to_last_slot ? Tasks(state) : 0;
  int delivered = 0;
  for (auto _ : state) {
    orxChar id[64];
    orxChar key[16];
    orxQuery query = nullptr;
    delivered = 0;
    for (int32_t status = orxGetFirstTask(&query, id, 64, key, 16); status == 0;
         status = orxGetNextTask(query, last_slot)) {
      ++delivered;
    }
    if (query != nullptr) orxCloseQuery(query);
  }
  if (delivered != Tasks(state)) state.SkipWithError("the walk missed tasks");
  state.counters["tasks"] = delivered;
}

// Each iteration starts from the holed list again; the reset and the wait
// for the timestamp tick are not timed.
void Shrink(benchmark::State& state) {
  MainFile file = Prepare(Tasks(state), true);
  orxChar buffer[100];
  double floor_seconds = 0;
  for (auto _ : state) {
    PutFile(file.path, file.bytes);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    orxGetProperty(kUpdatePeriod, buffer, 100);
    const Clock::time_point start = Clock::now();
    if (!HandWriteOnce(file.bytes)) state.SkipWithError("hand write failed");
    const Clock::time_point middle = Clock::now();
    Fail(state, orxShrinkTasks(Tasks(state)));
    state.SetIterationTime(Seconds(Clock::now() - middle));
    floor_seconds += Seconds(middle - start);
  }
  state.counters["floor_us"] = floor_seconds * 1e6 / static_cast<double>(state.iterations());
}

}  // namespace
}  // namespace orx::bench

int main(int argc, char** argv) {
  using namespace orx::bench;
  RegisterForEachN("floor", "Stat", Stat);
  RegisterForEachN("floor", "HandWrite", HandWrite);
#if ORX_BENCH_NAIVE_BASELINE
  RegisterForEachN("naive", "ReadPlain", [](auto& s) { NaiveRead(s, false); });
  RegisterForEachN("naive", "ReadTask", [](auto& s) { NaiveRead(s, true); });
#endif
  RegisterForEachN("orx", "ReadPlain", ReadPlain);
  RegisterForEachN("orx", "ReadTask", ReadTask);
  RegisterForEachN("orx", "ReadProvider", ReadProvider);
  RegisterForEachN("orx", "WriteKey", WriteKey, true);
  RegisterForEachN("orx", "WriteLabel", WriteLabel, true);
  RegisterForEachN("orx", "CreateTask", CreateTask, true);
  RegisterForEachN("orx", "CopyTask", CopyTask, true);
  RegisterForEachN("orx", "Enumerate/lastSlot0", [](auto& s) { Enumerate(s, false); });
  RegisterForEachN("orx", "Enumerate/lastSlotN", [](auto& s) { Enumerate(s, true); });
  // Fixed counts: every iteration waits 25 ms untimed for the reset, and a
  // compaction of the largest list takes seconds.
  for (int tasks : kTaskCounts) {
    benchmark::RegisterBenchmark("orx/Shrink", Shrink)
        ->Arg(tasks)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Iterations(tasks < 5000 ? 10 : 1);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
