#include "platform/posix/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/posix/fault_injection.h"
#include "platform/posix/syscalls.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using FileIoTest = orx::testing::DataFolderTest;

// Compares the file with `expected` piece by piece, as the store compares a
// file with a document's serialisation; `pieces` counts the pieces taken.
Result<FileComparison> CompareWithString(const std::string& path, std::string_view expected,
                                         int* pieces = nullptr) {
  size_t at = 0;
  return CompareWithFile(path, static_cast<int64_t>(expected.size()), [&](std::string_view next) {
    if (pieces != nullptr) ++*pieces;
    const bool same = expected.substr(std::min(at, expected.size()), next.size()) == next;
    at += next.size();
    return same;
  });
}

TEST_F(FileIoTest, ReadsBytesWithTheIdentityTheyBelongTo) {
  std::string bytes("[S]\r\nk=v\0x\r\n", 12);
  bytes += std::string(100'000, 'z');
  folder_.Write("a.ini", bytes);
  Result<FileContents> contents = ReadWholeFile(folder_.File("a.ini"));
  ASSERT_TRUE(contents.ok());
  EXPECT_EQ(contents->bytes, bytes);
  Result<FileIdentity> identity = StatFile(folder_.File("a.ini"));
  ASSERT_TRUE(identity.ok());
  EXPECT_EQ(contents->identity, *identity);
  EXPECT_EQ(identity->size, static_cast<int64_t>(bytes.size()));
}

TEST_F(FileIoTest, TellsMissingFilesFromUnreadableOnes) {
  folder_.Write("plain", "x");
  std::filesystem::create_directory(folder_.File("dir"));
  ASSERT_EQ(mkfifo(folder_.File("fifo").c_str(), 0600), 0);
  struct Case {
    const char* name;
    Status expected;
  };
  const Case cases[] = {
      {"missing.ini", Status::kFileNotFound},
      {"plain/below.ini", Status::kPathNotFound},  // a file where a folder should be
      {"dir", Status::kAccessDenied},
      {"fifo", Status::kAccessDenied},  // and no hang waiting for a writer
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadWholeFile(folder_.File(c.name)).status(), c.expected) << c.name;
  }
  EXPECT_EQ(StatFile(folder_.File("missing.ini")).status(), Status::kFileNotFound);
  EXPECT_EQ(StatFile(folder_.File("plain/below.ini")).status(), Status::kPathNotFound);
}

TEST_F(FileIoTest, ReadErrorIsReportedNotTakenForAnEmptyFile) {
  folder_.Write("a.ini", "[S]\nk=v\n");
  ScopedSyscall broken(
      &SyscallTable::read, +[](int, void*, size_t) {
        errno = EIO;
        return ssize_t{-1};
      });
  EXPECT_EQ(static_cast<int32_t>(ReadWholeFile(folder_.File("a.ini")).status()), 1117);
}

// At the first read after it is set, `appended_text` is appended to
// `grown_path` behind the reader's back, the way an editor saving in place
// would.
std::string grown_path;
const char* appended_text = nullptr;

ssize_t ReadThatGrowsTheFile(int fd, void* buffer, size_t size) {
  if (appended_text != nullptr) {
    FILE* file = fopen(grown_path.c_str(), "ab");
    fputs(appended_text, file);
    fclose(file);
    appended_text = nullptr;
  }
  return RealSyscalls().read(fd, buffer, size);
}

TEST_F(FileIoTest, FileGrowingDuringTheReadIsReadAgain) {
  folder_.Write("a.ini", "short");
  grown_path = folder_.File("a.ini");
  appended_text = " and longer";
  ScopedSyscall growing(&SyscallTable::read, &ReadThatGrowsTheFile);
  Result<FileContents> contents = ReadWholeFile(grown_path);
  ASSERT_TRUE(contents.ok());
  EXPECT_EQ(contents->bytes, "short and longer");
  EXPECT_EQ(contents->identity.size, 16);
}

TEST_F(FileIoTest, FilesLargerThanTheCapAreRefused) {
  constexpr int64_t kCap = 64;
  struct Case {
    size_t size;
    bool readable;
  };
  const Case cases[] = {
      {0, true}, {kCap - 1, true}, {kCap, true}, {kCap + 1, false}, {5 * kCap, false}};
  for (const Case& c : cases) {
    folder_.Write("a.ini", std::string(c.size, 'x'));
    Result<FileContents> contents = ReadWholeFile(folder_.File("a.ini"), kCap);
    if (c.readable) {
      ASSERT_TRUE(contents.ok()) << c.size;
      EXPECT_EQ(contents->bytes.size(), c.size);
    } else {
      EXPECT_EQ(static_cast<int32_t>(contents.status()), 223) << c.size;  // ERROR_FILE_TOO_LARGE
    }
  }
}

