// The shipped string tables: what the label lookup and the task copy rely on
// holds in every language, and the built-in table is lang/en.lang.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/string_table.h"

namespace orx::platform {
namespace {

StringTable ParseShipped(const std::string& name) {
  std::ifstream in(std::string(ORX_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return StringTable::Parse(bytes.str());
}

// Number of strings in the unbroken run from 1000.
uint32_t LabelRunLength(const StringTable& table) {
  uint32_t id = 1000;
  while (!table.Find(id).empty()) ++id;
  return id - 1000;
}

const char* const kShipped[] = {"en.lang", "de.lang"};

TEST(ShippedTables, HoldAnUnbrokenLabelRunAndTheCopyFormat) {
  for (const char* name : kShipped) {
    const StringTable table = ParseShipped(name);
    EXPECT_EQ(table.skipped_lines(), 0u) << name;
    const uint32_t run = LabelRunLength(table);
    EXPECT_GE(run, 15u) << name;
    EXPECT_LE(run, 20u) << name;
    // Nothing besides the run and the format: a stray string past a gap
    // would never be reached by the label lookup.
    EXPECT_EQ(table.size(), run + 1) << name;

    const std::u16string_view format = table.Find(41111);
    const size_t conversion = format.find(u"%s");
    ASSERT_NE(conversion, std::u16string_view::npos) << name;
    EXPECT_EQ(format.find(u'%', conversion + 2), std::u16string_view::npos) << name;
    EXPECT_EQ(format.find(u'%'), conversion) << name;
  }
}

TEST(ShippedTables, LabelsAreDistinct) {
  for (const char* name : kShipped) {
    const StringTable table = ParseShipped(name);
    std::set<std::u16string_view> seen;
    for (uint32_t id = 1000; id < 1000 + LabelRunLength(table); ++id) {
      EXPECT_TRUE(seen.insert(table.Find(id)).second) << name << " " << id;
    }
  }
}

TEST(ShippedTables, GermanTranslatesEveryEnglishString) {
  const StringTable english = ParseShipped("en.lang");
  const StringTable german = ParseShipped("de.lang");
  EXPECT_EQ(LabelRunLength(german), LabelRunLength(english));
  for (uint32_t id = 1000; id < 1000 + LabelRunLength(english); ++id) {
    EXPECT_NE(german.Find(id), english.Find(id)) << id;
  }
  EXPECT_EQ(german.Find(41111), u"Kopie von %s");
  EXPECT_EQ(english.Find(41111), u"Copy of %s");
}

TEST(BuiltinEnglishTable, IsTheShippedEnglishTable) {
  EXPECT_TRUE(BuiltinEnglishTable().SameStrings(ParseShipped("en.lang")));
  EXPECT_EQ(BuiltinEnglishTable().Find(1000), u"Quick scan");
}

}  // namespace
}  // namespace orx::platform
