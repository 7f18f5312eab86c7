#include "frame/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"

namespace orx::frame {
namespace {

using orx::testing::FolderEntries;

// The file of many section-read examples: entries with and without '=',
// an empty value, and a second section.
constexpr char kSections[] =
    "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[section2]\r\n";

class ProfileTest : public orx::testing::DataFolderTest {
 protected:
  std::u16string Path(const std::string& name = "a.ini") const {
    return DecodePath(folder_.File(name));
  }

  // Reads through ProfileRead into a buffer of `size` pre-filled with 'x',
  // and returns the text up to the first zero, the count and the last error.
  struct ReadOutcome {
    std::u16string text;
    uint32_t count;
    uint32_t error;
    bool operator==(const ReadOutcome&) const = default;
  };
  ReadOutcome Read(const char16_t* section, const char16_t* key, const char16_t* default_value,
                   uint32_t size, const std::string& name = "a.ini") {
    std::u16string buffer(size + 1, u'x');
    uint32_t count =
        ProfileRead(section, key, default_value, buffer.data(), size, Path(name).c_str());
    return {buffer.substr(0, buffer.find(u'\0')), count, ProfileLastError()};
  }

  // The whole buffer of a section read, zeros included.
  std::u16string Section(const char16_t* section, uint32_t size, uint32_t* count) {
    std::u16string buffer(size, u'x');
    *count = ProfileReadSection(section, buffer.data(), size, Path().c_str());
    return buffer;
  }
};

TEST_F(ProfileTest, ReadFollowsTheBufferAndDefaultRules) {
  folder_.Write("a.ini", "[S]\r\nk=val1\r\nq= \"  v  \" \r\nempty=\r\n");
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* default_value;
    uint32_t size;
    ReadOutcome expected;
  };
  const Case cases[] = {
      {u"S", u"k", u"d", 260, {u"val1", 4, 0}},
      {u"s", u"K", u"d", 5, {u"val1", 4, 0}},  // exact fit, any case
      {u"S", u"k", u"d", 4, {u"val", 3, 234}},
      {u"S", u"k", u"d", 1, {u"", 0, 234}},
      {u" S\t", u"\tk ", u"d", 260, {u"val1", 4, 0}},  // names trimmed as the file's are
      {u"S", u"q", u"d", 260, {u"  v  ", 5, 0}},
      {u"S", u"empty", u"d", 260, {u"", 0, 0}},  // empty is not missing
      {u"S", u"none", u"   d   ", 260, {u"   d", 4, 2}},
      {u"S", u"none", u"\td\t", 260, {u"\td\t", 3, 2}},
      {u"S", u"none", u"one two  ", 4, {u"one", 3, 234}},
      {u"S", u"none", nullptr, 260, {u"", 0, 2}},
      {u"T", u"k", u"d", 260, {u"d", 1, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.section, c.key, c.default_value, c.size), c.expected)
        << EncodePath(c.section) << "/" << EncodePath(c.key) << " size " << c.size;
  }
  EXPECT_EQ(Read(u"S", u"k", u"dflt", 260, "missing.ini"), (ReadOutcome{u"dflt", 4, 2}));
}

TEST_F(ProfileTest, ReadOfSizeZeroLeavesTheBufferUntouched) {
  folder_.Write("a.ini", "[S]\nk=v\n");
  char16_t buffer[2] = {u'x', u'y'};
  EXPECT_EQ(ProfileRead(u"S", u"k", u"d", buffer, 0, Path().c_str()), 0u);
  EXPECT_EQ(ProfileReadSection(u"S", buffer, 0, Path().c_str()), 0u);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(buffer[1], u'y');
}

TEST_F(ProfileTest, NullArgumentsOfReadsAreRefusedWithoutACrash) {
  char16_t buffer[8] = {u'x'};
  EXPECT_EQ(ProfileRead(u"S", u"k", u"d", nullptr, 8, Path().c_str()), 0u);
  EXPECT_EQ(ProfileLastError(), 87u);
  EXPECT_EQ(ProfileRead(nullptr, u"k", u"d", buffer, 8, Path().c_str()), 0u);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(ProfileReadSection(nullptr, buffer, 8, Path().c_str()), 0u);
  EXPECT_EQ(ProfileLastError(), 87u);
  EXPECT_EQ(ProfileRead(u"S", u"k", u"d", buffer, 8, nullptr), 0u);
}

TEST_F(ProfileTest, SectionListIsDoublyTerminatedWhetherItFitsOrNot) {
  folder_.Write("a.ini", kSections);
  using namespace std::string_literals;
  const std::u16string full = u"name1=val1\0name2=\0name3\0name4=val4\0\0"s;  // 35 + final zero
  struct Case {
    uint32_t size;
    std::u16string expected;
    uint32_t count;
  };
  const Case cases[] = {
      {100, full, 35},
      {36, full, 35},  // exact fit is not a cut
      {35, u"name1=val1\0name2=\0name3\0name4=val\0\0"s, 33},
      {24, u"name1=val1\0name2=\0name\0\0"s, 22},
      {19, u"name1=val1\0name2=\0\0"s, 17},
      {2, u"\0\0"s, 0},
      {1, u"\0"s, 0},
  };
  for (const Case& c : cases) {
    uint32_t count = 0;
    std::u16string buffer = Section(u"section1", c.size, &count);
    EXPECT_EQ(buffer.substr(0, c.expected.size()), c.expected) << "size " << c.size;
    EXPECT_EQ(count, c.count) << "size " << c.size;
  }
  uint32_t count = 0;
  EXPECT_EQ(Section(u"section2", 4, &count).substr(0, 2), u"\0\0"s);  // present but empty
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Section(u"absent", 4, &count).substr(0, 2), u"\0\0"s);
  EXPECT_EQ(count, 0u);
}

