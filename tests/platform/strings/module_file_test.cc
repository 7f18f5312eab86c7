// Module files seen through loads: a change shows at the next load, an
// unchanged file is not parsed again, and a module that cannot be read gives
// no strings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/string_table_posix.h"
#include "platform/string_table.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

class ModuleFileTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("ORX_LANGUAGE_MODULE", path_.c_str(), 1); }

  void WriteModule(const std::string& bytes) const { folder_.Write("module.lang", bytes); }

  // A complete new file renamed over the module, as installers do.
  void ReplaceModule(const std::string& bytes) const {
    folder_.Write("module.new", bytes);
    ASSERT_EQ(std::rename(folder_.File("module.new").c_str(), path_.c_str()), 0);
  }

  std::u16string Load(uint32_t id) const {
    char16_t buffer[32] = {u'#'};
    const uint32_t copied = LoadStringW(modules_->Select(), id, buffer, 32);
    EXPECT_EQ(copied, std::u16string(buffer).size());
    return buffer;
  }

  testing::TempDataFolder folder_;
  const std::string path_ = folder_.File("module.lang");
  std::unique_ptr<LanguageModules> modules_ = NewPosixLanguageModules({});
};

// Rewritten in place without pause, so on a file system with coarse time
// stamps successive versions share size and stamps.
TEST_F(ModuleFileTest, ChangeOfSameSizeInTheSameTickIsSeenAtNextLoad) {
  for (int round = 0; round < 20; ++round) {
    WriteModule(round % 2 == 0 ? "1000=Alpha\n" : "1000=Omega\n");
    EXPECT_EQ(Load(1000), round % 2 == 0 ? u"Alpha" : u"Omega") << round;
  }
}

TEST_F(ModuleFileTest, FileThatIsReplacedRemovedAndRewrittenIsFollowed) {
  EXPECT_EQ(Load(1000), u"");
  WriteModule("1000=Alpha\n");
  EXPECT_EQ(Load(1000), u"Alpha");
  ReplaceModule("1000=Beta\n1001=Gamma\n");
  EXPECT_EQ(Load(1001), u"Gamma");
  ASSERT_EQ(unlink(path_.c_str()), 0);
  EXPECT_EQ(Load(1000), u"");
  WriteModule("1000=Back\n");
  EXPECT_EQ(Load(1000), u"Back");
}

TEST_F(ModuleFileTest, UnchangedFileIsNotParsedAgain) {
  modules_ = NewPosixLanguageModules({"", std::chrono::nanoseconds(0)});
  WriteModule("1000=Alpha\n");
  const auto first = modules_->Select()->Table();
  EXPECT_EQ(modules_->Select()->Table(), first);
}

// None of these may block, crash or yield a string.
TEST_F(ModuleFileTest, UnreadableModuleYieldsNoStrings) {
  const auto written = [&] { WriteModule("1000=Alpha\n"); };
  const std::function<int()> cases[] = {
      [] { return 0; },  // missing
      [&] { return mkdir(path_.c_str(), 0700); },
      [&] { return mkfifo(path_.c_str(), 0600); },
      [&] { return written(), truncate(path_.c_str(), kMaxModuleFileBytes + 1); },
      [&] { return written(), chmod(path_.c_str(), 0); },
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    // Root reads any file, so the permission case says nothing there.
    if (i == 4 && geteuid() == 0) continue;
    std::filesystem::remove_all(path_);
    ASSERT_EQ(cases[i](), 0) << i;
    EXPECT_EQ(Load(1000), u"") << i;
  }
}

TEST(CachedTableIsCurrent, TrustsOnlyAnUnchangedFileLastTouchedBeforeTheWindow) {
  constexpr int64_t kSecond = 1'000'000'000;
  const ModuleFileIdentity file{1, 2, 30, 100 * kSecond, 100 * kSecond};
  const ModuleFileIdentity set_back{1, 2, 30, 10 * kSecond, 100 * kSecond};
  EXPECT_TRUE(CachedTableIsCurrent(file, 102 * kSecond + 1, file, 2 * kSecond));
  EXPECT_FALSE(CachedTableIsCurrent(file, 102 * kSecond, file, 2 * kSecond));
  // A modification time set back does not hide a recent change time.
  EXPECT_FALSE(CachedTableIsCurrent(set_back, 101 * kSecond, set_back, 2 * kSecond));
  const ModuleFileIdentity changed[] = {{9, 2, 30, 100 * kSecond, 100 * kSecond},
                                        {1, 3, 30, 100 * kSecond, 100 * kSecond},
                                        {1, 2, 31, 100 * kSecond, 100 * kSecond},
                                        {1, 2, 30, 99 * kSecond, 100 * kSecond},
                                        {1, 2, 30, 100 * kSecond, 100 * kSecond + 1}};
  for (const ModuleFileIdentity& now : changed) {
    EXPECT_FALSE(CachedTableIsCurrent(file, 200 * kSecond, now, 2 * kSecond)) << &now - changed;
  }
}

// Readers on several threads while the module is replaced again and again:
// every load sees one whole version or the other.
TEST_F(ModuleFileTest, ConcurrentLoadsSeeWholeVersions) {
  ReplaceModule("1000=Alpha\n");
  std::atomic<bool> done{false};
  std::atomic<int> bad{0};
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      while (!done) {
        const std::u16string text = Load(1000);
        if (text != u"Alpha" && text != u"Omega-Omega") ++bad;
      }
    });
  }
  for (int round = 0; round < 200; ++round) {
    ReplaceModule(round % 2 == 0 ? "1000=Omega-Omega\n" : "1000=Alpha\n");
  }
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(bad, 0);
}

}  // namespace
}  // namespace orx::platform
