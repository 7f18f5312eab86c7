// Task creation in both modes, the deleted mark, removal of a definition and
// the lookup by name, through the public header: which slot a creation
// takes, what counts as listed, what a refusal leaves, and failed writes
// reported with the system's error number.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

class TaskCreate : public DataFolderTest {
 protected:
  std::u16string CreateNew() {
    char16_t id[64] = u"stale";
    uint32_t length = 64;
    EXPECT_EQ(orxCreateTask(id, &length), 0);
    EXPECT_EQ(length, 38u);
    return id;
  }
};

TEST_F(TaskCreate, TakesTheFirstFreeSlotInEitherMode) {
  const struct {
    const char* what;
    std::string scanner;
    std::string expected_line;  // the slot key the new id must be written under
  } cases[] = {
      {"empty list", "", "Task1="},
      {"gap in the middle", "[Scanner]\nTask1={A}\nTask3={C}\n", "Task2="},
      {"gap at slot 1", "[Scanner]\nTask2={B}\n", "Task1="},
      {"empty value is free", "[Scanner]\nTask1={A}\nTask2=\nTask3={C}\n", "Task2="},
      {"empty quotes are free", "[Scanner]\nTask1={A}\nTask2=\"\"\n", "Task2="},
      {"keys match in any case", "[Scanner]\nTASK1={A}\ntask2={B}\n", "Task3="},
      {"a leading zero names no slot", "[Scanner]\nTask01={A}\n", "Task1="},
      {"the first of two keys counts", "[Scanner]\nTask1=\nTask1={A}\n", "Task1="},
      {"other sections play no part", "[Other]\nTask1={A}\n[Scanner]\nTask1={B}\n", "Task2="},
      {"a later Scanner is not searched", "[Scanner]\nTask1={A}\n[Scanner]\nTask2={B}\n", "Task2="},
  };
  for (const bool registration : {false, true}) {
    for (const auto& c : cases) {
      folder_.Write("ormix5.ini", c.scanner);
      std::u16string id = u"{REGISTERED}";
      if (registration) {
        ASSERT_EQ(orxCreateTask(id.data(), nullptr), 0) << c.what;
      } else {
        id = CreateNew();
      }
      const std::string file = folder_.Read("ormix5.ini");
      EXPECT_NE(file.find(c.expected_line + Narrow(id) + "\n"), std::string::npos)
          << c.what << (registration ? " (registration)\n" : "\n") << file;
    }
  }
}

TEST_F(TaskCreate, NewIdIsAFreshGuidInRegistryForm) {
  const std::u16string first = CreateNew();
  const std::u16string second = CreateNew();
  EXPECT_TRUE(IsGuidText(first)) << Narrow(first);
  EXPECT_TRUE(IsGuidText(second)) << Narrow(second);
  EXPECT_NE(first, second);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")),
            (std::map<int, std::string>{{1, Narrow(first)}, {2, Narrow(second)}}));
}

