// The settings-file store against its floors, on main files of N = 10, 100
// and 1000 tasks laid out as the task registry writes them: a Scanner
// section listing Task1..TaskN, and one 46-key section per task.
//
//   CachedRead vs Stat          a read of an unchanged file vs a bare stat()
//   CachedRead vs NaiveRead     vs reading and scanning the file per call
//   ChangedFileRead             a read right after the file was replaced
//   WriteOneKey vs HandWrite    a one-key write vs temp file + fsync + rename
//   ScannerSectionRead          the whole Scanner section into a buffer
//
// The files live in a fresh folder under $TMPDIR (or /tmp), which should be
// a real disk for the write figures to mean anything.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "frame/profile.h"
#include "naive_profile_reader.h"

namespace orx::bench {
namespace {

using frame::ProfileEditor;

// A task section as the registry fills it: every task property, with the
// values a configured task typically holds.
constexpr const char16_t* kTaskKeys[][2] = {
    {u"Label", u"Weekly scan of local disks"},
    {u"Comment", u"Created by the administrator"},
    {u"Job", u"Scan"},
    {u"ScanAreas", u"AllHarddisks"},
    {u"ScanTypes", u"Default"},
    {u"ScanType", u"Content"},
    {u"ScanFullFiles", u"0"},
    {u"ScanIgnoreTargeting", u"0"},
    {u"ScanExclusions", u"C:\\Windows\\Temp;D:\\Backup"},
    {u"VirusAction", u"Disinfect;Quarantine"},
    {u"SuspiciousAction", u"Quarantine"},
    {u"PUPAction", u"Report"},
    {u"ScanPackers", u"EXE;WinExec;Streams;Drop"},
    {u"Priority", u"1"},
    {u"ScanFor", u"Standard;Polymorphic;Macro"},
    {u"ScanResults", u"Infected;HardErrors;Excluded"},
    {u"StoreResults", u"1"},
    {u"Report", u"None"},
    {u"ReportName", u"*"},
    {u"ReportRecords", u"Start;Stop;Infected;HardErrors"},
    {u"OverwriteReport", u"0"},
    {u"NetAlert", u""},
    {u"LocalizedLabel", u"0"},
    {u"SchedType", u"Weekly"},
    {u"SchedTime", u"1140"},
    {u"SchedDays", u"127"},
    {u"SchedulerEnabled", u"1"},
    {u"DoNotStartOnBatteries", u"1"},
    {u"PauseOnBatteries", u"1"},
    {u"WakeUpMachine", u"0"},
    {u"ShutDownMachine", u"0"},
    {u"LastScanPath", u"C:\\Users\\Public\\Documents\\report.docx"},
    {u"Deleted", u"0"},
    {u"TaskSensitivity", u"80"},
    {u"UseCodeEmulation", u"1"},
    {u"ScanPUP", u"0"},
    {u"PerformActionOnStartup", u"1"},
    {u"DefaultTask", u"0"},
    {u"SpecialTask", u"0"},
    {u"TemporaryTask", u"0"},
    {u"ActionOnPackedFile", u"onlyfile"},
    {u"TaskImage", u"custom"},
    {u"ConsultUsn", u"1"},
    {u"PopulateUsn", u"0"},
    {u"StoreLastScannedItem", u"0"},
    {u"AutomaticallyApplyActionsDuringScan", u"0"},
};
static_assert(std::size(kTaskKeys) == 46);

struct MainFile {
  std::string path;
  std::u16string path16;
  std::vector<std::u16string> task_ids;
  std::string bytes;
  // The task whose keys the benchmarks read and write: one in the middle.
  const char16_t* probe() const { return task_ids[task_ids.size() / 2].c_str(); }
};

std::u16string TaskId(int index) {
  // GUID-shaped and deterministic, so every run reads the same file.
  uint64_t x = 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(index + 1);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(x >> 32),
                static_cast<unsigned>(x >> 16) & 0xFFFF, static_cast<unsigned>(x) & 0xFFFF,
                static_cast<unsigned>(x >> 48),
                static_cast<unsigned long long>(x * 31) & 0xFFFFFFFFFFFFull);
  return DecodePath(text);
}

// A fresh folder for the run, removed when the program ends.
class BenchFolder {
 public:
  BenchFolder() {
    const char* tmp = getenv("TMPDIR");
    path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/orx-bench-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) std::abort();
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string Folder() {
  static const BenchFolder folder;
  return folder.path();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Builds the file of `tasks` tasks once, through the store itself, in one
// transaction per task.
const MainFile& FileFor(int tasks) {
  static std::map<int, MainFile> files;
  auto [it, inserted] = files.try_emplace(tasks);
  MainFile& file = it->second;
  if (!inserted) return file;
  file.path = Folder() + "/ormix5-" + std::to_string(tasks) + ".ini";
  file.path16 = DecodePath(file.path);
  for (int i = 0; i < tasks; ++i) file.task_ids.push_back(TaskId(i));
  for (int i = 0; i < tasks; ++i) {
    Status status = frame::ProfileTransaction(file.path16.c_str(), [&](ProfileEditor& editor) {
      std::u16string slot = u"Task" + DecodePath(std::to_string(i + 1));
      editor.Write(u"Scanner", slot.c_str(), file.task_ids[i].c_str());
      for (const auto& [key, value] : kTaskKeys) editor.Write(file.task_ids[i].c_str(), key, value);
      return Status::kOk;
    });
    if (status != Status::kOk) std::abort();
  }
  file.bytes = ReadAll(file.path);
  // Past the store's timestamp tick, so the first read is trusted later.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  return file;
}

void BM_Stat(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  struct stat st;
  for (auto _ : state) {
    benchmark::DoNotOptimize(stat(file.path.c_str(), &st));
  }
}

void BM_CachedRead(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  char16_t buffer[100];
  frame::ProfileRead(file.probe(), u"SchedDays", u"127", buffer, 100, file.path16.c_str());
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        frame::ProfileRead(file.probe(), u"SchedDays", u"127", buffer, 100, file.path16.c_str()));
  }
}

void BM_NaiveRead(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  std::string section = EncodePath(file.probe());
  char16_t buffer[100];
  for (auto _ : state) {
    benchmark::DoNotOptimize(NaiveProfileRead(section, "SchedDays", "127", buffer, 100, file.path));
  }
}

// Replaces the file (untimed) with one of two contents in turn, then times
// the first read after it: stat, read, hash and parse.
void BM_ChangedFileRead(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  std::string variants[2] = {file.bytes, file.bytes + "[Extra]\nk=1\n"};
  std::string temporary = file.path + ".next";
  char16_t buffer[100];
  int turn = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out << variants[++turn % 2];
    }
    std::rename(temporary.c_str(), file.path.c_str());
    state.ResumeTiming();
    benchmark::DoNotOptimize(
        frame::ProfileRead(file.probe(), u"SchedDays", u"127", buffer, 100, file.path16.c_str()));
  }
  std::ofstream(file.path, std::ios::binary | std::ios::trunc) << file.bytes;
  state.counters["file_bytes"] = static_cast<double>(file.bytes.size());
}