TEST_F(ProfileTest, SectionListShowsStoredFormsAndSkipsComments) {
  folder_.Write("a.ini", "[S]\r\n;c=1\r\n\r\n  k = \"q\" \r\n=bare\r\nplain\r\n[S]\r\nlater=1\r\n");
  using namespace std::string_literals;
  uint32_t count = 0;
  std::u16string buffer = Section(u"s", 64, &count);
  const std::u16string expected = u"k=\"q\"\0=bare\0plain\0\0"s;
  EXPECT_EQ(buffer.substr(0, expected.size()), expected);
  EXPECT_EQ(count, expected.size() - 1);
}

TEST_F(ProfileTest, WriteInItsThreeForms) {
  folder_.Write("a.ini", "; head\n[A]\nx=1\ny=2\n[B]\nz=3\n");
  EXPECT_TRUE(ProfileWrite(u"A", u"x", u"10", Path().c_str()));
  EXPECT_EQ(ProfileLastError(), 0u);
  EXPECT_EQ(folder_.Read("a.ini"), "; head\n[A]\nx=10\ny=2\n[B]\nz=3\n");
  EXPECT_TRUE(ProfileWrite(u"A", u"y", nullptr, Path().c_str()));
  EXPECT_EQ(folder_.Read("a.ini"), "; head\n[A]\nx=10\n[B]\nz=3\n");
  EXPECT_TRUE(ProfileWrite(u"B", nullptr, nullptr, Path().c_str()));
  EXPECT_EQ(folder_.Read("a.ini"), "; head\n[A]\nx=10\n");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndReportsNoStaleError) {
  EXPECT_TRUE(ProfileWrite(u"S", u"k", u"v", Path().c_str()));
  EXPECT_EQ(ProfileLastError(), 0u);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileTest, DeleteFromAMissingFileCreatesNothing) {
  EXPECT_TRUE(ProfileWrite(u"S", u"k", nullptr, Path().c_str()));
  EXPECT_TRUE(ProfileWrite(u"S", nullptr, nullptr, Path().c_str()));
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());
}

