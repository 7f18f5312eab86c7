// Writers in several processes at once, and writers killed mid-write. Both
// are bounded: a few hundred writes, a few seconds of killing.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "platform/posix/atomic_replace.h"
#include "platform/profile_store.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::chrono_literals;

class ProfileStoreStressTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path() const { return DecodePath(folder_.File("a.ini")); }

  Status Set(const std::u16string& section, const std::u16string& key,
             const std::u16string& value) {
    return DefaultProfileStore().Edit(
        Path(), [&](ini::Document& document) { return document.SetValue(section, key, value); });
  }

  int TemporaryFiles() const {
    int count = 0;
    for (const std::string& name : orx::testing::FolderEntries(folder_.path())) {
      count += IsTemporaryOf(name, "a.ini") ? 1 : 0;
    }
    return count;
  }
};

std::u16string KeyOf(int process, int thread, int round) {
  return DecodePath("p" + std::to_string(process) + "t" + std::to_string(thread) + "k" +
                    std::to_string(round));
}

TEST_F(ProfileStoreStressTest, WritersInThreadsOfSeveralProcessesLoseNoUpdate) {
  constexpr int kProcesses = 3;
  constexpr int kThreads = 4;
  constexpr int kRounds = 8;
  ASSERT_EQ(Set(u"Other", u"seed", u"1"), Status::kOk);
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(orx::testing::StartChild([&, p] {
      std::atomic<int> failures{0};
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
          for (int r = 0; r < kRounds; ++r) {
            if (Set(u"S", KeyOf(p, t, r), KeyOf(p, t, r)) != Status::kOk) ++failures;
          }
        });
      }
      for (std::thread& thread : threads) thread.join();
      return failures.load();
    }));
  }
  for (pid_t child : children) EXPECT_EQ(orx::testing::WaitForChild(child), 0);

  ini::Document document = ini::Document::FromBytes(folder_.Read("a.ini"));
  int present = 0;
  for (int p = 0; p < kProcesses; ++p) {
    for (int t = 0; t < kThreads; ++t) {
      for (int r = 0; r < kRounds; ++r) {
        std::optional<ini::TextView> value = document.FindValue(u"S", KeyOf(p, t, r));
        present += value && *value == KeyOf(p, t, r) ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(present, kProcesses * kThreads * kRounds);
  EXPECT_EQ(document.FindValue(u"Other", u"seed"), std::u16string_view(u"1"));
  EXPECT_EQ(TemporaryFiles(), 0);
}

// A child rewrites one key in a loop and is killed at a random moment. The
// file must always parse, hold one of the values written, and keep the rest
// of its content; temporary files of killed writers must not pile up.
TEST_F(ProfileStoreStressTest, WriterKilledAtAnyMomentLeavesOldOrNewFile) {
  const std::u16string values[] = {u"seed", u"short", u"a-much-longer-value-than-the-others"};
  std::string padding = "[Pad]\n";
  for (int i = 0; i < 2000; ++i) padding += "key" + std::to_string(i) + "=some padding text\n";
  folder_.Write("a.ini", padding + "[S]\nk=seed\n");

  std::mt19937 random(20240611);
  auto deadline = std::chrono::steady_clock::now() + 3s;
  int kills = 0;
  while (kills < 60 && std::chrono::steady_clock::now() < deadline) {
    pid_t child = orx::testing::StartChild([&] {
      for (int i = 1;; ++i) {
        if (Set(u"S", u"k", values[1 + i % 2]) != Status::kOk) return 1;
      }
    });
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    ASSERT_EQ(orx::testing::WaitForChild(child), 128 + SIGKILL);
    ++kills;

    ini::Document document = ini::Document::FromBytes(folder_.Read("a.ini"));
    std::optional<ini::TextView> value = document.FindValue(u"S", u"k");
    ASSERT_TRUE(value.has_value()) << "after kill " << kills;
    EXPECT_TRUE(*value == values[0] || *value == values[1] || *value == values[2]);
    EXPECT_EQ(document.FindValue(u"Pad", u"key1999"), std::u16string_view(u"some padding text"));
    EXPECT_LE(TemporaryFiles(), 1) << "after kill " << kills;
  }
  EXPECT_GE(kills, 10);
  ASSERT_EQ(Set(u"S", u"k", u"final"), Status::kOk);
  EXPECT_EQ(TemporaryFiles(), 0);
}

}  // namespace
}  // namespace orx::platform
