// Task ids that must not be written through: ids that reach a section the
// library keeps in its main file (the task list, the task placeholder, the
// general settings' sections), in any spelling the engine would take for
// that section, and ids no section can be written under. Every refusal
// leaves the file's bytes as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "orxProperty.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

class TaskIdRefusal : public DataFolderTest {};

const std::string kFile =
    "[Scanner]\nTask1={A}\nTask2=Scanner\nRawBootTimeScan=0\n"
    "[InetWD]\nUpdatePeriod=30\n[TaskGUID]\nLabel=L\n[{A}]\nLabel=Mine\n";

TEST_F(TaskIdRefusal, IdsNamingLibrarySectionsAreRefusedByEveryWritingExport) {
  const std::u16string ids[] = {u"Scanner",      u"SCANNER", u"scanner ", u" Scanner\t",
                                u"\u017Fcanner", u"InetWD",  u"TaskGUID", u"communication"};
  const struct {
    const char* name;
    std::function<int32_t(const char16_t*)> call;
  } exports[] = {
      {"register",
       [](const char16_t* id) {
         std::u16string buffer = id;
         return orxCreateTask(buffer.data(), nullptr);
       }},
      {"delete", [](const char16_t* id) { return orxDeleteTask(id); }},
      {"delete definition",
       [](const char16_t* id) { return orxDeleteTaskDefinition(u"Task2", id); }},
      {"copy source",
       [](const char16_t* id) {
         char16_t copy[39];
         uint32_t length = 39;
         return orxCopyTaskDefinition(id, copy, &length);
       }},
      {"set", [](const char16_t* id) { return orxSetTaskProperty(id, 0x20000, u"x"); }},
      {"set comment", [](const char16_t* id) { return orxSetTaskProperty(id, 0x20001, u"x"); }},
      {"set integer", [](const char16_t* id) { return orxSetTaskPropertyInt(id, 0x20020, 1); }},
  };
  folder_.Write("ormix5.ini", kFile);
  for (const auto& e : exports) {
    for (const std::u16string& id : ids) {
      EXPECT_EQ(e.call(id.c_str()), ORX_STATUS_INVALID_PARAMETER) << e.name << " " << Narrow(id);
      EXPECT_EQ(folder_.Read("ormix5.ini"), kFile) << e.name << " " << Narrow(id);
    }
  }
  // Other ids, spellings the engine keeps apart included, still work.
  EXPECT_EQ(orxSetTaskProperty(u"Scanner2", 0x20000, u"x"), 0);
  EXPECT_EQ(orxSetTaskProperty(u"Scan ner", 0x20000, u"x"), 0);
  EXPECT_EQ(orxDeleteTask(u"{A}"), 0);
}

TEST_F(TaskIdRefusal, ReadsThroughALibrarySectionStillAnswer) {
  folder_.Write("ormix5.ini", kFile);
  char16_t buffer[16];
  EXPECT_EQ(orxGetTaskProperty(u"taskguid", 0x20000, buffer, 16), 0);
  EXPECT_EQ(std::u16string(buffer), u"L");
  int32_t value = 0;
  EXPECT_EQ(orxGetTaskPropertyInt(u"Scanner", 0x20020, &value), 0);
  EXPECT_EQ(value, 0);
}

TEST_F(TaskIdRefusal, RegistrationRefusesIdsNoSectionCanBeWrittenUnder) {
  folder_.Write("ormix5.ini", kFile);
  const struct {
    std::u16string id;
    int32_t status;
  } cases[] = {
      {u"{A]B}", ORX_STATUS_INVALID_PARAMETER},
      {u"]", ORX_STATUS_INVALID_PARAMETER},
      {u"{A}\r", ORX_STATUS_INVALID_PARAMETER},
      {u"{A}\n[Admin]", ORX_STATUS_INVALID_PARAMETER},
      {u"{\xD800}", 1113},  // a lone surrogate cannot be encoded
  };
  for (const auto& c : cases) {
    std::u16string id = c.id;
    EXPECT_EQ(orxCreateTask(id.data(), nullptr), c.status) << Narrow(c.id);
    EXPECT_EQ(folder_.Read("ormix5.ini"), kFile) << Narrow(c.id);
  }
}

TEST_F(TaskIdRefusal, DefinitionOfAnUnnamableListedIdLosesItsSlot) {
  const std::string file = "[Scanner]\nTask1={A}\nTask2={A]B}\nTask3={C}\n[{A]B}]\nJob=Scan\n";
  folder_.Write("ormix5.ini", file);
  // A slot that does not list the id: nothing to remove, the name refused.
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task1", u"{A]B}"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxDeleteTaskDefinition(u"Task9", u"{A]B}"), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
  // The enumeration hands the id out with its slot; giving both back removes it.
  const std::vector<Delivery> listed = Walk(0);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(orxDeleteTaskDefinition(listed[1].key.c_str(), listed[1].id.c_str()), 0);
  EXPECT_EQ(SlotsInFile(folder_.Read("ormix5.ini")),
            (std::map<int, std::string>{{1, "{A}"}, {3, "{C}"}}));
  EXPECT_NE(folder_.Read("ormix5.ini").find("[{A]B}]\nJob=Scan\n"), std::string::npos);
}

}  // namespace
}  // namespace orx::testing
