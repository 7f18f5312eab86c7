// 4 processes x 2 threads on one data folder for ORX_SOAK_SECONDS (3 s when
// unset; CI sets 60), doing a mixed load: reads, writes of their own task's
// properties read back at once, task creations, copies and marks, and, in
// one thread, removals and compactions. Removals name a slot, which only
// stays meaningful while no one else compacts, so one thread does both.
// At the end: every acknowledged write is readable, every created task that
// was not removed is listed exactly once, the file is whole and no
// temporary file is left.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "support/writer_log.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

constexpr int kProcesses = 4;
constexpr int kThreads = 2;
constexpr uint32_t kUpdatePeriod = 0x10013;
constexpr uint32_t kComment = 0x20001;
constexpr uint32_t kSchedTime = 0x20018;

std::chrono::seconds SoakTime() {
  const char* text = getenv("ORX_SOAK_SECONDS");
  const int seconds = text != nullptr ? atoi(text) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 3);
}

// What one thread did, as it reports it at the end.
struct Outcome {
  std::string task;  // its own task, whose properties it writes
  int sched_time = 0;
  std::string comment;
  std::vector<std::string> created;
  std::vector<std::string> removed;
  std::string failure;  // the first call that failed, if any
  int operations = 0;
};

std::string NewTask(int32_t (*make)(const char16_t*, char16_t*, uint32_t*), const char16_t* source,
                    std::string& failure) {
  char16_t id[39];
  uint32_t length = 39;
  const int32_t status = make(source, id, &length);
  if (status != 0 && failure.empty()) failure = "creation or copy: " + std::to_string(status);
  return status == 0 ? Narrow(id) : "";
}

int32_t Create(const char16_t*, char16_t* id, uint32_t* length) {
  return orxCreateTask(id, length);
}

void Load(Outcome& out, bool janitor, uint32_t seed, std::chrono::steady_clock::time_point end,
          const std::string& main_file) {
  std::mt19937 random(seed);
  auto fail = [&](const std::string& what, int32_t status) {
    if (out.failure.empty()) out.failure = what + ": " + std::to_string(status);
  };
  out.task = NewTask(Create, nullptr, out.failure);
  if (out.task.empty()) return;
  const std::u16string task = Widen(out.task);
  std::vector<std::string> mine;  // created by this thread and still listed
  while (std::chrono::steady_clock::now() < end && out.failure.empty()) {
    ++out.operations;
    switch (random() % 8) {
      case 0:
      case 1: {
        const int value = out.sched_time + 1;
        if (int32_t s = orxSetTaskPropertyInt(task.c_str(), kSchedTime, value); s != 0) {
          fail("write", s);
          break;
        }
        out.sched_time = value;
        int32_t back = 0;
        if (orxGetTaskPropertyInt(task.c_str(), kSchedTime, &back) != 0 || back != value) {
          out.failure =
              "read back " + std::to_string(back) + " after writing " + std::to_string(value);
        }
        break;
      }
      case 2: {
        const std::string text = "note " + std::to_string(out.operations);
        if (int32_t s = orxSetTaskProperty(task.c_str(), kComment, Widen(text).c_str()); s != 0) {
          fail("comment write", s);
        } else {
          out.comment = text;
        }
        break;
      }
      case 3: {
        char16_t buffer[64];
        int32_t value = 0;
        if (int32_t s = orxGetProperty(kUpdatePeriod, buffer, 64); s != 0) fail("read", s);
        if (int32_t s = orxGetTaskPropertyInt(task.c_str(), 0x20019, &value); s != 0) {
          fail("read", s);
        }
        Walk(0);
        break;
      }
      case 4:
      case 5: {
        const std::u16string source = mine.empty() ? task : Widen(mine[random() % mine.size()]);
        const std::string id = random() % 2
                                   ? NewTask(Create, nullptr, out.failure)
                                   : NewTask(orxCopyTaskDefinition, source.c_str(), out.failure);
        if (!id.empty()) {
          out.created.push_back(id);
          mine.push_back(id);
        }
        break;
      }
      case 6: {
        if (mine.empty()) break;
        const std::string& id = mine[random() % mine.size()];
        if (int32_t s = orxDeleteTask(Widen(id).c_str()); s != 0) fail("mark", s);
        break;
      }
      default: {
        if (!janitor) break;
        if (mine.size() > 2) {
          const std::string id = mine.front();
          std::string slot;
          for (const auto& [number, listed] : SlotsInFile(ReadFileBytes(main_file))) {
            if (listed == id) slot = "Task" + std::to_string(number);
          }
          if (int32_t s = orxDeleteTaskDefinition(Widen(slot).c_str(), Widen(id).c_str()); s != 0) {
            fail("removal", s);
            break;
          }
          out.removed.push_back(id);
          mine.erase(mine.begin());
        }
        if (int32_t s = orxShrinkTasks(10000); s != 0) fail("compaction", s);
        break;
      }
    }
  }
}

