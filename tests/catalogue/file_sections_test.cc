// The sections the catalogue places in a file, as the task-id refusals use
// them: gathered across every table, placeholders included, each once.
#include "catalogue/file_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "catalogue/property_names.h"

namespace orx::catalogue {
namespace {

TEST(SectionsOfFile, GathersEachSectionOfTheFileOnceFromEveryTable) {
  const std::vector<std::u16string_view> main = SectionsOfFile(kMainFile);
  const std::set<std::u16string_view> distinct(main.begin(), main.end());
  EXPECT_EQ(distinct.size(), main.size());
  for (const std::u16string_view section :
       {std::u16string_view(kTaskListSection), std::u16string_view(kTaskSectionPlaceholder),
        std::u16string_view(u"InetWD"), std::u16string_view(u"Communication")}) {
    EXPECT_TRUE(distinct.contains(section)) << std::string(section.begin(), section.end());
  }
  // Sections of other files belong to those files only.
  EXPECT_FALSE(distinct.contains(u"EmailScanner"));
  EXPECT_EQ(SectionsOfFile(u"EmailTarve.ini").front(), u"EmailScanner");
  EXPECT_TRUE(SectionsOfFile(u"ORMIX5.INI").empty());  // file names compare exactly
  EXPECT_TRUE(SectionsOfFile(u"ProviderINI") == std::vector<std::u16string_view>{u"Common"});
}

}  // namespace
}  // namespace orx::catalogue
