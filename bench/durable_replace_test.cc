// The hand-made durable replace must really replace the file (or every
// write ratio is judged against nothing) and must fail loudly.
#include "durable_replace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orx::bench {
namespace {

namespace fs = std::filesystem;

class DurableReplaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = (fs::temp_directory_path() / "orx-durable-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder_.data()), nullptr);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  std::string folder_;
};

TEST_F(DurableReplaceTest, ReplacesTheFileKeepsItsModeAndLeavesNoTemporary) {
  const std::string target = folder_ + "/hand.ini";
  std::ofstream(target) << "[Old]\nkey=value and more\n";
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  const std::string bytes = "[New]\nk=1\n";

  DurableReplace floor(target);
  ASSERT_TRUE(floor.Write(bytes));
  ASSERT_TRUE(floor.Write(bytes));  // a second round finds its own lock and file

  EXPECT_EQ(Contents(target), bytes);
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  for (const auto& entry : fs::directory_iterator(folder_)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "hand.ini" || name == "hand.ini.lock") << name;
  }
}

// The floor takes the same writer lock as the library, so it pays for it
// and cannot slip past a writer holding it.
TEST_F(DurableReplaceTest, TakesTheWriterLock) {
  const std::string target = folder_ + "/hand.ini";
  std::ofstream(target) << "old\n";
  const int holder = open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  DurableReplace floor(target);
  EXPECT_FALSE(floor.Write("new\n"));
  EXPECT_EQ(Contents(target), "old\n");
  close(holder);
  EXPECT_TRUE(floor.Write("new\n"));
  EXPECT_EQ(Contents(target), "new\n");
}

TEST_F(DurableReplaceTest, CreatesAMissingFile) {
  DurableReplace floor(folder_ + "/new.ini");
  ASSERT_TRUE(floor.Write("x=1\n"));
  EXPECT_EQ(Contents(folder_ + "/new.ini"), "x=1\n");
}

TEST_F(DurableReplaceTest, FailsWithoutLeavingATemporaryWhenTheRenameCannotHappen) {
  struct Case {
    const char* name;
    std::string target;
  };
  fs::create_directory(folder_ + "/a-folder");
  fs::create_directory(folder_ + "/a-folder/inside");
  const Case cases[] = {
      {"missing folder", folder_ + "/missing/hand.ini"},
      {"target is a non-empty folder", folder_ + "/a-folder"},
  };
  for (const Case& c : cases) {
    DurableReplace floor(c.target);
    EXPECT_FALSE(floor.Write("x=1\n")) << c.name;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << c.name;
    }
  }
}

}  // namespace
}  // namespace orx::bench
