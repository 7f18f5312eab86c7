// What another user of the data folder can plant there, tried through the
// public exports: a FIFO or a folder in place of a lock file, symbolic links
// of their own making in place of a settings file, and settings files whose
// names leave no room for the suffixes of their lock and temporary files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kUpdatePeriod = 0x10013;
constexpr int32_t kAccessDenied = 5;
constexpr uid_t kStranger = 1234;
// A write that hangs is stopped by this alarm and shows as 128 + SIGALRM.
constexpr unsigned kAlarmSeconds = 5;

// Runs `body` in a child, as nobody or as root, with an alarm set.
int InChild(bool as_nobody, const std::function<int()>& body) {
  auto bounded = [&] {
    alarm(kAlarmSeconds);
    return body();
  };
  return as_nobody ? RunAsNobody(bounded) : RunInChild(bounded);
}

// 0 when the general write returns `expected`, else 1.
int WriteExpecting(int32_t expected) {
  return orxSetPropertyInt(kUpdatePeriod, 7) == expected ? 0 : 1;
}

class HostileNeighbourTest : public DataFolderTest {
 protected:
  void SetUp() override {
    // A world-writable folder with the sticky bit, as /tmp.
    ASSERT_EQ(chmod(folder_.path().c_str(), 01777), 0);
  }
};

TEST_F(HostileNeighbourTest, NonFileAtTheLockNameIsRefusedPromptly) {
  const std::string kept = "[InetWD]\nUpdatePeriod=3\n";
  const std::string lock = folder_.File("ormix5.ini.lock");
  struct Case {
    const char* planted;
    bool as_nobody;
  };
  const Case cases[] = {{"fifo", true}, {"fifo", false}, {"folder", true}, {"folder", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.planted) + (c.as_nobody ? " as nobody" : " as root"));
    folder_.Write("ormix5.ini", kept);
    fs::remove_all(lock);
    if (std::string(c.planted) == "fifo") {
      ASSERT_EQ(mkfifo(lock.c_str(), 0444), 0);  // readable, not writable
    } else {
      fs::create_directory(lock);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(InChild(c.as_nobody, [] { return WriteExpecting(kAccessDenied); }), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(folder_.Read("ormix5.ini"), kept);
  }
}

TEST_F(HostileNeighbourTest, LinkIsFollowedOnlyWhenItsOwnerIsTheWriterOrRoot) {
  const std::string outside = folder_.File("outside");
  fs::create_directory(outside);
  ASSERT_EQ(chmod(outside.c_str(), 0777), 0);
  const std::string secret = outside + "/secret.conf";
  const std::string secret_bytes = "; another program's file\n";
  struct Case {
    const char* what;
    uid_t link_owner;
    bool as_nobody;
    bool target_exists;
    bool followed;
  };
  const Case cases[] = {
      {"stranger's link, root writes", kStranger, false, true, false},
      {"stranger's link to a new file, root writes", kStranger, false, false, false},
      {"stranger's link, nobody writes", kStranger, true, true, false},
      {"root's link, root writes", 0, false, true, true},
      {"root's link, nobody writes", 0, true, true, true},
      {"own link, nobody writes", kNobody, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(secret);
    if (c.target_exists) {
      folder_.Write("outside/secret.conf", secret_bytes);
      ASSERT_EQ(chmod(secret.c_str(), 0666), 0);
    }
    const std::string link = folder_.File("ormix5.ini");
    fs::remove(link);
    fs::create_symlink(secret, link);
    ASSERT_EQ(lchown(link.c_str(), c.link_owner, c.link_owner), 0);

    const int32_t expected = c.followed ? 0 : kAccessDenied;
    EXPECT_EQ(InChild(c.as_nobody, [&] { return WriteExpecting(expected); }), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    if (c.followed) {
      EXPECT_NE(folder_.Read("outside/secret.conf").find("=7"), std::string::npos);
    } else if (c.target_exists) {
      EXPECT_EQ(folder_.Read("outside/secret.conf"), secret_bytes);
    } else {
      EXPECT_FALSE(fs::exists(secret));
    }
  }
}

// The library refuses paths of 260 characters or more, so file names near
// the limit of 255 bytes need a data folder with a short name: the folder
// is made the working folder and named ".".
class ShortDataFolder {
 public:
  explicit ShortDataFolder(const std::string& folder) {
    EXPECT_NE(getcwd(saved_, sizeof saved_), nullptr);
    EXPECT_EQ(chdir(folder.c_str()), 0);
    setenv("ORX_DATA_FOLDER", ".", 1);
    orxPropertyInitLibrary();
    folder_ = folder;
  }
  ~ShortDataFolder() {
    EXPECT_EQ(chdir(saved_), 0);
    setenv("ORX_DATA_FOLDER", folder_.c_str(), 1);
    orxPropertyInitLibrary();
  }

 private:
  char saved_[4096] = {};
  std::string folder_;
};

// Provider names whose file names come near or reach 255 bytes: each is
// written and read back, and no name in the folder exceeds the limit.
TEST_F(HostileNeighbourTest, LongestProviderFileNamesAreWritable) {
  std::u16string accents;
  for (int i = 0; i < 125; ++i) accents += u'\u00e9';  // two bytes each in UTF-8
  struct Case {
    const char* what;
    std::u16string provider;
  };
  const Case cases[] = {
      {"226 bytes", std::u16string(222, u'p')},
      {"250 bytes", std::u16string(246, u'q')},
      {"255 bytes", std::u16string(251, u'r')},
      {"254 bytes of two-byte letters", accents},
  };
  ShortDataFolder short_folder(folder_.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(orxSetProviderProperty(c.provider.c_str(), 0x4000002, u"TXT"), 0);
    ASSERT_EQ(orxSetProviderProperty(c.provider.c_str(), 0x4000002, u"HTML"), 0);
    char16_t value[16] = {};
    EXPECT_EQ(orxGetProviderProperty(c.provider.c_str(), 0x4000002, value, 16), 0);
    EXPECT_EQ(std::u16string(value), u"HTML");
  }
  int settings_files = 0;
  int lock_files = 0;
  for (const std::string& name : FolderEntries(folder_.path())) {
    EXPECT_LE(name.size(), 255u) << name;
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << "left behind: " << name;
    settings_files += name.ends_with(".ini") ? 1 : 0;
    lock_files += name.ends_with(".lock") ? 1 : 0;
  }
  EXPECT_EQ(settings_files, 4);
  EXPECT_EQ(lock_files, 4);
}

}  // namespace
}  // namespace orx::testing
