// The task copy through the public header: all 46 properties in catalogue
// order, the label through the localized format (which is never treated as
// a printf format), label references on both sides, refusals and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "orxProperty.h"
#include "support/child_process.h"
#include "support/language_module.h"
#include "support/temp_data_folder.h"
#include "tasks/task_list_files.h"

namespace orx::testing {
namespace {

struct TaskKey {
  std::string key;
  std::string default_value;
};

// The 46 task properties in identifier order, from the catalogue listing the
// catalogue's own tests check.
std::vector<TaskKey> TaskKeys() {
  std::vector<TaskKey> keys;
  std::ifstream listing(ORX_TEST_DATA_DIR "/catalogue.tsv");
  for (std::string line; std::getline(listing, line);) {
    std::istringstream fields(line);
    std::string id, file, section, key, default_value;
    std::getline(fields, id, '\t');
    std::getline(fields, file, '\t');
    std::getline(fields, section, '\t');
    std::getline(fields, key, '\t');
    std::getline(fields, default_value);
    const unsigned long number = std::stoul(id, nullptr, 16);
    if (number >= 0x20000 && number <= 0x2002D) keys.push_back({key, default_value});
  }
  return keys;
}

// The lines of section `id`, in file order.
std::vector<std::string> SectionLines(const std::string& file, const std::string& id) {
  std::vector<std::string> lines;
  const size_t header = file.find("[" + id + "]\n");
  if (header == std::string::npos) return lines;
  size_t start = header + id.size() + 3;
  while (start < file.size() && file[start] != '[') {
    const size_t end = file.find('\n', start);
    lines.push_back(file.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

class TaskCopy : public DataFolderTest {
 protected:
  void SetUp() override { UseModule("41111=Copy of %s\n"); }

  void UseModule(const std::string& extra) {
    UseLanguageModule(folder_.path(), "en.lang",
                      "1000=Quick scan\n1001=Full scan\n1002=Folder scan\n" + extra);
  }

  std::string Copy(const char16_t* source, int32_t expected_status = 0) {
    char16_t id[39] = u"stale";
    uint32_t length = 39;
    EXPECT_EQ(orxCopyTaskDefinition(source, id, &length), expected_status);
    if (expected_status != 0) {
      EXPECT_EQ(id[0], u'\0');
      return "";
    }
    EXPECT_EQ(length, 38u);
    EXPECT_TRUE(IsGuidText(id));
    return Narrow(id);
  }

  std::string Property(const std::string& task, uint32_t id) {
    char16_t buffer[2000];
    EXPECT_EQ(orxGetTaskProperty(Widen(task).c_str(), id, buffer, 2000), 0);
    return Narrow(buffer);
  }
};

TEST_F(TaskCopy, CopyOfAMissingTaskHoldsEveryDefaultInCatalogueOrder) {
  folder_.Write("ormix5.ini", ScannerSection({{1, "{A}"}, {3, "{C}"}}));
  const std::string copy = Copy(u"{NOWHERE}");
  const std::string file = folder_.Read("ormix5.ini");
  EXPECT_EQ(SlotsInFile(file).at(2), copy);
  const std::vector<TaskKey> keys = TaskKeys();
  ASSERT_EQ(keys.size(), 46u);
  std::vector<std::string> expected = {"Label=Copy of ????"};
  for (size_t i = 1; i < keys.size(); ++i)
    expected.push_back(keys[i].key + "=" + keys[i].default_value);
  EXPECT_EQ(SectionLines(file, copy), expected);
}

TEST_F(TaskCopy, EveryStoredValueIsCopiedDeletedAndOtherMarksIncluded) {
  const std::vector<TaskKey> keys = TaskKeys();
  std::string section = "[{SRC}]\n";
  for (size_t i = 0; i < keys.size(); ++i) {
    section += keys[i].key + "=value " + std::to_string(i) + "\n";
  }
  folder_.Write("ormix5.ini", ScannerSection({{1, "{SRC}"}}) + section);
  const std::string copy = Copy(u"{SRC}");
  const std::vector<std::string> lines = SectionLines(folder_.Read("ormix5.ini"), copy);
  ASSERT_EQ(lines.size(), 46u);
  EXPECT_EQ(lines[0], "Label=Copy of value 0");
  for (size_t i = 1; i < keys.size(); ++i) {
    EXPECT_EQ(lines[i], keys[i].key + "=value " + std::to_string(i));
  }
}

TEST_F(TaskCopy, LabelsAndCommentsFollowTheLabelReferenceRules) {
  const struct {
    const char* what;
    std::string source;
    std::string label_line;
    std::string comment_line;
  } cases[] = {
      {"localized label and comment", "Label=*@1002\nComment=*@1001\n", "Label=Copy of Folder scan",
       "Comment=*@1001"},
      {"plain comment equal to a localized string", "Label=Mine\nComment=Full scan\n",
       "Label=Copy of Mine", "Comment=*@1001"},
      {"plain texts", "Label=Mine\nComment=Other\n", "Label=Copy of Mine", "Comment=Other"},
      {"case matters", "Label=Mine\nComment=full scan\n", "Label=Copy of Mine",
       "Comment=full scan"},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", "[Scanner]\nTask1={SRC}\n[{SRC}]\n" + c.source);
    const std::string copy = Copy(u"{SRC}");
    const std::vector<std::string> lines = SectionLines(folder_.Read("ormix5.ini"), copy);
    ASSERT_GE(lines.size(), 2u) << c.what;
    EXPECT_EQ(lines[0], c.label_line) << c.what;
    EXPECT_EQ(lines[1], c.comment_line) << c.what;
  }
  // A formatted label equal to a localized string is stored as its reference.
  UseModule("41111=%s\n");
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={SRC}\n[{SRC}]\nLabel=*@1000\n");
  const std::string copy = Copy(u"{SRC}");
  EXPECT_EQ(SectionLines(folder_.Read("ormix5.ini"), copy).at(0), "Label=*@1000");
}

TEST_F(TaskCopy, CopyLabelFormatIsNeverAPrintfFormat) {
  const struct {
    std::string format_line;  // "" for a module without string 41111
    std::string label;
  } cases[] = {
      {"41111=Copy of %s", "Copy of Src"},
      {"41111=%s", "Src"},
      {"41111=%n%d%x%p %s", "%n%d%x%p Src"},
      {"41111=%s and %s", "Src and %s"},
      {"41111=100%% %s", "100% Src"},
      {"41111=%%s then %s", "%s then Src"},
      {"41111=%%%s", "%Src"},
      {"41111=%S %ls %s", "%S %ls Src"},
      {"41111=no placeholder", "no placeholder"},
      {"41111=ends in %", "ends in %"},
      {"41111=%s" + std::string(120, 'x'), "Src" + std::string(97, 'x')},  // 99 units loaded
      {"", ""},
  };
  for (const auto& c : cases) {
    UseModule(c.format_line + "\n");
    folder_.Write("ormix5.ini", "[Scanner]\nTask1={SRC}\n[{SRC}]\nLabel=Src\n");
    EXPECT_EQ(Property(Copy(u"{SRC}"), 0x20000), c.label) << c.format_line;
  }
}

TEST_F(TaskCopy, ValuesTravelAsAPropertyReadReturnsThem) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={SRC}\n[{SRC}]\nJob=\"  padded  \"\nScanAreas=" +
                                  std::string(1500, 'a') + "\n");
  const std::string copy = Copy(u"{SRC}");
  EXPECT_EQ(Property(copy, 0x20002), "  padded  ");
  EXPECT_EQ(Property(copy, 0x20003), std::string(1023, 'a'));  // cut by the 1024-unit buffer
}

TEST_F(TaskCopy, RefusalsAndFailuresLeaveTheFileAsItWas) {
  char16_t id[39] = u"stale";
  for (const uint32_t given : {0u, 38u}) {
    uint32_t length = given;
    EXPECT_EQ(orxCopyTaskDefinition(u"{SRC}", id, &length), ORX_STATUS_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, given);  // not touched
  }
  EXPECT_EQ(std::u16string(id), u"stale");
  uint32_t length = 39;
  EXPECT_EQ(orxCopyTaskDefinition(nullptr, id, &length), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCopyTaskDefinition(u"{SRC}", nullptr, &length), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_EQ(orxCopyTaskDefinition(u"{SRC}", id, nullptr), ORX_STATUS_INVALID_PARAMETER);
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));

  std::string file = "[Scanner]\n";
  for (int slot = 1; slot <= 10000; ++slot) file += "Task" + std::to_string(slot) + "={SRC}\n";
  folder_.Write("ormix5.ini", file);
  Copy(u"{SRC}", ORX_STATUS_NO_MORE_ITEMS);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);

  file = "[Scanner]\nTask1={SRC}\n[{SRC}]\nJob=Update\n";
  folder_.Write("ormix5.ini", file);
  std::filesystem::permissions(
      folder_.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
      std::filesystem::perm_options::add);
  EXPECT_EQ(RunAsNobody([] {
              char16_t copy[39] = u"stale";
              uint32_t capacity = 39;
              const int32_t status = orxCopyTaskDefinition(u"{SRC}", copy, &capacity);
              return status == 5 && copy[0] == u'\0' ? 0 : 1;  // access denied, no id
            }),
            0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), file);
}

}  // namespace
}  // namespace orx::testing
