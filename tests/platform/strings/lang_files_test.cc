// The shipped string tables: what the label lookup and the task copy rely on
// holds in every language, and the built-in table is the built en.lang.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/string_table.h"

namespace orx::platform {
namespace {

StringTable ParseShipped(const std::string& name) {
  std::ifstream in(std::string(ORX_LANG_BUILD_DIR) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return StringTable::Parse(bytes.str());
}

TEST(ShippedTables, HoldAnUnbrokenRunOfDistinctLabelsAndTheCopyFormat) {
  const StringTable english = ParseShipped("en.lang");
  for (const char* name : {"en.lang", "de.lang"}) {
    const StringTable table = ParseShipped(name);
    EXPECT_EQ(table.skipped_lines(), 0u) << name;
    std::set<std::u16string_view> labels;
    uint32_t id = 1000;
    for (; !table.Find(id).empty(); ++id) {
      EXPECT_TRUE(labels.insert(table.Find(id)).second) << name << " " << id;
      EXPECT_FALSE(english.Find(id).empty()) << name << " " << id;
    }
    EXPECT_EQ(id, 1000 + labels.size());
    EXPECT_GE(labels.size(), 15u) << name;
    EXPECT_TRUE(english.Find(id).empty()) << name << " ends before English";
    // Nothing but the run and the format: a string past a gap is never
    // reached by the label lookup.
    EXPECT_EQ(table.size(), labels.size() + 1) << name;
    const std::u16string_view format = table.Find(41111);
    EXPECT_EQ(format.find(u'%'), format.find(u"%s")) << name;
    EXPECT_EQ(format.find(u'%', format.find(u"%s") + 1), std::u16string_view::npos) << name;
  }
  EXPECT_EQ(ParseShipped("de.lang").Find(41111), u"Kopie von %s");
}

TEST(BuiltinEnglishTable, IsTheShippedEnglishTable) {
  EXPECT_TRUE(BuiltinEnglishTable().SameStrings(ParseShipped("en.lang")));
  EXPECT_EQ(BuiltinEnglishTable().Find(41111), u"Copy of %s");
}

}  // namespace
}  // namespace orx::platform
