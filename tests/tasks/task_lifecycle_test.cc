// Task creation in both modes, the deleted mark, removal of a definition and
// the lookup by name, through the public header: which slot a creation
// takes, what counts as listed, what a refusal leaves, and failed writes
// reported with the system's error number.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

class TaskCreate : public DataFolderTest {};

TEST_F(TaskCreate, TakesTheFirstFreeSlotInEitherMode) {
  const struct {
    std::string scanner;
    std::string slot_key;  // the key the new id must be written under
  } cases[] = {
      {"", "Task1"},
      {"[Scanner]\nTask1={A}\nTask3={C}\n", "Task2"},
      {"[Scanner]\nTask2={B}\n", "Task1"},
      {"[Scanner]\nTask1={A}\nTask2=\nTask3={C}\n", "Task2"},
      {"[Scanner]\nTask1={A}\nTask2=\"\"\n", "Task2"},
      {"[Scanner]\nTASK1={A}\ntask2={B}\n", "Task3"},
      {"[Scanner]\nTask01={A}\n", "Task1"},         // no slot has a leading zero
      {"[Scanner]\nTask1=\nTask1={A}\n", "Task1"},  // the first of two keys counts
  };
  for (const bool registration : {false, true}) {
    for (const auto& c : cases) {
      folder_.Write("ormix5.ini", c.scanner);
      char16_t id[39] = u"{REGISTERED}";
      uint32_t length = 39;
      ASSERT_EQ(orxCreateTask(id, registration ? nullptr : &length), 0) << c.scanner;
      const std::string file = folder_.Read("ormix5.ini");
      EXPECT_NE(file.find(c.slot_key + "=" + Narrow(id) + "\n"), std::string::npos) << file;
    }
  }
}

TEST_F(TaskCreate, NewTaskModeNeedsRoomFor39UnitsAndMakesFreshGuids) {
  for (const uint32_t capacity : {0u, 38u}) {
    char16_t id[39] = u"stale";
    uint32_t length = capacity;
    EXPECT_EQ(orxCreateTask(id, &length), ORX_STATUS_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, 38u);
    EXPECT_EQ(id[0], u'\0');
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  char16_t first[39], second[39];
  uint32_t length = 39;
  ASSERT_EQ(orxCreateTask(first, &length), 0);
  length = 39;
  ASSERT_EQ(orxCreateTask(second, &length), 0);
  EXPECT_EQ(length, 38u);
  EXPECT_TRUE(IsGuidText(first) && IsGuidText(second)) << Narrow(first) << Narrow(second);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")),
            (std::map<int, std::string>{{1, Narrow(first)}, {2, Narrow(second)}}));
}

TEST_F(TaskCreate, RegistrationOfAListedIdWritesNothing) {
  std::string filler;  // far more than 10240 units of other keys before the id
  for (int i = 0; i < 200; ++i)
    filler += "Filler" + std::to_string(i) + "=" + std::string(60, 'x') + "\n";
  const struct {
    std::string scanner;
    std::u16string id;
  } cases[] = {
      {"Task1={ABC}\n", u"{ABC}"},
      {"Task1={abc-Äß}\n", u"{ABC-äß}"},  // other letter case, beyond ASCII too
      {"RawBootTimeScan=1\n", u"1"},      // the value of any key counts
      {"Task1=\"{ABC}\"\n", u"{ABC}"},    // as a read returns it
      {"={ABC}\n", u"{ABC}"},
      {filler + "Task9={LATE}\n", u"{late}"},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", "[Scanner]\n" + c.scanner);
    std::u16string id = c.id;
    EXPECT_EQ(orxCreateTask(id.data(), nullptr), 0);
    EXPECT_EQ(folder_.Read("ormix5.ini"), "[Scanner]\n" + c.scanner);
  }
  // Key names and parts of values are not listed ids.
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\n{B}=x\n");
  for (const char16_t* text : {u"Task1", u"{B}", u"{A"}) {
    std::u16string id = text;
    EXPECT_EQ(orxCreateTask(id.data(), nullptr), 0);
  }
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")),
            (std::map<int, std::string>{{1, "{A}"}, {2, "Task1"}, {3, "{B}"}, {4, "{A"}}));
}

