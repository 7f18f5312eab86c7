#include "platform/posix/language_selection.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/string_table_posix.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

struct CandidateCase {
  LocaleEnvironment environment;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
  std::vector<std::string> names;
};

// clang-format off
const CandidateCase kCandidateCases[] = {
    {{},                                 {}},
    {{"", "", "", "de_DE.UTF-8"},        {"de_DE", "de"}},
    {{"", "", "", "sr_RS@latin"},        {"sr_RS", "sr"}},
    {{"", "fr_FR", "it", "de_DE"},       {"fr_FR", "fr"}},
    {{"", "", "it", "de"},               {"it"}},
    {{"", "", "", "POSIX"},              {"en"}},
    {{"de", "C.UTF-8", "", ""},          {"en"}},  // the C locale overrides LANGUAGE
    {{"de", "", "", ""},                 {"de"}},  // LANGUAGE alone still counts
    {{"pt_BR::de:C:de", "", "", "fr"},   {"pt_BR", "pt", "de", "en"}},
    {{"", "", "", "../../etc/passwd"},   {}},
    {{"../x:de/..:de DE:de", "", "", ""}, {"de"}},
};
// clang-format on

TEST(LanguageCandidates, FollowTheLocaleVariables) {
  for (const CandidateCase& c : kCandidateCases) {
    const LocaleEnvironment& e = c.environment;
    EXPECT_EQ(LanguageCandidates(e), c.names)
        << e.language << "|" << e.lc_all << "|" << e.lc_messages << "|" << e.lang;
  }
}

struct SelectCase {
  std::vector<std::string> installed;  // a name ending in '/' is a directory
  std::vector<std::pair<const char*, const char*>> environment;
  std::string selected;  // "" for the built-in table
};

// clang-format off
const SelectCase kSelectCases[] = {
    {{"de.lang"}, {{"LANG", "de_DE"}, {"ORX_LANGUAGE_MODULE", "/x.lang"}}, "/x.lang"},
    {{"de.lang"}, {{"LANG", "de_DE"}, {"ORX_LANGUAGE_MODULE", ""}},        "de.lang"},
    {{"pt.lang", "pt_BR.lang"}, {{"LANG", "pt_BR.UTF-8"}},                 "pt_BR.lang"},
    {{"de.lang", "fr.lang"}, {{"LANGUAGE", "xx:de:fr"}, {"LANG", "fr_FR"}}, "de.lang"},
    {{"de.lang"}, {{"LANGUAGE", "en:de"}},                                 ""},
    {{"de.lang", "en.lang"}, {{"LANGUAGE", "en:de"}},                      "en.lang"},
    {{"de.lang"}, {{"LANGUAGE", "de"}, {"LC_ALL", "C"}},                   ""},
    {{"de.lang"}, {{"LANG", "xx_YY.UTF-8"}},                               ""},
    {{"de.lang/", "fr.lang"}, {{"LANGUAGE", "de:fr"}},                     "fr.lang"},
};
// clang-format on

TEST(LanguageSelect, ChoosesByVariablesAndInstalledTables) {
  for (const SelectCase& c : kSelectCases) {
    testing::TempDataFolder folder;
    for (const std::string& name : c.installed) {
      if (name.ends_with('/')) {
        ASSERT_EQ(mkdir(folder.File(name).c_str(), 0700), 0);
      } else {
        folder.Write(name, "1000=" + name + "\n");
      }
    }
    for (const char* name : {"ORX_LANGUAGE_MODULE", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
      unsetenv(name);
    }
    for (const auto& [name, value] : c.environment) setenv(name, value, 1);
    const auto modules = NewPosixLanguageModules(folder.path());
    const std::string expected =
        c.selected.empty() || c.selected.starts_with('/') ? c.selected : folder.File(c.selected);
    EXPECT_EQ(modules->Select()->path(), expected) << &c - kSelectCases;
  }
}

// Handles stay valid and stable however often the choice changes.
TEST(LanguageSelect, SamePathGivesTheSameModuleForGood) {
  const auto modules = NewPosixLanguageModules("");
  setenv("ORX_LANGUAGE_MODULE", "/a.lang", 1);
  const LanguageModule* first = modules->Select();
  setenv("ORX_LANGUAGE_MODULE", "/b.lang", 1);
  EXPECT_NE(modules->Select(), first);
  setenv("ORX_LANGUAGE_MODULE", "/a.lang", 1);
  EXPECT_EQ(modules->Select(), first);
  EXPECT_EQ(first->path(), "/a.lang");
}

}  // namespace
}  // namespace orx::platform
