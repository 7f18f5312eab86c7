// Module files seen through loads: a change shows at the next load, an
// unchanged file is not parsed again, and a module that cannot be read gives
// no strings.
#include <fcntl.h>
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
  void UseModules(std::chrono::nanoseconds window) {
    modules_ = NewPosixLanguageModules({"", window});
    setenv("ORX_LANGUAGE_MODULE", folder_.File("module.lang").c_str(), 1);
  }
  void SetUp() override { UseModules(kDefaultRereadWindow); }

  void WriteModule(const std::string& bytes) const { folder_.Write("module.lang", bytes); }

  // Writes a complete new file and renames it over the module.
  void ReplaceModule(const std::string& bytes) const {
    folder_.Write("module.new", bytes);
    ASSERT_EQ(std::rename(folder_.File("module.new").c_str(), folder_.File("module.lang").c_str()),
              0);
  }

  std::u16string Load(uint32_t id) const {
    char16_t buffer[64] = {u'#'};
    const uint32_t copied = LoadStringW(modules_->Select(), id, buffer, 64);
    EXPECT_EQ(copied, std::u16string(buffer).size());
    return buffer;
  }

  testing::TempDataFolder folder_;
  std::unique_ptr<LanguageModules> modules_;
};

// Rewritten in place without pause, so successive versions often share the
// size and every time stamp; only the re-read window can tell them apart.
TEST_F(ModuleFileTest, ChangeOfSameSizeInTheSameTickIsSeenAtNextLoad) {
  const char* const versions[] = {"1000=Alpha\n", "1000=Omega\n"};
  for (int round = 0; round < 20; ++round) {
    WriteModule(versions[round % 2]);
    EXPECT_EQ(Load(1000), round % 2 == 0 ? u"Alpha" : u"Omega") << round;
  }
}

TEST_F(ModuleFileTest, ReplacedFileIsSeenAtNextLoad) {
  UseModules(std::chrono::nanoseconds(0));
  WriteModule("1000=Alpha\n");
  EXPECT_EQ(Load(1000), u"Alpha");
  ReplaceModule("1000=Beta\n1001=Gamma\n");
  EXPECT_EQ(Load(1000), u"Beta");
  EXPECT_EQ(Load(1001), u"Gamma");
}

TEST_F(ModuleFileTest, UnchangedFileIsNotParsedAgain) {
  UseModules(std::chrono::nanoseconds(0));
  WriteModule("1000=Alpha\n");
  const LanguageModule* module = modules_->Select();
  const auto first = module->Table();
  EXPECT_EQ(module->Table(), first);
  EXPECT_EQ(modules_->Select()->Table(), first);
}

TEST_F(ModuleFileTest, RewriteWithTheSameBytesKeepsTheTable) {
  WriteModule("1000=Alpha\n");
  const auto first = modules_->Select()->Table();
  WriteModule("1000=Alpha\n");
  EXPECT_EQ(modules_->Select()->Table(), first);
}

TEST_F(ModuleFileTest, ModuleThatComesAndGoesIsFollowed) {
  EXPECT_EQ(Load(1000), u"");
  WriteModule("1000=Alpha\n");
  EXPECT_EQ(Load(1000), u"Alpha");
  ASSERT_EQ(unlink(folder_.File("module.lang").c_str()), 0);
  EXPECT_EQ(Load(1000), u"");
  WriteModule("1000=Back\n");
  EXPECT_EQ(Load(1000), u"Back");
}

// Each case turns module.lang into something that cannot be read as a
// module; none may block, crash or yield a string.
TEST_F(ModuleFileTest, UnreadableModuleYieldsNoStrings) {
  const std::string path = folder_.File("module.lang");
  struct {
    const char* name;
    std::function<void()> arrange;
  } const cases[] = {
      {"missing", [] {}},
      {"directory", [&] { ASSERT_EQ(mkdir(path.c_str(), 0700), 0); }},
      {"fifo", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
      {"too large",
       [&] {
         WriteModule("1000=Alpha\n");
         ASSERT_EQ(truncate(path.c_str(), kMaxModuleFileBytes + 1), 0);
       }},
      {"no permission",
       [&] {
         WriteModule("1000=Alpha\n");
         ASSERT_EQ(chmod(path.c_str(), 0), 0);
       }},
      {"empty", [&] { WriteModule(""); }},
  };
  for (const auto& c : cases) {
    if (std::string(c.name) == "no permission" && geteuid() == 0) continue;  // root reads all
    std::filesystem::remove_all(path);
    c.arrange();
    char16_t buffer[8] = {u'#'};
    EXPECT_EQ(LoadStringW(modules_->Select(), 1000, buffer, 8), 0u) << c.name;
    EXPECT_EQ(buffer[0], u'\0') << c.name;
  }
}

// Time stamps as coarse file systems keep them can leave a rewritten file's
// identity unchanged; the window keeps such a file from being trusted.
TEST(CachedTableIsCurrent, TrustsOnlyAnUnchangedFileLastTouchedBeforeTheWindow) {
  constexpr int64_t kSecond = 1'000'000'000;
  const ModuleFileIdentity file{1, 2, 30, 100 * kSecond, 100 * kSecond};
  const auto changed = [&](auto edit) {
    ModuleFileIdentity other = file;
    edit(other);
    return other;
  };
  struct {
    const char* name;
    ModuleFileIdentity current;
    int64_t read_started_ns;
    bool current_expected;
  } const cases[] = {
      {"old and unchanged", file, 103 * kSecond, true},
      {"read within the window", file, 101 * kSecond, false},
      {"read in the same tick", file, 100 * kSecond, false},
      {"read just past the window", file, 102 * kSecond + 1, true},
      {"changed later, stamps unchanged", changed([](auto& f) { f.changed_ns += 1; }),
       103 * kSecond, false},
      {"other size", changed([](auto& f) { f.size = 31; }), 103 * kSecond, false},
      {"other inode", changed([](auto& f) { f.inode = 3; }), 103 * kSecond, false},
      {"other device", changed([](auto& f) { f.device = 9; }), 103 * kSecond, false},
      {"other modification time", changed([](auto& f) { f.modified_ns -= 5; }), 103 * kSecond,
       false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CachedTableIsCurrent(file, c.read_started_ns, c.current, 2 * kSecond),
              c.current_expected)
        << c.name;
  }
  // The change time counts as well as the modification time: a file whose
  // modification time was set back is still recent by its change time.
  const ModuleFileIdentity set_back{1, 2, 30, 10 * kSecond, 100 * kSecond};
  EXPECT_FALSE(CachedTableIsCurrent(set_back, 101 * kSecond, set_back, 2 * kSecond));
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
      while (!done.load()) {
        char16_t buffer[16] = {};
        LoadStringW(modules_->Select(), 1000, buffer, 16);
        const std::u16string text = buffer;
        if (text != u"Alpha" && text != u"Omega-Omega") ++bad;
      }
    });
  }
  for (int round = 0; round < 200; ++round) {
    ReplaceModule(round % 2 == 0 ? "1000=Omega-Omega\n" : "1000=Alpha\n");
  }
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(bad.load(), 0);
}

}  // namespace
}  // namespace orx::platform
