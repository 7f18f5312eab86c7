#include "platform/posix/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/posix/fault_injection.h"
#include "platform/posix/syscalls.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using FileIoTest = orx::testing::DataFolderTest;

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

TEST_F(FileIoTest, FileGrowingDuringTheReadIsReadAgain) {
  folder_.Write("a.ini", "short");
  // The first read appends to the file behind the reader's back, the way an
  // editor saving in place would.
  static std::string path;
  path = folder_.File("a.ini");
  ScopedSyscall growing(
      &SyscallTable::read, +[](int fd, void* buffer, size_t size) {
        static bool appended = false;
        if (!appended) {
          appended = true;
          FILE* file = fopen(path.c_str(), "ab");
          fputs(" and longer", file);
          fclose(file);
        }
        return RealSyscalls().read(fd, buffer, size);
      });
  Result<FileContents> contents = ReadWholeFile(path);
  ASSERT_TRUE(contents.ok());
  EXPECT_EQ(contents->bytes, "short and longer");
  EXPECT_EQ(contents->identity.size, 16);
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
