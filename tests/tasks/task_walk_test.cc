// What an enumeration remembers between its steps and between walks, through
// the public header: the slot table kept for an unchanged list is never used
// for another, a step follows a new data folder, and handles stay tokens when
// threads close and reopen them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "orxProperty.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

class TaskWalk : public DataFolderTest {};

// `count` slots whose ids name their version and slot.
std::vector<std::pair<int, std::string>> Version(int version, int count) {
  std::vector<std::pair<int, std::string>> slots;
  for (int slot = 1; slot <= count; ++slot) {
    slots.emplace_back(slot, "{V" + std::to_string(version) + "-" + std::to_string(slot) + "}");
  }
  return slots;
}

std::vector<Delivery> Expected(const std::vector<std::pair<int, std::string>>& slots) {
  std::vector<Delivery> deliveries;
  for (const auto& [slot, id] : slots) {
    deliveries.push_back({Widen(id), Widen("Task" + std::to_string(slot))});
  }
  return deliveries;
}

// Each version replaces the last one, from outside and through the
// library's own edit (which takes the cached document over): a table
// remembered for one version must never answer for the next.
TEST_F(TaskWalk, EachWalkSeesTheListAsItIsNow) {
  for (int version = 0; version < 40; ++version) {
    SCOPED_TRACE(version);
    auto slots = Version(version, 3 + version % 4);
    folder_.Write("ormix5.ini", ScannerSection(slots));
    EXPECT_EQ(Walk(0), Expected(slots));
    EXPECT_EQ(Walk(static_cast<int32_t>(slots.size())), Expected(slots));
    const int added = static_cast<int>(slots.size()) + 1;
    slots = Version(version, added);
    std::u16string id = Widen(slots.back().second);
    ASSERT_EQ(orxCreateTask(id.data(), nullptr), 0);
    EXPECT_EQ(Walk(0), Expected(slots));
  }
}

TEST_F(TaskWalk, AStepReadsTheDataFolderOfTheLatestInitialisation) {
  folder_.Write("ormix5.ini", ScannerSection(Version(1, 3)));
  char16_t id[40];
  orxQuery query = nullptr;
  ASSERT_EQ(orxGetFirstTask(&query, id, 40, nullptr, 0), 0);
  TempDataFolder other;  // initialises the library again, with this folder
  other.Write("ormix5.ini", ScannerSection(Version(2, 4)));
  for (const char16_t* expected : {u"{V2-2}", u"{V2-3}", u"{V2-4}"}) {
    ASSERT_EQ(orxGetNextTask(query, 0), 0);
    EXPECT_EQ(std::u16string(id), expected);
  }
  EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(orxCloseQuery(query), 0);
}

// A step finds the main file through the thread's last settings path: reads
// of other files between the steps, from this thread and from another one
// stepping the same walk, and a change of the list mid-walk must each leave
// the next step reading the main file as it is now.
TEST_F(TaskWalk, StepsBetweenReadsOfOtherFilesReadTheListAsItIsNow) {
  folder_.Write("ormix5.ini", ScannerSection(Version(1, 6)) + "[InetWD]\nUpdatePeriod=77\n");
  folder_.Write("Good.ini", "[Common]\nNetAlert=provider\n");
  char16_t id[40], value[40];
  orxQuery query = nullptr;
  ASSERT_EQ(orxGetFirstTask(&query, id, 40, nullptr, 0), 0);
  EXPECT_EQ(std::u16string(id), u"{V1-1}");
  const struct {
    const char* between;  // what runs before the step
    const char16_t* expected;
  } steps[] = {
      {"provider read", u"{V1-2}"}, {"main file read", u"{V1-3}"},
      {"list replaced", u"{V2-4}"}, {"provider read, step on another thread", u"{V2-5}"},
      {"nothing", u"{V2-6}"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.between);
    const std::string between = step.between;
    if (between.starts_with("provider read")) {
      ASSERT_EQ(orxGetProviderProperty(u"Good", 0x4000000, value, 40), 0);
      EXPECT_EQ(std::u16string(value), u"provider");
    } else if (between == "main file read") {
      int32_t period = 0;
      ASSERT_EQ(orxGetPropertyInt(0x10013, &period) /* UpdatePeriod */, 0);
      EXPECT_EQ(period, 77);
    } else if (between == "list replaced") {
      folder_.Write("ormix5.ini", ScannerSection(Version(2, 6)));
    }
    if (between.ends_with("another thread")) {
      std::thread([&] { ASSERT_EQ(orxGetNextTask(query, 0), 0); }).join();
    } else {
      ASSERT_EQ(orxGetNextTask(query, 0), 0);
    }
    EXPECT_EQ(std::u16string(id), step.expected);
  }
  EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(orxCloseQuery(query), 0);
}

