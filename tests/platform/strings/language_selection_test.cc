#include "platform/posix/language_selection.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/posix/string_table_posix.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

using Names = std::vector<std::string>;

struct CandidateCase {
  LocaleEnvironment environment;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
  Names names;
};

const CandidateCase kCandidateCases[] = {
    {{}, {}},
    {{"", "", "", "de_DE.UTF-8"}, {"de_DE", "de"}},
    {{"", "", "", "pt_BR"}, {"pt_BR", "pt"}},
    {{"", "", "", "de_DE@euro"}, {"de_DE", "de"}},
    {{"", "", "", "de.UTF-8"}, {"de"}},
    {{"", "fr_FR", "", "de_DE"}, {"fr_FR", "fr"}},
    {{"", "", "it", "de"}, {"it"}},
    {{"", "fr", "it", "de"}, {"fr"}},
    {{"", "", "", "C"}, {"en"}},
    {{"", "", "", "POSIX"}, {"en"}},
    {{"", "C.UTF-8", "", "de_DE"}, {"en"}},
    {{"pt_BR:de", "", "", "fr_FR"}, {"pt_BR", "pt", "de"}},
    {{"::de_DE:de::", "", "", "fr"}, {"de_DE", "de"}},
    {{"de", "C", "", ""}, {"en"}},  // the C locale overrides LANGUAGE
    {{"de", "", "", ""}, {"de"}},   // LANGUAGE alone still counts
    {{"de:C:fr", "", "", "it"}, {"de", "en", "fr"}},
    {{"", "", "", "../../etc/passwd"}, {}},
    {{"../x:de/..:de DE:de", "", "", ""}, {"de"}},
    {{"", "", "", "sr_RS@latin"}, {"sr_RS", "sr"}},
};

TEST(LanguageCandidates, FollowTheLocaleVariables) {
  for (const CandidateCase& c : kCandidateCases) {
    const LocaleEnvironment& e = c.environment;
    EXPECT_EQ(LanguageCandidates(e), c.names)
        << "LANGUAGE=" << e.language << " LC_ALL=" << e.lc_all << " LC_MESSAGES=" << e.lc_messages
        << " LANG=" << e.lang;
  }
}

// Selection against a tables' folder of the test's own, through the
// process environment.
class LanguageSelect : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ORX_LANGUAGE_MODULE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
      unsetenv(name);
    }
    modules_ = NewPosixLanguageModules({folder_.path(), kDefaultRereadWindow});
  }

  void Install(const std::string& name) const { folder_.Write(name, "1000=" + name + "\n"); }

  // The file the selected module reads; empty for the built-in table.
  std::string Selected() const { return modules_->Select()->path(); }
  std::string Installed(const std::string& name) const { return folder_.File(name); }

  testing::TempDataFolder folder_;
  std::unique_ptr<LanguageModules> modules_;
};

TEST_F(LanguageSelect, ModuleVariableComesFirst) {
  Install("de.lang");
  setenv("LANG", "de_DE.UTF-8", 1);
  setenv("ORX_LANGUAGE_MODULE", "/nowhere/custom.lang", 1);
  EXPECT_EQ(Selected(), "/nowhere/custom.lang");
  setenv("ORX_LANGUAGE_MODULE", "", 1);
  EXPECT_EQ(Selected(), Installed("de.lang"));
}

TEST_F(LanguageSelect, TerritoryTableIsPreferredToTheLanguageTable) {
  Install("pt.lang");
  setenv("LANG", "pt_BR.UTF-8", 1);
  EXPECT_EQ(Selected(), Installed("pt.lang"));
  Install("pt_BR.lang");
  EXPECT_EQ(Selected(), Installed("pt_BR.lang"));
}

TEST_F(LanguageSelect, FirstInstalledEntryOfLanguageWins) {
  Install("de.lang");
  Install("fr.lang");
  setenv("LANGUAGE", "xx:de:fr", 1);
  setenv("LANG", "fr_FR", 1);
  EXPECT_EQ(Selected(), Installed("de.lang"));
}

TEST_F(LanguageSelect, EnglishBeforeOtherEntriesEndsTheSearch) {
  Install("de.lang");
  setenv("LANGUAGE", "en:de", 1);
  EXPECT_EQ(Selected(), "");
  Install("en.lang");
  EXPECT_EQ(Selected(), Installed("en.lang"));
}

TEST_F(LanguageSelect, CLocaleGivesEnglish) {
  Install("de.lang");
  setenv("LANGUAGE", "de", 1);
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(Selected(), "");
  Install("en.lang");
  EXPECT_EQ(Selected(), Installed("en.lang"));
}

TEST_F(LanguageSelect, UnknownOrMissingLanguageFallsBackToBuiltinEnglish) {
  Install("de.lang");
  setenv("LANG", "xx_YY.UTF-8", 1);
  EXPECT_EQ(Selected(), "");
  EXPECT_EQ(modules_->Select()->Table()->Find(41111), u"Copy of %s");
  unsetenv("LANG");
  EXPECT_EQ(Selected(), "");
}

TEST_F(LanguageSelect, TableThatIsNotARegularFileIsPassedOver) {
  ASSERT_EQ(mkdir(Installed("de.lang").c_str(), 0700), 0);
  Install("fr.lang");
  setenv("LANGUAGE", "de:fr", 1);
  EXPECT_EQ(Selected(), Installed("fr.lang"));
}

TEST_F(LanguageSelect, SamePathGivesTheSameModule) {
  setenv("ORX_LANGUAGE_MODULE", "/a.lang", 1);
  const LanguageModule* first = modules_->Select();
  setenv("ORX_LANGUAGE_MODULE", "/b.lang", 1);
  const LanguageModule* second = modules_->Select();
  setenv("ORX_LANGUAGE_MODULE", "/a.lang", 1);
  EXPECT_EQ(modules_->Select(), first);
  EXPECT_NE(second, first);
  EXPECT_EQ(first->path(), "/a.lang");  // still valid after the switches
}

TEST(LanguageSelectWithoutTables, AlwaysGivesBuiltinEnglishUnlessAModuleIsNamed) {
  unsetenv("ORX_LANGUAGE_MODULE");
  setenv("LANG", "de_DE.UTF-8", 1);
  const auto modules = NewPosixLanguageModules({"", kDefaultRereadWindow});
  EXPECT_EQ(modules->Select()->path(), "");
}

}  // namespace
}  // namespace orx::platform