TEST_F(FileIoTest, FileGrowingPastTheCapDuringTheReadIsRefused) {
  folder_.Write("a.ini", "short");
  grown_path = folder_.File("a.ini");
  appended_text = " and longer";
  ScopedSyscall growing(&SyscallTable::read, &ReadThatGrowsTheFile);
  EXPECT_EQ(static_cast<int32_t>(ReadWholeFile(grown_path, 10).status()), 223);
}

// The comparison must tell a difference anywhere, in any chunk, and in the
// length either way, and report the identity of what it compared.
TEST_F(FileIoTest, ComparesTheFileWithExpectedBytes) {
  const std::string large = std::string(200'000, 'a') + "tail";
  std::string large_changed_at_end = large;
  large_changed_at_end.back() = 'X';
  std::string large_changed_at_chunk = large;
  large_changed_at_chunk[64 * 1024] = 'X';
  struct Case {
    const char* what;
    std::string file;
    std::string expected;
    bool same;
  };
  const Case cases[] = {
      {"equal", "[S]\nk=v\n", "[S]\nk=v\n", true},
      {"both empty", "", "", true},
      {"same size, other bytes", "[S]\nk=v\n", "[S]\nk=w\n", false},
      {"file longer", "[S]\nk=v\nx", "[S]\nk=v\n", false},
      {"file shorter", "[S]\nk=v", "[S]\nk=v\n", false},
      {"large, equal", large, large, true},
      {"large, last byte differs", large, large_changed_at_end, false},
      {"large, first byte of a later chunk differs", large, large_changed_at_chunk, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("a.ini", c.file);
    Result<FileComparison> compared = CompareWithString(folder_.File("a.ini"), c.expected);
    ASSERT_TRUE(compared.ok());
    EXPECT_EQ(compared->same, c.same);
    Result<FileIdentity> identity = StatFile(folder_.File("a.ini"));
    ASSERT_TRUE(identity.ok());
    EXPECT_EQ(compared->identity, *identity);
  }
}

TEST_F(FileIoTest, ComparisonWithWhatIsNotAReadableFile) {
  std::filesystem::create_directory(folder_.File("dir"));
  Result<FileComparison> with_folder = CompareWithString(folder_.File("dir"), "");
  EXPECT_TRUE(!with_folder.ok() || !with_folder->same);
  EXPECT_EQ(CompareWithString(folder_.File("missing.ini"), "x").status(), Status::kFileNotFound);
  folder_.Write("a.ini", "[S]\nk=v\n");
  ScopedSyscall failing_read(
      &SyscallTable::read, +[](int, void*, size_t) -> ssize_t {
        errno = EIO;
        return -1;
      });
  Result<FileComparison> failed = CompareWithString(folder_.File("a.ini"), "[S]\nk=v\n");
  EXPECT_TRUE(!failed.ok() || !failed->same) << "a failed read taken for equal bytes";
}

// A file of another size is told without reading it, and a difference
// stops the read at the piece that shows it.
TEST_F(FileIoTest, ComparisonReadsNoFurtherThanItMust) {
  const std::string large = std::string(300'000, 'a');
  folder_.Write("a.ini", large);
  int pieces = 0;
  Result<FileComparison> longer = CompareWithString(folder_.File("a.ini"), large + "b", &pieces);
  ASSERT_TRUE(longer.ok());
  EXPECT_FALSE(longer->same);
  EXPECT_EQ(pieces, 0);
  std::string changed = large;
  changed[10] = 'b';
  Result<FileComparison> early = CompareWithString(folder_.File("a.ini"), changed, &pieces);
  ASSERT_TRUE(early.ok());
  EXPECT_FALSE(early->same);
  EXPECT_EQ(pieces, 1);
}

TEST(IsRacilyClean, DistrustsAReadWithinATimestampTickOfTheChange) {
  constexpr int64_t kSecond = 1'000'000'000;
  constexpr int64_t kMs = 1'000'000;
  const int64_t changed = 1'700'000'000 * kSecond + 123'456'789;
  const int64_t whole = 1'700'000'000 * kSecond;
  struct Case {
    int64_t ctime;
    int64_t read_started;
    bool racy;
  };
  const Case cases[] = {
      {changed, changed, true},
      {changed, changed + 1 * kMs, true},
      {changed, changed + 100 * kMs, false},
      {changed, changed - 5 * kSecond, true},  // changed after the read began
      {whole, whole + 100 * kMs, true},        // whole-second stamps: a second is one tick
      {whole, whole + 1500 * kMs, true},
      {whole, whole + 3 * kSecond, false},
  };
  for (const Case& c : cases) {
    FileIdentity identity{.size = 10, .mtime_ns = c.ctime, .ctime_ns = c.ctime};
    EXPECT_EQ(IsRacilyClean(identity, c.read_started), c.racy)
        << "ctime " << c.ctime << " read " << c.read_started;
  }
}

}  // namespace
}  // namespace orx::platform