// A thread remembers the last handle it stepped; once that handle is closed
// and its record serves another thread's walk, the old handle is refused and
// leaves the other walk where it was.
TEST_F(TaskWalk, AClosedHandleNeverStepsTheWalkThatReusesItsRecord) {
  folder_.Write("ormix5.ini", ScannerSection(Version(1, 4)));
  char16_t first_id[40], second_id[40];
  orxQuery first = nullptr, second = nullptr;
  ASSERT_EQ(orxGetFirstTask(&first, first_id, 40, nullptr, 0), 0);
  ASSERT_EQ(orxGetNextTask(first, 0), 0);
  ASSERT_EQ(orxCloseQuery(first), 0);
  std::thread([&] { EXPECT_EQ(orxGetFirstTask(&second, second_id, 40, nullptr, 0), 0); }).join();
  EXPECT_EQ(orxGetNextTask(first, 0), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCloseQuery(first), ORX_STATUS_INVALID_PARAMETER);
  ASSERT_EQ(orxGetNextTask(second, 0), 0);
  EXPECT_EQ(std::u16string(second_id), u"{V1-2}");
  EXPECT_EQ(orxCloseQuery(second), 0);
}

// Walkers open, step and close while a writer swaps the list between two
// versions and a closer closes handles other threads are stepping. Every
// delivery must be a slot of one version, under its own key; a step on a
// closed handle is refused, never anything else.
TEST_F(TaskWalk, ThreadsWalkingClosingAndWritingAtOnce) {
  const std::string versions[] = {ScannerSection(Version(1, 6)), ScannerSection(Version(2, 9))};
  folder_.Write("ormix5.ini", versions[0]);
  constexpr int kWalkers = 3;
  std::atomic<bool> stop{false};
  std::atomic<orxQuery> shared{nullptr};
  std::atomic<int> faults{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kWalkers; ++w) {
    threads.emplace_back([&, w] {
      for (int round = 0; round < 150; ++round) {
        char16_t id[40];
        char16_t key[16];
        orxQuery query = nullptr;
        if (orxGetFirstTask(&query, id, 40, key, 16) != 0) {
          ++faults;
          continue;
        }
        if (w == 0) shared.store(query);  // the closer may close it under us
        int32_t status = 0;
        do {
          // "{V<v>-<n>}" is delivered under "Task<n>".
          const std::string text = Narrow(id);
          const std::string slot = Narrow(key).substr(4);
          if (text.size() < 6 || text.substr(text.find('-') + 1) != slot + "}") ++faults;
          status = orxGetNextTask(query, 0);
        } while (status == 0);
        if (status != ORX_STATUS_NO_MORE_ITEMS && !(w == 0 && status == 87)) ++faults;
        if (w == 0) shared.store(nullptr);
        const int32_t closed = orxCloseQuery(query);
        if (closed != 0 && !(w == 0 && closed == 87)) ++faults;
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 0; !stop; ++i) {
      // Replaced whole, as the library writes it: a reader never meets half a
      // list. Windows refuses to replace a file a reader has open; that
      // version is skipped.
      folder_.Write("ormix5.ini.new", versions[i % 2]);
      std::error_code refused;
      std::filesystem::rename(folder_.File("ormix5.ini.new"), folder_.File("ormix5.ini"), refused);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  threads.emplace_back([&] {
    while (!stop) {
      if (orxQuery query = shared.exchange(nullptr)) orxCloseQuery(query);
      std::this_thread::yield();
    }
  });
  for (int w = 0; w < kWalkers; ++w) threads[w].join();
  stop = true;
  for (size_t t = kWalkers; t < threads.size(); ++t) threads[t].join();
  EXPECT_EQ(faults, 0);
}

}  // namespace
}  // namespace orx::testing