TEST_F(TaskCreate, CapacityBelow39IsRefusedAndListsNothing) {
  for (const uint32_t capacity : {0u, 1u, 38u}) {
    char16_t id[64] = u"stale";
    uint32_t length = capacity;
    EXPECT_EQ(orxCreateTask(id, &length), ORX_STATUS_INSUFFICIENT_BUFFER) << capacity;
    EXPECT_EQ(length, 38u);
    EXPECT_EQ(id[0], u'\0');
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  char16_t id[39];
  uint32_t length = 39;
  EXPECT_EQ(orxCreateTask(id, &length), 0);
  EXPECT_EQ(std::u16string(id).size(), 38u);
}

TEST_F(TaskCreate, RegistrationOfAListedIdWritesNothing) {
  const struct {
    const char* what;
    std::string scanner;
    std::u16string id;
  } cases[] = {
      {"same id", "Task1={ABC}\n", u"{ABC}"},
      {"other letter case", "Task1={abc-Äß}\n", u"{ABC-äß}"},
      {"value of another key", "RawBootTimeScan=1\n", u"1"},
      {"quoted value", "Task1=\"{ABC}\"\n", u"{ABC}"},
      {"value of an empty key", "={ABC}\n", u"{ABC}"},
      {"listed in a gap's neighbour", "Task1={A}\nTask5={ABC}\n", u"{abc}"},
  };
  for (const auto& c : cases) {
    const std::string file = "[Scanner]\n" + c.scanner;
    folder_.Write("ormix5.ini", file);
    std::u16string id = c.id;
    EXPECT_EQ(orxCreateTask(id.data(), nullptr), 0) << c.what;
    EXPECT_EQ(folder_.Read("ormix5.ini"), file) << c.what;
  }
}

TEST_F(TaskCreate, ListedTestSeesTheWholeScannerSection) {
  // Far more than 10240 units of other keys before the id.
  std::string file = "[Scanner]\n";
  for (int i = 0; i < 400; ++i)
    file += "Filler" + std::to_string(i) + "=" + std::string(60, 'x') + "\n";
  file += "Task1={LATE}\n";
  folder_.Write("ormix5.ini", file);
  std::u16string id = u"{late}";
  EXPECT_EQ(orxCreateTask(id.data(), nullptr), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
}

TEST_F(TaskCreate, KeyNamesAndPartsOfValuesDoNotCountAsListed) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\n{B}=x\nTask3={C} \n");
  for (const char16_t* text : {u"Task1", u"{B}", u"{A"}) {
    std::u16string id = text;
    EXPECT_EQ(orxCreateTask(id.data(), nullptr), 0);
  }
  const std::map<int, std::string> slots = SlotsInFile(folder_.Read("ormix5.ini"));
  EXPECT_EQ(slots.at(2), "Task1");
  EXPECT_EQ(slots.at(4), "{B}");
  EXPECT_EQ(slots.at(5), "{A");
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
  EXPECT_EQ(length, 39u);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
}

TEST_F(TaskCreate, FullListFailsWithoutReplacingAnyTask) {
  std::string file = "[Scanner]\n";
  for (int slot = 1; slot <= 10000; ++slot) file += "Task" + std::to_string(slot) + "={T}\n";
  folder_.Write("ormix5.ini", file);
  char16_t id[64] = u"stale";
  uint32_t length = 64;
  EXPECT_EQ(orxCreateTask(id, &length), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(id[0], u'\0');
  std::u16string registered = u"{NEW}";
  EXPECT_EQ(orxCreateTask(registered.data(), nullptr), ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);

  // Slot 10000 freed: the search finds it again.
  file.replace(file.find("Task10000={T}"), 13, "Task10000=");
  folder_.Write("ormix5.ini", file);
  EXPECT_EQ(orxCreateTask(registered.data(), nullptr), 0);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")).at(10000), "{NEW}");
}

TEST_F(TaskCreate, FailedWritesReturnTheSystemsError) {
  setenv("ORX_DATA_FOLDER", (folder_.path() + "/missing").c_str(), 1);
  orxPropertyInitLibrary();
  char16_t id[64] = u"stale";
  uint32_t length = 64;
  EXPECT_EQ(orxCreateTask(id, &length), 3);  // ERROR_PATH_NOT_FOUND
  EXPECT_EQ(id[0], u'\0');
  std::u16string registered = u"{NEW}";
  EXPECT_EQ(orxCreateTask(registered.data(), nullptr), 3);
  EXPECT_EQ(orxDeleteTask(u"{NEW}"), 3);
  // Nothing to remove from a file that does not exist: not a failure.
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task1", u"{NEW}"), 0);
}

TEST_F(TaskCreate, WritesRefusedByTheSystemAreReported) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\nTask2={B}\n[{B}]\nJob=Scan\n");
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_all |
                                                   std::filesystem::perms::others_read |
                                                   std::filesystem::perms::others_exec);
  const std::string before = folder_.Read("ormix5.ini");
  EXPECT_EQ(RunAsNobody([] {
              char16_t id[64] = u"stale";
              uint32_t length = 64;
              if (orxCreateTask(id, &length) != 5 || id[0] != u'\0') return 1;
              if (orxDeleteTask(u"{A}") != 5) return 2;
              if (orxDeleteTaskDefinition(u"Task2", u"{B}") != 5) return 3;
              // Registering a listed id writes nothing, so nothing can fail.
              char16_t listed[] = u"{b}";
              if (orxCreateTask(listed, nullptr) != 0) return 4;
              return 0;
            }),
            0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), before);
}

TEST_F(TaskCreate, DeleteMarksTheTaskAndKeepsItListed) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={A}\n");
  EXPECT_EQ(orxDeleteTask(u"{A}"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[Scanner]\nTask1={A}\n[{A}]\nDeleted=1\n");
  int32_t deleted = 0;
  EXPECT_EQ(orxGetTaskPropertyInt(u"{A}", 0x20020, &deleted), 0);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(orxDeleteTask(nullptr), ORX_STATUS_INVALID_PARAMETER);
}

TEST_F(TaskCreate, DeleteDefinitionFreesTheSlotAndRemovesTheSection) {
  folder_.Write("ormix5.ini",
                "[Scanner]\nTask1={A}\nTask2={B}\nTask3={C}\n[{B}]\nJob=Scan\n[{C}]\nJob=Update\n");
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task2", u"{B}"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[Scanner]\nTask1={A}\nTask3={C}\n[{C}]\nJob=Update\n");
  std::u16string id = CreateNew();
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")).at(2), Narrow(id));

  // A slot key that does not exist still lets the section go.
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task9", u"{C}"), 0);
  EXPECT_EQ(folder_.Read("ormix5.ini").find("[{C}]"), std::string::npos);

  EXPECT_EQ(orxDeleteTaskDefinition(nullptr, u"{A}"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task1", nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")).at(1), "{A}");
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
