// Module files seen through loads: a change shows at the next load, even one
// that keeps the file's identity while the read is racy; an unchanged file is
// not parsed again; and a module that cannot be read gives no strings.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/file_io.h"
#include "platform/posix/string_table_posix.h"
#include "platform/posix/syscalls.h"
#include "platform/string_table.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using namespace std::chrono_literals;

constexpr int64_t kSecond = 1'000'000'000;

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

// While a FrozenStamps lives, stat() and fstat() report `frozen_stamp_ns`
// as both file times, so a rewrite of the same size keeps the whole identity,
// as a second change within one timestamp tick does. Opens are counted.
int64_t frozen_stamp_ns = 0;
int open_calls = 0;

void Freeze(struct stat* out) {
  out->st_mtim = out->st_ctim = {frozen_stamp_ns / kSecond, frozen_stamp_ns % kSecond};
}

struct FrozenStamps {
  ScopedSyscall<int (*)(const char*, struct stat*)> stat{
      &SyscallTable::stat, +[](const char* path, struct stat* out) {
        const int result = RealSyscalls().stat(path, out);
        if (result == 0) Freeze(out);
        return result;
      }};
  ScopedSyscall<int (*)(int, struct stat*)> fstat{
      &SyscallTable::fstat, +[](int fd, struct stat* out) {
        const int result = RealSyscalls().fstat(fd, out);
        if (result == 0) Freeze(out);
        return result;
      }};
  ScopedSyscall<int (*)(const char*, int, mode_t)> open{
      &SyscallTable::open, +[](const char* path, int flags, mode_t mode) {
        ++open_calls;
        return RealSyscalls().open(path, flags, mode);
      }};
};

// A table read soon after the file's last change is read again at each load,
// so a change that keeps the identity still shows; the bytes are compared,
// and the same bytes keep the table parsed before.
TEST_F(ModuleFileTest, ChangeKeepingTheIdentityIsSeenWhileTheReadIsRacy) {
  struct Case {
    const char* stamps;
    bool whole_seconds;
    std::chrono::milliseconds margin;  // before the stamp's age leaves the racy window
  };
  const Case cases[] = {
      {"fine, just now", false, 15ms},
      {"whole seconds", true, 400ms},
  };
  FrozenStamps frozen;
  for (const Case& c : cases) {
    modules_ = NewPosixLanguageModules("");
    WriteModule("1000=Alpha\n");
    const auto start = std::chrono::steady_clock::now();
    frozen_stamp_ns = NowNs();
    if (c.whole_seconds) {
      // Half a second to a second and a half ago: well past a fine tick,
      // within the two seconds coarse stamps are allowed.
      const int64_t fraction = frozen_stamp_ns % kSecond;
      frozen_stamp_ns -= fraction + (fraction < kSecond / 2 ? kSecond : 0);
    }
    const auto first = modules_->Select()->Table();
    EXPECT_EQ(first->Find(1000), u"Alpha") << c.stamps;
    open_calls = 0;
    EXPECT_EQ(modules_->Select()->Table(), first) << c.stamps;
    EXPECT_EQ(open_calls, 1) << c.stamps;
    if (std::chrono::steady_clock::now() - start > c.margin)
      GTEST_SKIP() << "the loads came too late";
    WriteModule("1000=Omega\n");
    EXPECT_EQ(Load(1000), u"Omega") << c.stamps;
  }
}

// Once a read is clean, an unchanged identity is trusted: a load costs a
// stat() and neither opens nor parses the file; a change of size shows.
TEST_F(ModuleFileTest, SettledFileIsTrustedOnItsIdentity) {
  FrozenStamps frozen;
  frozen_stamp_ns = NowNs() - 10 * kSecond;
  WriteModule("1000=Alpha\n");
  const auto first = modules_->Select()->Table();
  EXPECT_EQ(first->Find(1000), u"Alpha");
  open_calls = 0;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(modules_->Select()->Table(), first) << i;
  EXPECT_EQ(open_calls, 0);
  WriteModule("1000=Alpha and more\n");
  EXPECT_EQ(Load(1000), u"Alpha and more");
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