TEST_F(ProfileTest, NullSectionFailsWithFileNotFoundAndTouchesNothing) {
  EXPECT_FALSE(ProfileWrite(nullptr, u"k", u"v", Path().c_str()));
  EXPECT_EQ(ProfileLastError(), 2u);
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());
}

TEST_F(ProfileTest, NamesAndValuesThatWouldNotReadBackAreRefused) {
  const std::string old_bytes = "[S]\r\nk=v\r\n";
  folder_.Write("a.ini", old_bytes);
  const char16_t lone_surrogate[] = {u'a', 0xD800, u'b', 0};
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
    uint32_t error;
  };
  const Case cases[] = {
      {u"a]b", u"k", u"v", 87},           {u"a\nb", u"k", u"v", 87},
      {u"S", u"a=b", u"v", 87},           {u"S", u";k", u"v", 87},
      {u"S", u" [k", u"v", 87},           {u"S", u"k\r", u"v", 87},
      {u"S", u"k", u"x\r\n[Admin]", 87},  {u"S\r\n[T]", nullptr, nullptr, 87},
      {u"S", u"k", lone_surrogate, 1113},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ProfileWrite(c.section, c.key, c.value, Path().c_str()));
    EXPECT_EQ(ProfileLastError(), c.error) << EncodePath(c.section);
    EXPECT_EQ(folder_.Read("a.ini"), old_bytes);
  }
}

TEST_F(ProfileTest, WriteIntoAMissingFolderFailsWithPathNotFound) {
  EXPECT_FALSE(ProfileWrite(u"S", u"k", u"v", Path("absent/a.ini").c_str()));
  EXPECT_EQ(ProfileLastError(), 3u);
}

TEST_F(ProfileTest, NameTooLongForTheSystemFailsWithItsOwnError) {
  EXPECT_FALSE(ProfileWrite(u"S", u"k", u"v", Path(std::string(300, 'n') + ".ini").c_str()));
  EXPECT_EQ(ProfileLastError(), 206u);
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());
}