TEST_F(TaskCreate, RefusalsChangeNothing) {
  const std::string file = "[Scanner]\nTask1={A}\nX=\n";
  folder_.Write("ormix5.ini", file);
  uint32_t length = 39;
  char16_t empty[4] = u"";
  char16_t broken[] = u"{A}\n[Admin]";
  EXPECT_EQ(orxCreateTask(nullptr, &length), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCreateTask(nullptr, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCreateTask(empty, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCreateTask(broken, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTask(nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(nullptr, u"{A}"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task1", nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task1", u"{A}]"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task=1", u"{A}"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(length, 39u);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
}

TEST_F(TaskCreate, FullListFailsWithoutReplacingAnyTask) {
  std::string file = "[Scanner]\n";
  for (int slot = 1; slot <= 10000; ++slot) file += "Task" + std::to_string(slot) + "={T}\n";
  folder_.Write("ormix5.ini", file);
  char16_t id[39] = u"stale";
  uint32_t length = 39;
  EXPECT_EQ(orxCreateTask(id, &length), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(id[0], u'\0');
  std::u16string registered = u"{NEW}";
  EXPECT_EQ(orxCreateTask(registered.data(), nullptr), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
  file.replace(file.find("Task10000={T}"), 13, "Task10000=");
  folder_.Write("ormix5.ini", file);
  EXPECT_EQ(orxCreateTask(registered.data(), nullptr), 0);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")).at(10000), "{NEW}");
}

TEST_F(TaskCreate, FailedWritesReturnTheSystemsError) {
  const std::string file = "[Scanner]\nTask1={A}\nTask2={B}\n[{B}]\nJob=Scan\n";
  folder_.Write("ormix5.ini", file);
  std::filesystem::permissions(
      folder_.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add);
  EXPECT_EQ(RunAsNobody([] {
              char16_t id[39] = u"stale";
              uint32_t length = 39;
              if (orxCreateTask(id, &length) != 5 || id[0] != u'\0') return 1;  // access denied
              if (orxDeleteTask(u"{A}") != 5) return 2;
              if (orxDeleteTaskDefinition(u"Task2", u"{B}") != 5) return 3;
              char16_t listed[] = u"{b}";  // listed already: nothing to write, nothing fails
              return orxCreateTask(listed, nullptr) == 0 ? 0 : 4;
            }),
            0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);

  setenv("ORX_DATA_FOLDER", (folder_.path() + "/missing").c_str(), 1);
  orxPropertyInitLibrary();
  char16_t id[39] = u"stale";
  uint32_t length = 39;
  EXPECT_EQ(orxCreateTask(id, &length), 3);  // path not found
  EXPECT_EQ(id[0], u'\0');
}

TEST_F(TaskCreate, DeleteMarksAndDeleteDefinitionRemoves) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\nTask2={B}\nTask3={C}\n[{B}]\nJob=Scan\n");
  EXPECT_EQ(orxDeleteTask(u"{A}"), 0);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task2", u"{B}"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[Scanner]\nTask1={A}\nTask3={C}\n[{A}]\nDeleted=1\n");
  int32_t deleted = 0;
  EXPECT_EQ(orxGetTaskPropertyInt(u"{A}", 0x20020, &deleted), 0);
  EXPECT_EQ(deleted, 1);
  char16_t id[39];
  uint32_t length = 39;
  ASSERT_EQ(orxCreateTask(id, &length), 0);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")).at(2), Narrow(id));
  // A slot key that does not exist still lets the section go.
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task9", u"{A}"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini").find("[{A}]"), std::string::npos);
}

TEST(TaskFindByName, FillsTheCapacityWithTheFixedAnswer) {
  std::u16string buffer(12, u'x');
  EXPECT_EQ(orxFindTaskByName(u"any", buffer.data(), 10), 0);
  EXPECT_EQ(buffer, std::u16string(u"6666\0\0\0\0\0\0xx", 12));
  buffer.assign(6, u'x');
  EXPECT_EQ(orxFindTaskByName(nullptr, buffer.data(), 3), 0);
  EXPECT_EQ(buffer, u"666xxx");  // cut and left unterminated
  EXPECT_EQ(orxFindTaskByName(u"any", nullptr, 10), ORX_STATUS_INVALID_PARAMETER);
}

}  // namespace
}  // namespace orx::testing
