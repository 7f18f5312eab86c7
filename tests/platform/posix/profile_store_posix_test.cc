#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/utf.h"
#include "platform/ini/encoding.h"
#include "platform/posix/fault_injection.h"
#include "platform/posix/file_io.h"
#include "platform/posix/syscalls.h"
#include "platform/profile_store.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using orx::testing::FolderEntries;
using orx::testing::RunAsNobody;

// Longer than any timestamp tick the store allows for on a local disk, so a
// file left alone this long is trusted on identity alone.
constexpr auto kPastTheTick = 30ms;

class ProfileStoreTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path(const std::string& name) const { return DecodePath(folder_.File(name)); }

  Snapshot Load(const std::string& name) {
    Result<Snapshot> snapshot = DefaultProfileStore().Load(Path(name));
    EXPECT_TRUE(snapshot.ok()) << static_cast<int>(snapshot.status());
    return snapshot.ok() ? *snapshot : nullptr;
  }

  std::u16string Value(const std::string& name, std::u16string_view section,
                       std::u16string_view key) {
    Snapshot snapshot = Load(name);
    if (!snapshot) return u"<error>";
    std::optional<ini::TextView> value = snapshot->FindValue(section, key);
    return value ? value->ToU16() : u"<missing>";
  }

  Status Set(const std::string& name, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) {
    return DefaultProfileStore().Edit(Path(name), [&](ini::Document& document) {
      return document.SetValue(section, key, value);
    });
  }
};

int stat_calls = 0;
int open_calls = 0;

struct CountingSyscalls {
  ScopedSyscall<int (*)(const char*, struct stat*)> stat{&SyscallTable::stat,
                                                         +[](const char* path, struct stat* out) {
                                                           ++stat_calls;
                                                           return RealSyscalls().stat(path, out);
                                                         }};
  ScopedSyscall<int (*)(const char*, int, mode_t)> open{
      &SyscallTable::open, +[](const char* path, int flags, mode_t mode) {
        ++open_calls;
        return RealSyscalls().open(path, flags, mode);
      }};
  CountingSyscalls() { stat_calls = open_calls = 0; }
};

TEST_F(ProfileStoreTest, MissingFileOrFolderReadsAsEmpty) {
  EXPECT_EQ(Value("none.ini", u"S", u"k"), u"<missing>");
  EXPECT_EQ(Value("no/such/folder.ini", u"S", u"k"), u"<missing>");
  EXPECT_EQ(DefaultProfileStore().Load(u"").status(), Status::kAccessDenied);
}

TEST_F(ProfileStoreTest, PathWithANulIsRefusedRatherThanCut) {
  std::u16string path = Path("a.ini");
  path += u'\0';
  path += u"more";
  EXPECT_EQ(static_cast<int32_t>(DefaultProfileStore().Load(path).status()), 123);
  Status status = DefaultProfileStore().Edit(
      path, [](ini::Document& document) { return document.SetValue(u"S", u"k", u"v"); });
  EXPECT_EQ(static_cast<int32_t>(status), 123);
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());
}

TEST_F(ProfileStoreTest, UnchangedFileCostsOneStatAndNoRead) {
  folder_.Write("a.ini", "[S]\nk=v\n");
  std::this_thread::sleep_for(kPastTheTick);
  Snapshot first = Load("a.ini");
  CountingSyscalls counting;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Load("a.ini"), first);
  EXPECT_EQ(stat_calls, 5);
  EXPECT_EQ(open_calls, 0);
}

TEST_F(ProfileStoreTest, DocumentReadJustAfterAChangeIsComparedAgain) {
  auto start = std::chrono::steady_clock::now();
  folder_.Write("a.ini", "[S]\nk=v\n");
  Snapshot first = Load("a.ini");  // within the tick of the write
  if (std::chrono::steady_clock::now() - start > 15ms) GTEST_SKIP() << "the load came too late";
  {
    CountingSyscalls counting;
    EXPECT_EQ(Load("a.ini"), first);  // same bytes: the same document
    EXPECT_EQ(open_calls, 1);
  }
  std::this_thread::sleep_for(kPastTheTick);
  Load("a.ini");  // read once more, now past the tick
  CountingSyscalls counting;
  Load("a.ini");
  EXPECT_EQ(open_calls, 0);
}

