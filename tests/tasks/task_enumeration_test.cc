// Task enumeration through the public header: the two end tests of the
// walk, what each delivery puts into the caller's buffers, a list that
// changes under an open enumeration, and handles that are not (or no longer)
// live.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "orxProperty.h"
#include "platform/profile_store.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

class TaskEnumeration : public DataFolderTest {};

// Takes a weak look at the cached document of `path`, edits the file, and
// expects no one to have kept that document alive through the edit.
void ExpectAnEditTakesTheCachedDocumentOver(const std::u16string& path) {
  std::weak_ptr<const platform::ini::Document> walked;
  {
    Result<platform::Snapshot> snapshot = platform::DefaultProfileStore().Load(path);
    ASSERT_TRUE(snapshot.ok());
    walked = *snapshot;
  }
  ASSERT_EQ(orxSetPropertyInt(0x10013, 240), 0);  // [InetWD] UpdatePeriod, same file
  EXPECT_TRUE(walked.expired());
}

TEST_F(TaskEnumeration, OpeningIsRefusedWithoutSlotOneOrRoomForAnId) {
  orxQuery query = reinterpret_cast<orxQuery>(this);
  char16_t id[40] = u"stale";
  EXPECT_EQ(orxGetFirstTask(&query, nullptr, 40, nullptr, 0), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(query, reinterpret_cast<orxQuery>(this));  // not touched
  EXPECT_EQ(orxGetFirstTask(nullptr, id, 40, nullptr, 0), ORX_STATUS_INVALID_PARAMETER);
  for (const std::string file : {"", "[Scanner]\nTask2={B}\n", "[Scanner]\nTask1=\nTask2={B}\n"}) {
    folder_.Write("ormix5.ini", file);
    EXPECT_EQ(orxGetFirstTask(&query, id, 40, nullptr, 0), ORX_STATUS_NO_MORE_ITEMS) << file;
    EXPECT_EQ(query, nullptr);
    EXPECT_EQ(id[0], u'\0');
  }
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={0F3A5B1C-0000-4000-8000-00000000000A}\n");
  query = reinterpret_cast<orxQuery>(this);
  id[0] = u's';
  EXPECT_EQ(orxGetFirstTask(&query, id, 38, nullptr, 0), ORX_STATUS_INSUFFICIENT_BUFFER);
  EXPECT_EQ(query, nullptr);
  EXPECT_EQ(id[0], u's');  // not touched
  EXPECT_EQ(orxGetFirstTask(&query, id, 39, nullptr, 0), 0);
  EXPECT_EQ(std::u16string(id), u"{0F3A5B1C-0000-4000-8000-00000000000A}");
  EXPECT_EQ(orxCloseQuery(query), 0);
}

TEST_F(TaskEnumeration, WalksDeliverSlotsByTheirEndTest) {
  const std::string gapless = ScannerSection({{1, "{A}"}, {2, "{B}"}, {3, "{C}"}});
  const std::string gap_at_two = ScannerSection({{1, "{A}"}, {3, "{C}"}});
  const Delivery a{u"{A}", u"Task1"}, b{u"{B}", u"Task2"}, c{u"{C}", u"Task3"};
  const Delivery free2{u"", u"Task2"}, free4{u"", u"Task4"};
  const struct {
    std::string file;
    int32_t lastSlot;
    std::vector<Delivery> expected;
  } cases[] = {
      {gapless, 0, {a, b, c}},        {gapless, 2, {a, b}},
      {gapless, 4, {a, b, c, free4}}, {gapless, -1, {a}},
      {gapless, INT32_MIN, {a}},      {gap_at_two, 0, {a}},
      {gap_at_two, 3, {a, free2, c}}, {gap_at_two, 1, {a}},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", c.file);
    EXPECT_EQ(Walk(c.lastSlot), c.expected) << c.file << "lastSlot " << c.lastSlot;
  }
}

TEST_F(TaskEnumeration, EndedWalkGoesOnWhenTheListOrLastSlotGrows) {
  folder_.Write("ormix5.ini", ScannerSection({{1, "{A}"}, {2, "{B}"}, {3, "{C}"}, {5, "{E}"}}));
  orxQuery query;
  char16_t id[40];
  char16_t key[8];
  ASSERT_EQ(orxGetFirstTask(&query, id, 40, key, 8), 0);
  folder_.Write("ormix5.ini", ScannerSection({{1, "{A}"}, {2, "{NEW B}"}, {3, "{C}"}, {5, "{E}"}}));
  EXPECT_EQ(orxGetNextTask(query, 0), 0);
  EXPECT_EQ(std::u16string(id), u"{NEW B}");  // each slot as it stands when read
  EXPECT_EQ(orxGetNextTask(query, 0), 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
    EXPECT_EQ(id[0], u'\0');
    EXPECT_EQ(std::u16string(key), u"Task3");  // the previous key name stays
  }
  // Filling slot 4 joins slot 5 to the list; lastSlot is taken afresh.
  std::u16string created = u"{D}";
  ASSERT_EQ(orxCreateTask(created.data(), nullptr), 0);
  for (const char16_t* expected : {u"{D}", u"{E}"}) {
    EXPECT_EQ(orxGetNextTask(query, 0), 0);
    EXPECT_EQ(std::u16string(id), expected);
  }
  EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(orxGetNextTask(query, 6), 0);
  EXPECT_EQ(std::u16string(key), u"Task6");
  EXPECT_EQ(orxGetNextTask(query, 6), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(orxCloseQuery(query), 0);
}

TEST_F(TaskEnumeration, BuffersReceiveBoundedCopies) {
  folder_.Write("ormix5.ini", ScannerSection({{1, std::string(100, 'L')}, {2, "{B}"}}));
  orxQuery query;
  char16_t id[50];
  std::u16string key(8, u'x');
  ASSERT_EQ(orxGetFirstTask(&query, id, 50, key.data(), 6), 0);
  EXPECT_EQ(std::u16string(id), std::u16string(49, u'L'));  // cut, no error
  EXPECT_EQ(key, std::u16string(u"Task1\0xx", 8));          // zero-filled to 6
  EXPECT_EQ(orxCloseQuery(query), 0);
  key.assign(8, u'x');
  ASSERT_EQ(orxGetFirstTask(&query, id, 50, key.data(), 4), 0);
  EXPECT_EQ(key, u"Taskxxxx");  // cut and unterminated
  EXPECT_EQ(orxCloseQuery(query), 0);
  // No key buffer: its capacity is never used.
  ASSERT_EQ(orxGetFirstTask(&query, id, 50, nullptr, 1000), 0);
  EXPECT_EQ(orxGetNextTask(query, 0), 0);
  EXPECT_EQ(std::u16string(id), u"{B}");
  EXPECT_EQ(orxCloseQuery(query), 0);
}

TEST_F(TaskEnumeration, HandlesThatAreNotLiveAreRefused) {
  folder_.Write("ormix5.ini", ScannerSection({{1, "{A}"}, {2, "{B}"}}));
  orxQuery closed, open, later;
  char16_t id1[40], id2[40];
  ASSERT_EQ(orxGetFirstTask(&closed, id1, 40, nullptr, 0), 0);
  ASSERT_EQ(orxGetFirstTask(&open, id2, 40, nullptr, 0), 0);
  EXPECT_EQ(orxCloseQuery(closed), 0);
  // A new enumeration never brings a closed handle back to life.
  ASSERT_EQ(orxGetFirstTask(&later, id1, 40, nullptr, 0), 0);
  int made_up = 0;
  for (const orxQuery stale :
       {closed, static_cast<orxQuery>(nullptr), reinterpret_cast<orxQuery>(&made_up)}) {
    EXPECT_EQ(orxGetNextTask(stale, 0), ORX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(orxCloseQuery(stale), ORX_STATUS_INVALID_PARAMETER);
  }
  EXPECT_EQ(made_up, 0);
  EXPECT_EQ(orxGetNextTask(open, 0), 0);  // the live ones are unaffected
  EXPECT_EQ(std::u16string(id2), u"{B}");
  EXPECT_EQ(std::u16string(id1), u"{A}");
  EXPECT_EQ(orxCloseQuery(open), 0);
  EXPECT_EQ(orxCloseQuery(later), 0);
}

// A list that cannot be read is not an empty list: the opening and every
// step report the read's error, as compaction does.
TEST_F(TaskEnumeration, AnUnreadableListReportsTheReadError) {
  orxQuery none = nullptr;
  char16_t buffer[40];
  EXPECT_EQ(orxGetFirstTask(&none, buffer, 40, nullptr, 0), ORX_STATUS_NO_MORE_ITEMS);  // no file
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\nTask2={B}\nTask3={C}\n");
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::all,
                               std::filesystem::perm_options::add);
  const std::string path = folder_.File("ormix5.ini");
  const std::string unreadable = folder_.File("unreadable");
  EXPECT_EQ(RunAsNobody([&] {
              orxQuery query = nullptr;
              char16_t id[40] = u"stale";
              if (orxGetFirstTask(&query, id, 40, nullptr, 0) != 0) return 1;
              if (orxGetNextTask(query, 0) != 0) return 2;
              // Replaced by a file its owner may not read either.
              const int fd = open(unreadable.c_str(), O_CREAT | O_WRONLY, 0);
              if (fd < 0 || close(fd) != 0) return 3;
              if (std::rename(unreadable.c_str(), path.c_str()) != 0) return 4;
              if (orxGetNextTask(query, 0) != 5 || id[0] != u'\0') return 5;
              if (orxCloseQuery(query) != 0) return 6;
              orxQuery second = reinterpret_cast<orxQuery>(&query);
              if (orxGetFirstTask(&second, id, 40, nullptr, 0) != 5) return 7;
              return second == nullptr ? 0 : 8;
            }),
            0);
}

// Once the last enumeration is closed, the task list it remembered lets its
// document go: an edit then takes the cached document over instead of
// copying it while an old one stays alive beside the new.
TEST_F(TaskEnumeration, ClosedWalkLeavesNoDocumentAliveForTheNextEdit) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={11111111-1111-1111-1111-111111111111}\n");
  const std::u16string path = DecodePath(folder_.File("ormix5.ini"));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the timestamp tick
  orxChar id[40];
  orxQuery query = nullptr;
  ASSERT_EQ(orxGetFirstTask(&query, id, 40, nullptr, 0), 0);
  EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
  ASSERT_EQ(orxCloseQuery(query), 0);
  ASSERT_NO_FATAL_FAILURE(ExpectAnEditTakesTheCachedDocumentOver(path));
}

// While a walk is open, a step that finds the file unchanged holds nothing
// of it: an edit meanwhile takes the cached document over.
TEST_F(TaskEnumeration, AnOpenWalkLeavesTheDocumentToAnEdit) {
  folder_.Write("ormix5.ini", ScannerSection({{1, "{A}"}, {2, "{B}"}, {3, "{C}"}}));
  const std::u16string path = DecodePath(folder_.File("ormix5.ini"));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // past the timestamp tick
  char16_t id[40];
  orxQuery query = nullptr;
  ASSERT_EQ(orxGetFirstTask(&query, id, 40, nullptr, 0), 0);
  ASSERT_EQ(orxGetNextTask(query, 0), 0);  // finds the file unchanged
  ASSERT_NO_FATAL_FAILURE(ExpectAnEditTakesTheCachedDocumentOver(path));
  // The walk goes on in the edited file, which lists the same tasks.
  ASSERT_EQ(orxGetNextTask(query, 0), 0);
  EXPECT_EQ(std::u16string(id), u"{C}");
  EXPECT_EQ(orxGetNextTask(query, 0), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(orxCloseQuery(query), 0);
}

}  // namespace
}  // namespace orx::testing
