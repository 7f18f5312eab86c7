#include "platform/posix/atomic_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/fault_injection.h"
#include "platform/posix/syscalls.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

namespace fs = std::filesystem;
using orx::testing::FolderEntries;

class AtomicReplaceTest : public orx::testing::DataFolderTest {
 protected:
  std::string Path(const std::string& name) const { return folder_.File(name); }

  mode_t ModeOf(const std::string& name) const {
    struct stat st;
    return ::stat(Path(name).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
};

TEST_F(AtomicReplaceTest, ReplacesContentAndKeepsTheOldMode) {
  folder_.Write("a.ini", "[S]\nk=old\n");
  ASSERT_EQ(chmod(Path("a.ini").c_str(), 0640), 0);
  Result<FileIdentity> written = ReplaceFile(Path("a.ini"), "[S]\nk=new\n");
  ASSERT_TRUE(written.ok()) << static_cast<int>(written.status());
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=new\n");
  EXPECT_EQ(ModeOf("a.ini"), 0640u);
  EXPECT_EQ(FolderEntries(folder_.path()), (std::set<std::string>{"a.ini"}));
  Result<FileIdentity> now = StatFile(Path("a.ini"));
  ASSERT_TRUE(now.ok());
  EXPECT_EQ(*written, *now);
}

// A file written from pieces holds them in order, empty ones skipped; a
// source that gives up, at the first piece or after some were written,
// leaves the old file as it was and no temporary file.
TEST_F(AtomicReplaceTest, WritesPiecesInOrderOrNothingWhenTheSourceGivesUp) {
  const std::string large(100'000, 'z');
  struct Case {
    const char* what;
    std::vector<std::optional<std::string>> pieces;  // nullopt: the source gives up
    std::optional<std::string> written;              // nullopt: the old file stays
  };
  const Case cases[] = {
      {"several pieces", {"[S]\n", "k=", "new\n"}, "[S]\nk=new\n"},
      {"large pieces", {large, "|", large}, large + "|" + large},
      {"no piece at all", {}, ""},
      {"gives up at once", {std::nullopt}, std::nullopt},
      {"gives up after a large piece", {large, std::nullopt, "never"}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("a.ini", "[S]\nk=old\n");
    size_t next = 0;
    Result<FileIdentity> written =
        ReplaceFile(Path("a.ini"), [&]() -> std::optional<std::string_view> {
          if (next == c.pieces.size()) return std::string_view();
          const std::optional<std::string>& piece = c.pieces[next++];
          if (!piece) return std::nullopt;
          return std::string_view(*piece);
        });
    EXPECT_EQ(written.ok(), c.written.has_value());
    EXPECT_EQ(folder_.Read("a.ini"), c.written.value_or("[S]\nk=old\n"));
    EXPECT_EQ(FolderEntries(folder_.path()), (std::set<std::string>{"a.ini"}));
  }
}

TEST_F(AtomicReplaceTest, NewFileGetsTheUmaskMode) {
  mode_t saved = umask(027);
  Result<FileIdentity> written = ReplaceFile(Path("new.ini"), "x");
  umask(saved);
  ASSERT_TRUE(written.ok());
  EXPECT_EQ(ModeOf("new.ini"), 0640u);
}

TEST_F(AtomicReplaceTest, KeepsTheOwnerWherePermitted) {
  folder_.Write("a.ini", "old");
  ASSERT_EQ(chown(Path("a.ini").c_str(), 1234, 4321), 0);
  ASSERT_TRUE(ReplaceFile(Path("a.ini"), "new").ok());
  struct stat st;
  ASSERT_EQ(::stat(Path("a.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 4321u);
}

TEST_F(AtomicReplaceTest, MissingFolderIsPathNotFound) {
  Result<FileIdentity> written = ReplaceFile(Path("absent/a.ini"), "x");
  EXPECT_EQ(written.status(), Status::kPathNotFound);
}

TEST_F(AtomicReplaceTest, ReplacingThroughALinkKeepsTheLink) {
  folder_.Write("real.ini", "old");
  ASSERT_EQ(chmod(Path("real.ini").c_str(), 0604), 0);
  fs::create_directory(Path("sub"));
  fs::create_symlink("../real.ini", Path("sub/hop.ini"));
  fs::create_symlink("sub/hop.ini", Path("link.ini"));
  Result<std::string> target = ResolveTarget(Path("link.ini"));
  ASSERT_TRUE(target.ok());
  ASSERT_TRUE(ReplaceFile(*target, "new").ok());
  EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
  EXPECT_TRUE(fs::is_symlink(Path("sub/hop.ini")));
  EXPECT_EQ(folder_.Read("real.ini"), "new");
  EXPECT_EQ(ModeOf("real.ini"), 0604u);
}

TEST_F(AtomicReplaceTest, DanglingLinkResolvesToTheFileItWillCreate) {
  fs::create_symlink("later.ini", Path("link.ini"));
  Result<std::string> target = ResolveTarget(Path("link.ini"));
  ASSERT_TRUE(target.ok());
  EXPECT_EQ(fs::path(*target).filename(), "later.ini");
  ASSERT_TRUE(ReplaceFile(*target, "x").ok());
  EXPECT_EQ(folder_.Read("link.ini"), "x");
}

TEST_F(AtomicReplaceTest, LinkLoopIsRefused) {
  fs::create_symlink("b.ini", Path("a.ini"));
  fs::create_symlink("a.ini", Path("b.ini"));
  EXPECT_EQ(static_cast<int32_t>(ResolveTarget(Path("a.ini")).status()), 1921);
}

TEST_F(AtomicReplaceTest, FolderInPlaceOfTheFileIsRefused) {
  fs::create_directory(Path("a.ini"));
  EXPECT_EQ(ReplaceFile(Path("a.ini"), "x").status(), Status::kAccessDenied);
  EXPECT_TRUE(fs::is_directory(Path("a.ini")));
}

// Fault injection: each call of the write path fails in turn. The old file
// must survive byte for byte and no temporary file may remain.
int fsync_calls_to_pass = 0;

// Each call of the write path fails in turn: the old file must survive byte
// for byte and no temporary file may remain.
TEST_F(AtomicReplaceTest, FailedStepLeavesTheOldFileAndNoTemporary) {
  const std::string old_bytes = "; comment\r\n[S]\r\nk=old\r\n";
  struct Case {
    const char* call;
    int error;
    int32_t expected;
  };
  const Case cases[] = {
      {"open", EACCES, 5},     {"open", ENOSPC, 112},  {"write", ENOSPC, 112}, {"write", EIO, 1117},
      {"fsync", EIO, 1117},    {"fsync", EDQUOT, 112}, {"fchmod", EROFS, 19},  {"close", EIO, 1117},
      {"rename", ENOSPC, 112}, {"rename", EACCES, 5},  {"rename", EBUSY, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " errno " + std::to_string(c.error));
    folder_.Write("a.ini", old_bytes);
    Result<FileIdentity> written = [&] {
      orx::testing::InjectedFailure failure(c.call, c.error);
      return ReplaceFile(Path("a.ini"), "[S]\r\nk=new\r\n");
    }();
    EXPECT_EQ(static_cast<int32_t>(written.status()), c.expected);
    EXPECT_EQ(folder_.Read("a.ini"), old_bytes);
    EXPECT_EQ(FolderEntries(folder_.path()), (std::set<std::string>{"a.ini"}));
  }
}

// The new file is dated just before its last write, so that a write right
// after the replacement, however soon, shows in the identity; where the
// dating fails the replacement still succeeds and the writer reads back.
TEST_F(AtomicReplaceTest, WriteRightAfterTheReplacementChangesTheIdentity) {
  for (int round = 0; round < 20; ++round) {
    const std::string text = "[S]\nk=" + std::to_string(1000 + round) + "\n";
    Result<FileIdentity> written = ReplaceFile(Path("a.ini"), text);
    ASSERT_TRUE(written.ok());
    EXPECT_LT(written->mtime_ns, written->ctime_ns);
    EXPECT_FALSE(IsRacilyWritten(*written));
    folder_.Write("a.ini", "[S]\nk=" + std::to_string(2000 + round) + "\n");
    Result<FileIdentity> now = StatFile(Path("a.ini"));
    ASSERT_TRUE(now.ok());
    EXPECT_NE(now->mtime_ns, written->mtime_ns) << "round " << round;
  }
  orx::testing::InjectedFailure failure("futimens", EPERM);
  Result<FileIdentity> written = ReplaceFile(Path("a.ini"), "[S]\nk=undated\n");
  ASSERT_TRUE(written.ok());
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=undated\n");
}

TEST_F(AtomicReplaceTest, FailedFolderFlushIsReportedAfterTheRename) {
  folder_.Write("a.ini", "old");
  fsync_calls_to_pass = 1;  // the file's own flush passes, the folder's fails
  ScopedSyscall fail_second(
      &SyscallTable::fsync, +[](int fd) -> int {
        if (fsync_calls_to_pass-- > 0) return RealSyscalls().fsync(fd);
        errno = EIO;
        return -1;
      });
  EXPECT_EQ(static_cast<int32_t>(ReplaceFile(Path("a.ini"), "new").status()), 1117);
  EXPECT_EQ(folder_.Read("a.ini"), "new");
}

TEST_F(AtomicReplaceTest, ShortAndInterruptedWritesStillWriteEverything) {
  ScopedSyscall dribble(
      &SyscallTable::write, +[](int fd, const void* data, size_t size) {
        static int calls = 0;
        if (++calls % 3 == 0) {
          errno = EINTR;
          return ssize_t{-1};
        }
        return RealSyscalls().write(fd, data, size < 7 ? size : 7);
      });
  std::string bytes;
  for (int i = 0; i < 50; ++i) bytes += "key" + std::to_string(i) + "=value\n";
  ASSERT_TRUE(ReplaceFile(Path("a.ini"), bytes).ok());
  EXPECT_EQ(folder_.Read("a.ini"), bytes);
}

TEST_F(AtomicReplaceTest, WriteThatMakesNoProgressIsDiskFull) {
  folder_.Write("a.ini", "old");
  ScopedSyscall stuck(
      &SyscallTable::write, +[](int, const void*, size_t) { return ssize_t{0}; });
  EXPECT_EQ(ReplaceFile(Path("a.ini"), "new").status(), Status::kDiskFull);
  EXPECT_EQ(folder_.Read("a.ini"), "old");
}

TEST(IsTemporaryOf, RecognisesOnlyTheTemporaryFilesOfItsOwnFile) {
  struct Case {
    const char* name;
    const char* base;
    bool expected;
  };
  const Case cases[] = {
      {".a.ini.tmp-1f2-9ab", "a.ini", true},
      {".a.ini.tmp-", "a.ini", false},
      {".a.ini.tmp-x", "a.ini", false},
      {"a.ini.tmp-12", "a.ini", false},
      {".a.ini.lock", "a.ini", false},
      {".a.tmp-1.tmp-2", "a", false},  // a temporary of "a.tmp-1", not of "a"
      {".a.tmp-1.tmp-2", "a.tmp-1", true},
      {".b.ini.tmp-12", "a.ini", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsTemporaryOf(c.name, c.base), c.expected) << c.name << " of " << c.base;
  }
}

TEST_F(AtomicReplaceTest, SweepRemovesAbandonedTemporariesOfThatFileOnly) {
  folder_.Write("a.ini", "a");
  folder_.Write(".a.ini.tmp-1f-2", "abandoned");
  folder_.Write(".b.ini.tmp-1f-2", "another file's");
  folder_.Write(".a.ini.tmp-notours", "not a temporary");
  RemoveAbandonedTemporaries(Path("a.ini"));
  EXPECT_EQ(FolderEntries(folder_.path()),
            (std::set<std::string>{"a.ini", ".b.ini.tmp-1f-2", ".a.ini.tmp-notours"}));
}

}  // namespace
}  // namespace orx::platform