// File times as a kernel without fine-grained stamps keeps them: whole
// scheduler ticks of 4 ms. Recent kernels hand out a finer stamp after each
// stat(), which hides the same-tick case this emulates.
void Coarsen(struct stat* st) {
  constexpr long kTickNs = 4'000'000;
  st->st_mtim.tv_nsec -= st->st_mtim.tv_nsec % kTickNs;
  st->st_ctim.tv_nsec -= st->st_ctim.tv_nsec % kTickNs;
}

struct CoarseFileTimes {
  ScopedSyscall<int (*)(const char*, struct stat*)> stat{
      &SyscallTable::stat, +[](const char* path, struct stat* out) {
        int result = RealSyscalls().stat(path, out);
        Coarsen(out);
        return result;
      }};
  ScopedSyscall<int (*)(int, struct stat*)> fstat{&SyscallTable::fstat,
                                                  +[](int fd, struct stat* out) {
                                                    int result = RealSyscalls().fstat(fd, out);
                                                    Coarsen(out);
                                                    return result;
                                                  }};
};

// An editor that saves in place, keeping the size, within one timestamp
// tick: the identity comes out unchanged, and the new text must be seen.
TEST_F(ProfileStoreTest, InPlaceRewriteOfTheSameSizeInTheSameTickIsSeen) {
  CoarseFileTimes coarse;
  int same_identity = 0;
  for (int round = 0; round < 20; ++round) {
    std::string before = "[S]\nk=" + std::to_string(1000 + round) + "\n";
    std::string after = "[S]\nk=" + std::to_string(2000 + round) + "\n";
    folder_.Write("a.ini", before);
    ASSERT_EQ(Value("a.ini", u"S", u"k"), DecodePath(before.substr(6, 4)));
    struct stat st;
    ASSERT_EQ(::stat(folder_.File("a.ini").c_str(), &st), 0);
    int fd = ::open(folder_.File("a.ini").c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd, after.data(), after.size(), 0), static_cast<ssize_t>(after.size()));
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(futimens(fd, times), 0);  // the editor keeps the old time
    close(fd);
    struct stat now;
    ASSERT_EQ(Syscalls().stat(folder_.File("a.ini").c_str(), &now), 0);
    Coarsen(&st);
    same_identity += now.st_ctim.tv_nsec == st.st_ctim.tv_nsec ? 1 : 0;
    EXPECT_EQ(Value("a.ini", u"S", u"k"), DecodePath(after.substr(6, 4))) << "round " << round;
  }
  EXPECT_GT(same_identity, 0);  // the case under test did occur
}

// The store trusts the file it has just written without reading it back,
// even where file times are as coarse as a scheduler tick, and an editor
// saving in place straight after is still seen.
TEST_F(ProfileStoreTest, OwnWriteIsTrustedAtOnceAndAnEditRightAfterIsSeen) {
  CoarseFileTimes coarse;
  for (int round = 0; round < 20; ++round) {
    const std::u16string mine = DecodePath(std::to_string(1000 + round));
    ASSERT_EQ(Set("a.ini", u"S", u"k", mine), Status::kOk);
    {
      open_calls = 0;
      ScopedSyscall counting_opens(
          &SyscallTable::open, +[](const char* path, int flags, mode_t mode) {
            ++open_calls;
            return RealSyscalls().open(path, flags, mode);
          });
      EXPECT_EQ(Value("a.ini", u"S", u"k"), mine);
      EXPECT_EQ(open_calls, 0) << "round " << round;
    }
    const std::string theirs = std::to_string(2000 + round);
    folder_.Write("a.ini", "[S]\nk=" + theirs + "\n");
    EXPECT_EQ(Value("a.ini", u"S", u"k"), DecodePath(theirs)) << "round " << round;
  }
}

