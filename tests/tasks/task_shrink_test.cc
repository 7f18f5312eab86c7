// Compaction through the public header: every form of lastSlot, gaps that
// cannot be closed, ids of any length, and the bytes of a file that needs
// no change.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

using Slots = std::map<int, std::string>;

class TaskShrink : public DataFolderTest {};

TEST_F(TaskShrink, MovesListedTasksDownInTheirOrder) {
  const std::vector<std::pair<int, std::string>> one_three_six = {
      {1, "{A}"}, {3, "{C}"}, {6, "{F}"}};
  const struct {
    std::vector<std::pair<int, std::string>> slots;
    int32_t lastSlot;
    int32_t status;
    Slots expected;
  } cases[] = {
      {one_three_six, 6, 0, {{1, "{A}"}, {2, "{C}"}, {3, "{F}"}}},
      {one_three_six, INT32_MAX, 0, {{1, "{A}"}, {2, "{C}"}, {3, "{F}"}}},
      {one_three_six, 4, 0, {{1, "{A}"}, {2, "{C}"}, {6, "{F}"}}},
      {one_three_six, 2, 0, {{1, "{A}"}, {3, "{C}"}, {6, "{F}"}}},
      {one_three_six, 0, 0, {{1, "{A}"}, {3, "{C}"}, {6, "{F}"}}},
      {one_three_six, -1, 0, {{1, "{A}"}, {3, "{C}"}, {6, "{F}"}}},
      {{{1, "{A}"}, {3, ""}, {5, "{E}"}}, 5, 0, {{1, "{A}"}, {2, "{E}"}, {3, ""}}},
      {{{1, "{A}"}, {2, "{B}"}, {9000, "{X}"}, {20000, "{Y}"}, {INT32_MAX, "{Z}"}},
       INT32_MAX,
       0,
       {{1, "{A}"}, {2, "{B}"}, {3, "{X}"}, {4, "{Y}"}, {5, "{Z}"}}},
      {{{2, "{B}"}, {4, "{D}"}}, 6, ORX_STATUS_NO_MORE_ITEMS, {{2, "{B}"}, {4, "{D}"}}},
      {{}, 6, ORX_STATUS_NO_MORE_ITEMS, {}},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", ScannerSection(c.slots));
    EXPECT_EQ(orxShrinkTasks(c.lastSlot), c.status) << "lastSlot " << c.lastSlot;
    EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")), c.expected) << "lastSlot " << c.lastSlot;
  }
}

TEST_F(TaskShrink, ListWithoutGapsIsLeftUntouched) {
  const std::string file =
      "; tasks\r\n[Scanner]\r\nRawBootTimeScan=1\r\nTask1={A}\r\n"
      "task2 = {B}\r\nTask3={C}\r\n";
  folder_.Write("ormix5.ini", file);
  struct stat before;
  ASSERT_EQ(stat(folder_.File("ormix5.ini").c_str(), &before), 0);
  for (const int32_t lastSlot : {0, 1, 3, 4, 10000, INT32_MAX, -5}) {
    EXPECT_EQ(orxShrinkTasks(lastSlot), 0) << lastSlot;
    EXPECT_EQ(folder_.Read("ormix5.ini"), file) << lastSlot;
  }
  struct stat after;
  ASSERT_EQ(stat(folder_.File("ormix5.ini").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
}

TEST_F(TaskShrink, OtherKeysAndSectionsStayWhereTheyAre) {
  folder_.Write("ormix5.ini",
                "[Scanner]\nTask1={A}\nRawBootTimeScan=1\nTask4={D}\n[{D}]\nJob=Scan\n");
  EXPECT_EQ(orxShrinkTasks(4), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"),
            "[Scanner]\nTask1={A}\nRawBootTimeScan=1\nTask2={D}\n[{D}]\nJob=Scan\n");
}

TEST_F(TaskShrink, IdsOfAnyLengthMoveIntact) {
  const std::string long_id(100, 'L');
  const std::string huge_id(5000, 'H');
  const std::string spaced = "\"  spaced id  \"";  // reads back with its blanks
  folder_.Write("ormix5.ini",
                ScannerSection({{1, "{A}"}, {3, long_id}, {7, huge_id}, {8, spaced}}));
  EXPECT_EQ(orxShrinkTasks(8), 0);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")),
            (Slots{{1, "{A}"}, {2, long_id}, {3, huge_id}, {4, spaced}}));
  const std::vector<Delivery> walk = Walk(0);
  ASSERT_EQ(walk.size(), 4u);
  EXPECT_EQ(walk[3].id, u"  spaced id  ");
}

TEST_F(TaskShrink, FailedWriteIsReportedAndChangesNothing) {
  const std::string file = ScannerSection({{1, "{A}"}, {3, "{C}"}});
  folder_.Write("ormix5.ini", file);
  std::filesystem::permissions(
      folder_.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add);
  EXPECT_EQ(RunAsNobody([] { return orxShrinkTasks(3); }), 5);  // ERROR_ACCESS_DENIED
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
  // Nothing to move: nothing is written, so there is nothing to fail.
  EXPECT_EQ(RunAsNobody([] { return orxShrinkTasks(1); }), 0);
}

}  // namespace
}  // namespace orx::testing