void Save(const std::string& path, const std::vector<Outcome>& outcomes) {
  std::ofstream out(path);
  for (const Outcome& o : outcomes) {
    out << o.task << " " << o.sched_time << " " << o.operations << "\n"
        << o.comment << "\n"
        << o.failure << "\n";
    for (const std::string& id : o.created) out << id << " ";
    out << "\n";
    for (const std::string& id : o.removed) out << id << " ";
    out << "\n";
  }
}

std::vector<Outcome> Restore(const std::string& path) {
  std::ifstream in(path);
  std::vector<Outcome> outcomes;
  std::string line;
  while (std::getline(in, line)) {
    Outcome o;
    std::istringstream(line) >> o.task >> o.sched_time >> o.operations;
    std::getline(in, o.comment);
    std::getline(in, o.failure);
    std::getline(in, line);
    std::istringstream created(line);
    for (std::string id; created >> id;) o.created.push_back(id);
    std::getline(in, line);
    std::istringstream removed(line);
    for (std::string id; removed >> id;) o.removed.push_back(id);
    outcomes.push_back(o);
  }
  return outcomes;
}

class Soak : public DataFolderTest {};

TEST_F(Soak, MixedLoadOfProcessesAndThreadsKeepsEveryAcknowledgedChange) {
  const std::string main_file = folder_.File("ormix5.ini");
  const auto end = std::chrono::steady_clock::now() + SoakTime();
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(StartChild([&, p] {
      std::vector<Outcome> outcomes(kThreads);
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(
            [&, t] { Load(outcomes[t], p == 0 && t == 0, 1000 * p + t, end, main_file); });
      }
      for (std::thread& thread : threads) thread.join();
      Save(folder_.File("soak-" + std::to_string(p)), outcomes);
      return 0;
    }));
  }
  for (const pid_t child : children) ASSERT_EQ(WaitForChild(child), 0);

  const std::string file = folder_.Read("ormix5.ini");
  ASSERT_EQ(MalformedLine(file), "");
  const std::vector<std::string> listed = ListedIds(file);
  std::multiset<std::string> counts(listed.begin(), listed.end());
  std::set<std::string> expected_files = {"ormix5.ini"};
  int operations = 0;
  size_t created = 0;
  for (int p = 0; p < kProcesses; ++p) {
    expected_files.insert("soak-" + std::to_string(p));
    const std::vector<Outcome> outcomes = Restore(folder_.File("soak-" + std::to_string(p)));
    ASSERT_EQ(outcomes.size(), static_cast<size_t>(kThreads));
    for (const Outcome& o : outcomes) {
      SCOPED_TRACE("process " + std::to_string(p) + ", task " + o.task);
      EXPECT_EQ(o.failure, "");
      operations += o.operations;
      EXPECT_EQ(counts.count(o.task), 1u);
      int32_t sched_time = -1;
      EXPECT_EQ(orxGetTaskPropertyInt(Widen(o.task).c_str(), kSchedTime, &sched_time), 0);
      EXPECT_EQ(sched_time, o.sched_time);
      char16_t comment[64];
      EXPECT_EQ(orxGetTaskProperty(Widen(o.task).c_str(), kComment, comment, 64), 0);
      if (!o.comment.empty()) {
        EXPECT_EQ(Narrow(comment), o.comment);
      }
      const std::set<std::string> removed(o.removed.begin(), o.removed.end());
      for (const std::string& id : o.created) {
        EXPECT_EQ(counts.count(id), removed.count(id) ? 0u : 1u) << id;
      }
      created += o.created.size() + 1 - removed.size();
    }
  }
  EXPECT_EQ(listed.size(), created) << "tasks listed that nobody created";
  EXPECT_EQ(LeftoverFiles(folder_.path(), expected_files), std::vector<std::string>{});
  RecordProperty("operations", operations);
  EXPECT_GT(operations, kProcesses * kThreads * 10);
}

}  // namespace
}  // namespace orx::testing