// Editors that save by rename: ext4 hands the freed inode number to the
// next file created (two numbers alternate over a run of such saves), so
// only the times and the size tell the files apart.
TEST_F(ProfileStoreTest, ReplacementByRenameIsSeen) {
  CoarseFileTimes coarse;
  for (int round = 0; round < 20; ++round) {
    std::string text = "[S]\nk=" + std::to_string(1000 + round) + "\n";
    folder_.Write("new.tmp", text);
    fs::rename(folder_.File("new.tmp"), folder_.File("a.ini"));
    EXPECT_EQ(Value("a.ini", u"S", u"k"), DecodePath(text.substr(6, 4)));
  }
}

TEST_F(ProfileStoreTest, WriteOfAnotherProcessIsSeen) {
  folder_.Write("a.ini", "[S]\nk=old\n");
  std::this_thread::sleep_for(kPastTheTick);
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"old");
  EXPECT_EQ(orx::testing::RunInChild(
                [&] { return Set("a.ini", u"S", u"k", u"new") == Status::kOk ? 0 : 1; }),
            0);
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"new");
}

TEST_F(ProfileStoreTest, EditThatChangesNothingCreatesNothing) {
  Status deleted = DefaultProfileStore().Edit(
      Path("a.ini"), [](ini::Document& document) { return document.DeleteKey(u"S", u"k"); });
  EXPECT_EQ(deleted, Status::kOk);
  Status section = DefaultProfileStore().Edit(
      Path("a.ini"), [](ini::Document& document) { return document.DeleteSection(u"S"); });
  EXPECT_EQ(section, Status::kOk);
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());
}

TEST_F(ProfileStoreTest, EditThatChangesNothingKeepsTheDocumentCached) {
  folder_.Write("a.ini", "[S]\nk=v\n");
  std::this_thread::sleep_for(kPastTheTick);
  Snapshot before = Load("a.ini");
  Status deleted = DefaultProfileStore().Edit(
      Path("a.ini"), [](ini::Document& document) { return document.DeleteKey(u"S", u"absent"); });
  ASSERT_EQ(deleted, Status::kOk);
  CountingSyscalls counting;
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"v");
  EXPECT_EQ(open_calls, 0);
  EXPECT_EQ(before->FindValue(u"S", u"k"), std::u16string_view(u"v"));  // the reader's copy stands
}

TEST_F(ProfileStoreTest, EditErrorIsReturnedAndNothingWritten) {
  folder_.Write("a.ini", "[S]\nk=old\n");
  Status status = DefaultProfileStore().Edit(Path("a.ini"), [](ini::Document& document) {
    EXPECT_EQ(document.SetValue(u"S", u"k", u"new"), Status::kOk);
    return Status::kNoMoreItems;
  });
  EXPECT_EQ(status, Status::kNoMoreItems);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=old\n");
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"old");
}

TEST_F(ProfileStoreTest, EditSeesTheFileAsItIsNotAsCached) {
  folder_.Write("a.ini", "[S]\na=1\n");
  std::this_thread::sleep_for(kPastTheTick);
  EXPECT_EQ(Value("a.ini", u"S", u"a"), u"1");
  folder_.Write("a.ini", "[S]\na=2\n");  // same size, behind the store's back
  ASSERT_EQ(Set("a.ini", u"S", u"b", u"x"), Status::kOk);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\na=2\nb=x\n");
}

TEST_F(ProfileStoreTest, WrittenDocumentIsServedAndMatchesTheFile) {
  ASSERT_EQ(Set("a.ini", u"S", u"k", u"v"), Status::kOk);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=v\n");
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"v");
  ASSERT_EQ(Set("a.ini", u"S", u"k", u"w"), Status::kOk);
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"w");
}