void BM_WriteOneKey(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  const char16_t* values[2] = {u"1140", u"1150"};
  int turn = 0;
  for (auto _ : state) {
    if (!frame::ProfileWrite(file.probe(), u"SchedTime", values[++turn % 2], file.path16.c_str())) {
      state.SkipWithError("write failed");
    }
  }
}

// The floor of a durable replace: the same bytes to a temporary file,
// fsync, rename; nothing read, parsed or locked.
void BM_HandWrite(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  std::string target = file.path + ".hand";
  std::string temporary = target + ".tmp";
  for (auto _ : state) {
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (write(fd, file.bytes.data(), file.bytes.size()) !=
            static_cast<ssize_t>(file.bytes.size()) ||
        fsync(fd) != 0 || close(fd) != 0 || rename(temporary.c_str(), target.c_str()) != 0) {
      state.SkipWithError("hand write failed");
    }
  }
}

// As BM_HandWrite, with the folder flushed after the rename as the store
// does, so the new name survives a crash too.
void BM_HandWriteAndFolderFlush(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  std::string target = file.path + ".hand";
  std::string temporary = target + ".tmp";
  int folder = open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (auto _ : state) {
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (write(fd, file.bytes.data(), file.bytes.size()) !=
            static_cast<ssize_t>(file.bytes.size()) ||
        fsync(fd) != 0 || close(fd) != 0 || rename(temporary.c_str(), target.c_str()) != 0 ||
        fsync(folder) != 0) {
      state.SkipWithError("hand write failed");
    }
  }
  close(folder);
}

// The disk of a shared machine is noisy in bursts, so the one-key write and
// both hand-made floors also run interleaved, one of each per iteration, and
// the medians of their times are reported side by side.
void BM_WriteInterleaved(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  const std::string target = file.path + ".hand";
  const std::string temporary = target + ".tmp";
  int folder = open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const char16_t* values[2] = {u"1140", u"1150"};
  std::vector<double> store_us, hand_us, hand_flush_us;
  auto hand_write = [&](bool flush_folder) {
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = write(fd, file.bytes.data(), file.bytes.size()) ==
                  static_cast<ssize_t>(file.bytes.size()) &&
              fsync(fd) == 0 && close(fd) == 0 && rename(temporary.c_str(), target.c_str()) == 0 &&
              (!flush_folder || fsync(folder) == 0);
    if (!ok) state.SkipWithError("hand write failed");
  };
  auto time_us = [](auto&& body) {
    auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
  };
  int turn = 0;
  for (auto _ : state) {
    store_us.push_back(time_us([&] {
      if (!frame::ProfileWrite(file.probe(), u"SchedTime", values[++turn % 2],
                               file.path16.c_str())) {
        state.SkipWithError("write failed");
      }
    }));
    hand_us.push_back(time_us([&] { hand_write(false); }));
    hand_flush_us.push_back(time_us([&] { hand_write(true); }));
  }
  close(folder);
  auto median = [](std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
  };
  double store = median(store_us);
  double hand = median(hand_us);
  double hand_flush = median(hand_flush_us);
  state.counters["store_us"] = store;
  state.counters["hand_us"] = hand;
  state.counters["hand_flush_us"] = hand_flush;
  state.counters["vs_hand"] = store / hand;
  state.counters["vs_hand_flush"] = store / hand_flush;
}

void BM_ScannerSectionRead(benchmark::State& state) {
  const MainFile& file = FileFor(static_cast<int>(state.range(0)));
  std::vector<char16_t> buffer(65536);
  uint32_t units = 0;
  for (auto _ : state) {
    units = frame::ProfileReadSection(u"Scanner", buffer.data(),
                                      static_cast<uint32_t>(buffer.size()), file.path16.c_str());
    benchmark::DoNotOptimize(units);
  }
  state.counters["units"] = units;
}

BENCHMARK(BM_Stat)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_CachedRead)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_NaiveRead)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_ChangedFileRead)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOneKey)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HandWrite)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HandWriteAndFolderFlush)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteInterleaved)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(400)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScannerSectionRead)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orx::bench

BENCHMARK_MAIN();