TEST_F(ProfileTest, WriteWithoutPermissionFailsWithAccessDenied) {
  folder_.Write("a.ini", "[S]\nk=v\n");
  int code = orx::testing::RunAsNobody([&] {
    bool refused = !ProfileWrite(u"S", u"k", u"w", Path().c_str());
    return refused && ProfileLastError() == 5 ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileTest, ViewKeepsItsSnapshotWhileTheFileChanges) {
  folder_.Write("a.ini", "[S]\nk=old\nn=1\n");
  ProfileView view(Path().c_str());
  ProfileView same(Path().c_str());
  EXPECT_EQ(view.identity(), same.identity());
  ASSERT_TRUE(ProfileWrite(u"S", u"k", u"new", Path().c_str()));
  EXPECT_EQ(view.Find(u"S", u"k"), std::u16string_view(u"old"));
  ProfileView later(Path().c_str());
  EXPECT_EQ(later.Find(u"S", u"k"), std::u16string_view(u"new"));
  EXPECT_NE(later.identity(), view.identity());
  char16_t buffer[8];
  EXPECT_EQ(view.Read(u"S", u"n", u"", buffer, 8), 1u);
  EXPECT_EQ(std::u16string(buffer), u"1");
}

TEST_F(ProfileTest, ForEachValueGivesValuesAsReadReturnsThem) {
  folder_.Write("a.ini", "[S]\na= \"x \" \nbare\nb=2\n");
  ProfileView view(Path().c_str());
  std::vector<std::u16string> seen;
  view.ForEachValue(u"S", [&](TextView key, TextView value) {
    seen.push_back(key.ToU16() + u"=" + value.ToU16());
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"a=x ", u"b=2"}));
}

TEST_F(ProfileTest, TransactionWritesOnceOrNotAtAll) {
  Status refused = ProfileTransaction(Path().c_str(), [](ProfileEditor& editor) {
    EXPECT_EQ(editor.Write(u"S", u"k", u"v"), Status::kOk);
    return Status::kNoMoreItems;
  });
  EXPECT_EQ(refused, Status::kNoMoreItems);
  EXPECT_TRUE(FolderEntries(folder_.path()).empty());

  Status written = ProfileTransaction(Path().c_str(), [](ProfileEditor& editor) {
    EXPECT_EQ(editor.Write(u"S", u"a", u"1"), Status::kOk);
    EXPECT_EQ(editor.Write(u"S", u"b", u"2"), Status::kOk);
    EXPECT_EQ(editor.Write(u"S", u"c=", u"3"), Status::kInvalidParameter);
    EXPECT_EQ(editor.Write(u"S", u"d", u"\xD800"), Status::kNoUnicodeTranslation);
    EXPECT_EQ(editor.Write(nullptr, u"d", u"4"), Status::kFileNotFound);
    EXPECT_EQ(editor.Find(u"S", u"a"), std::u16string_view(u"1"));
    return Status::kOk;
  });
  EXPECT_EQ(written, Status::kOk);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\na=1\nb=2\n");
}

// A section's batch of writes follows Write's failure convention: the reason
// is returned, and nothing of the batch applied.
TEST_F(ProfileTest, SectionWritesAllOrNone) {
  Status status = ProfileTransaction(Path().c_str(), [](ProfileEditor& editor) {
    const ProfileKeyWrite refused[] = {{u"a", u"1"}, {u"b=", u"2"}};
    EXPECT_EQ(editor.WriteSection(u"S", refused), Status::kInvalidParameter);
    EXPECT_EQ(editor.Find(u"S", u"a"), std::nullopt);
    EXPECT_EQ(editor.WriteSection(nullptr, refused), Status::kFileNotFound);

    const ProfileKeyWrite writes[] = {
        {u"a", u"1"}, {u"b", u" 2 "}, {u"a", std::nullopt}, {u"c", u"3"}, {u"A", u"4"}};
    EXPECT_EQ(editor.WriteSection(u"S", writes), Status::kOk);
    EXPECT_EQ(editor.WriteSection(u"S", writes), Status::kOk);  // the section exists now
    return Status::kOk;
  });
  EXPECT_EQ(status, Status::kOk);
  EXPECT_EQ(folder_.Read("a.ini"), "[S]\nb=\" 2 \"\nc=3\nA=4\n");
}

// Read-then-write sequences in transactions from several threads and
// processes: a counter incremented by each must end at the total.
TEST_F(ProfileTest, TransactionsMakeReadThenWriteAtomic) {
  constexpr int kProcesses = 3;
  constexpr int kThreads = 4;
  constexpr int kIncrements = 5;
  auto increment = [&] {
    return ProfileTransaction(Path().c_str(), [](ProfileEditor& editor) {
      char16_t buffer[16];
      editor.Read(u"S", u"n", u"0", buffer, 16);
      int n = std::stoi(EncodePath(buffer));
      return editor.Write(u"S", u"n", DecodePath(std::to_string(n + 1)).c_str());
    });
  };
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    children.push_back(orx::testing::StartChild([&] {
      std::atomic<int> failures{0};
      std::vector<std::thread> threads;
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
          for (int i = 0; i < kIncrements; ++i) failures += increment() != Status::kOk;
        });
      }
      for (std::thread& thread : threads) thread.join();
      return failures.load();
    }));
  }
  for (pid_t child : children) EXPECT_EQ(orx::testing::WaitForChild(child), 0);
  char16_t buffer[16];
  ProfileRead(u"S", u"n", u"", buffer, 16, Path().c_str());
  EXPECT_EQ(std::u16string(buffer),
            DecodePath(std::to_string(kProcesses * kThreads * kIncrements)));
}

}  // namespace
}  // namespace orx::frame