// Written a chunk at a time as it is encoded, a file of many chunks must
// come out exactly as the document serialises, in every encoding, with
// characters outside the BMP on the way.
TEST_F(ProfileStoreTest, LargeFileIsWrittenExactlyAsTheDocumentSerialises) {
  std::string lines;
  for (int key = 0; lines.size() < 300'000; ++key) {
    lines += "key" + std::to_string(key) + "=caf\xC3\xA9 \xF0\x9F\x98\x80\n";
  }
  const std::string utf16 =
      ini::Encode(*DecodeUtf8("[S]\n" + lines), ini::Encoding::kUtf16Le).value();
  const std::string utf16be =
      ini::Encode(*DecodeUtf8("[S]\n" + lines), ini::Encoding::kUtf16Be).value();
  const std::string files[] = {"[S]\n" + lines, "\xEF\xBB\xBF[S]\n" + lines, utf16, utf16be,
                               "[S]\nk=\xE9\n" + std::string(300'000, 'x')};
  for (const std::string& file : files) {
    SCOPED_TRACE(file.substr(0, 4));
    folder_.Write("a.ini", file);
    ASSERT_EQ(Set("a.ini", u"S", u"added", u"\U0001F600"), Status::kOk);
    ini::Document expected = ini::Document::FromBytes(file, PlatformEncodingRules());
    ASSERT_EQ(expected.SetValue(u"S", u"added", u"\U0001F600"), Status::kOk);
    EXPECT_TRUE(folder_.Read("a.ini") == expected.ToBytes());
    EXPECT_EQ(Value("a.ini", u"S", u"added"), u"\U0001F600");
  }
}

TEST_F(ProfileStoreTest, MissingFolderIsPathNotFound) {
  EXPECT_EQ(Set("absent/a.ini", u"S", u"k", u"v"), Status::kPathNotFound);
  EXPECT_FALSE(fs::exists(folder_.File("absent")));
}

TEST_F(ProfileStoreTest, LinkStaysALinkAndModeIsKept) {
  fs::create_directory(folder_.File("real"));
  folder_.Write("real/a.ini", "[S]\nk=old\n");
  ASSERT_EQ(chmod(folder_.File("real/a.ini").c_str(), 0640), 0);
  fs::create_symlink("real/a.ini", folder_.File("a.ini"));
  ASSERT_EQ(Set("a.ini", u"S", u"k", u"new"), Status::kOk);
  EXPECT_TRUE(fs::is_symlink(folder_.File("a.ini")));
  EXPECT_EQ(folder_.Read("real/a.ini"), "[S]\nk=new\n");
  EXPECT_EQ(fs::status(folder_.File("real/a.ini")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Value("a.ini", u"S", u"k"), u"new");
}

TEST_F(ProfileStoreTest, UnreadableFileIsNeverReplaced) {
  const std::string old_bytes = "[S]\nk=old\nother=kept\n";
  folder_.Write("a.ini", old_bytes);
  ASSERT_EQ(chmod(folder_.File("a.ini").c_str(), 0222), 0);  // anyone may write, no one read
  ASSERT_EQ(chmod(folder_.path().c_str(), 0777), 0);
  int code = RunAsNobody([&] {
    Status write = Set("a.ini", u"S", u"k", u"new");
    Status read = DefaultProfileStore().Load(Path("a.ini")).status();
    return write == Status::kAccessDenied && read == Status::kAccessDenied ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(folder_.Read("a.ini"), old_bytes);
}

// Replacing by rename needs only the folder's permission; a file that the
// process may not write must still be refused, not swapped for its own.
TEST_F(ProfileStoreTest, FileThatMayNotBeWrittenIsNotReplacedThroughTheFolder) {
  folder_.Write("a.ini", "[S]\nk=old\n");
  ASSERT_EQ(chmod(folder_.File("a.ini").c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder_.path().c_str(), 0777), 0);
  int code = RunAsNobody(
      [&] { return Set("a.ini", u"S", u"k", u"new") == Status::kAccessDenied ? 0 : 1; });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=old\n");
}

TEST_F(ProfileStoreTest, FileWithAnIoErrorIsNeverReplaced) {
  const std::string old_bytes = "[S]\nk=old\n";
  folder_.Write("a.ini", old_bytes);
  ScopedSyscall broken(
      &SyscallTable::read, +[](int, void*, size_t) {
        errno = EIO;
        return ssize_t{-1};
      });
  EXPECT_EQ(static_cast<int32_t>(Set("a.ini", u"S", u"k", u"new")), 1117);
  EXPECT_EQ(folder_.Read("a.ini"), old_bytes);
}

TEST_F(ProfileStoreTest, ReadOnlyFolderIsAccessDenied) {
  folder_.Write("a.ini", "[S]\nk=old\n");
  folder_.Write("b.ini", "[S]\nk=old\n");
  folder_.Write("b.ini.lock", "");  // lock file already there: the temporary file fails
  ASSERT_EQ(chmod(folder_.File("a.ini").c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder_.File("b.ini").c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder_.File("b.ini.lock").c_str(), 0666), 0);
  ASSERT_EQ(chmod(folder_.path().c_str(), 0555), 0);
  int code = RunAsNobody([&] {
    bool a = Set("a.ini", u"S", u"k", u"new") == Status::kAccessDenied;
    bool b = Set("b.ini", u"S", u"k", u"new") == Status::kAccessDenied;
    return (a ? 0 : 1) | (b ? 0 : 2);
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=old\n");
  EXPECT_EQ(folder_.Read("b.ini"), "[S]\nk=old\n");
}

TEST_F(ProfileStoreTest, FailedSystemCallLeavesFileCacheAndFolderAsTheyWere) {
  const std::string old_bytes = "; keep me\n[S]\nk=old\n";
  struct Case {
    const char* call;
    int error;
    int32_t expected;
  };
  const Case cases[] = {
      {"write", ENOSPC, 112}, {"fsync", EIO, 1117},  {"rename", ENOSPC, 112},
      {"rename", EROFS, 19},  {"flock", ENOLCK, 36}, {"open", EMFILE, 4},
  };
  ASSERT_EQ(Set("a.ini", u"S", u"k", u"first"), Status::kOk);  // the lock file now exists
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " errno " + std::to_string(c.error));
    folder_.Write("a.ini", old_bytes);
    EXPECT_EQ(Value("a.ini", u"S", u"k"), u"old");
    std::set<std::string> entries = FolderEntries(folder_.path());
    Status status = [&] {
      orx::testing::InjectedFailure failure(c.call, c.error);
      return Set("a.ini", u"S", u"k", u"new");
    }();
    EXPECT_EQ(static_cast<int32_t>(status), c.expected);
    EXPECT_EQ(folder_.Read("a.ini"), old_bytes);
    EXPECT_EQ(Value("a.ini", u"S", u"k"), u"old");
    EXPECT_EQ(FolderEntries(folder_.path()), entries);
  }
}

TEST_F(ProfileStoreTest, CacheStaysBoundedAndCorrectAcrossManyFiles) {
  for (int i = 0; i < 100; ++i) {
    folder_.Write("f" + std::to_string(i) + ".ini", "[S]\nk=" + std::to_string(i) + "\n");
  }
  std::this_thread::sleep_for(kPastTheTick);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(Value("f" + std::to_string(i) + ".ini", u"S", u"k"), DecodePath(std::to_string(i)));
  }
  CountingSyscalls counting;
  Load("f99.ini");
  EXPECT_EQ(open_calls, 0);  // recently used: still cached
  Load("f0.ini");
  EXPECT_EQ(open_calls, 1);  // the oldest was evicted and is read again
}

TEST(LastError, BelongsToTheCallingThread) {
  SetLastError(5);
  uint32_t seen_elsewhere = 99;
  std::thread([&] { seen_elsewhere = LastError(); }).join();
  EXPECT_EQ(seen_elsewhere, 0u);
  EXPECT_EQ(LastError(), 5u);
}

}  // namespace
}  // namespace orx::platform
