// The task list under concurrent writers and killed ones, through the public
// header: creations racing in threads and in processes never share a slot,
// and a copy or a compaction killed at any moment never loses a listed task
// nor leaves a half-copied one.
#include <gtest/gtest.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

constexpr int kWriters = 4;
constexpr int kCreationsPerWriter = 15;

// One writer's share: new tasks, its own registration, and a registration
// every writer makes of the same id. Returns the ids it created.
std::vector<std::string> CreateTasks(int writer) {
  std::vector<std::string> ids;
  for (int i = 0; i < kCreationsPerWriter; ++i) {
    char16_t id[39];
    uint32_t length = 39;
    if (orxCreateTask(id, &length) != 0) return {};
    ids.push_back(Narrow(id));
  }
  std::u16string own = Widen("{WRITER-" + std::to_string(writer) + "}");
  std::u16string shared = u"{SHARED}";
  if (orxCreateTask(own.data(), nullptr) != 0 || orxCreateTask(shared.data(), nullptr) != 0) {
    return {};
  }
  ids.push_back(Narrow(own));
  return ids;
}

// Every created id listed exactly once, "{SHARED}" once, in slots 1..n.
void ExpectEachListedOnce(const std::string& file, const std::vector<std::string>& created) {
  const std::map<int, std::string> slots = SlotsInFile(file);
  std::multiset<std::string> listed;
  for (const auto& [slot, id] : slots) listed.insert(id);
  for (const std::string& id : created) EXPECT_EQ(listed.count(id), 1u) << id;
  EXPECT_EQ(listed.count("{SHARED}"), 1u);
  EXPECT_EQ(slots.size(), created.size() + 1);
  if (!slots.empty()) {
    EXPECT_EQ(slots.rbegin()->first, static_cast<int>(slots.size()));
  }
}

class TaskConcurrency : public DataFolderTest {};

TEST_F(TaskConcurrency, ThreadsCreatingAtOnceListEveryIdOnce) {
  std::vector<std::vector<std::string>> results(kWriters);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) writers.emplace_back([&, w] { results[w] = CreateTasks(w); });
  for (std::thread& writer : writers) writer.join();
  std::vector<std::string> created;
  for (const auto& ids : results) {
    EXPECT_EQ(ids.size(), kCreationsPerWriter + 1u);
    created.insert(created.end(), ids.begin(), ids.end());
  }
  ExpectEachListedOnce(folder_.Read("ormix5.ini"), created);
}

TEST_F(TaskConcurrency, ProcessesCreatingAtOnceListEveryIdOnce) {
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    children.push_back(StartChild([&, w] {
      const std::vector<std::string> ids = CreateTasks(w);
      std::ofstream out(folder_.File("created-" + std::to_string(w)));
      for (const std::string& id : ids) out << id << "\n";
      return ids.empty() ? 1 : 0;
    }));
  }
  for (const pid_t child : children) EXPECT_EQ(WaitForChild(child), 0);
  std::vector<std::string> created;
  for (int w = 0; w < kWriters; ++w) {
    std::ifstream in(folder_.File("created-" + std::to_string(w)));
    for (std::string id; std::getline(in, id);) created.push_back(id);
  }
  EXPECT_EQ(created.size(), kWriters * (kCreationsPerWriter + 1u));
  ExpectEachListedOnce(folder_.Read("ormix5.ini"), created);
}

// A list with gaps, each task with a section of its own.
std::string GappedList(std::vector<std::string>& originals) {
  std::string slots = "[Scanner]\n";
  std::string sections;
  for (int slot = 1; slot <= 30; ++slot) {
    if (slot % 3 == 2) continue;
    const std::string id = "{ORIGINAL-" + std::to_string(slot) + "}";
    originals.push_back(id);
    slots += "Task" + std::to_string(slot) + "=" + id + "\n";
    sections += "[" + id + "]\nLabel=Task " + std::to_string(slot) + "\nJob=Scan\n";
  }
  return slots + sections;
}

TEST_F(TaskConcurrency, KilledCopiesAndCompactionsNeverLoseATask) {
  std::vector<std::string> originals;
  const std::string initial = GappedList(originals);
  std::mt19937 random(20240611);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int rounds = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    ++rounds;
    folder_.Write("ormix5.ini", initial);
    const pid_t child = StartChild([&] {
      for (int i = 0;; ++i) {
        const std::u16string source = Widen(originals[i % originals.size()]);
        char16_t id[39];
        uint32_t length = 39;
        if (orxCopyTaskDefinition(source.c_str(), id, &length) != 0) return 1;
        if (orxShrinkTasks(INT32_MAX) != 0) return 2;
      }
    });
    const timespec pause{0, static_cast<long>(random() % 40 + 1) * 1000000};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    ASSERT_EQ(WaitForChild(child), 128 + SIGKILL) << "the writer failed on its own";

    const std::string file = folder_.Read("ormix5.ini");
    const std::map<int, std::string> slots = SlotsInFile(file);
    std::multiset<std::string> listed;
    for (const auto& [slot, id] : slots) listed.insert(id);
    for (const std::string& id : originals) ASSERT_EQ(listed.count(id), 1u) << id << "\n" << file;
    for (const auto& [slot, id] : slots) {
      if (id.rfind("{ORIGINAL-", 0) == 0) continue;
      // A copy is listed only together with its whole section.
      const size_t header = file.find("[" + id + "]\n");
      ASSERT_NE(header, std::string::npos) << id;
      const size_t end = file.find("\n[", header + 1);
      const std::string section = file.substr(header, end - header);
      EXPECT_EQ(std::count(section.begin(), section.end(), '='), 46) << section;
    }
    // The writer lock died with the writer: the next compaction goes through
    // and keeps the originals in their order.
    ASSERT_EQ(orxShrinkTasks(INT32_MAX), 0);
    std::vector<std::string> order;
    for (const auto& [slot, id] : SlotsInFile(folder_.Read("ormix5.ini"))) {
      if (id.rfind("{ORIGINAL-", 0) == 0) order.push_back(id);
    }
    EXPECT_EQ(order, originals);
  }
  EXPECT_GT(rounds, 5);
}

}  // namespace
}  // namespace orx::testing
