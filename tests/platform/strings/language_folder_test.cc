// Where the installed tables are looked for: beside the library when the
// install carries them there (a prefix moved after configuring), else the
// folder fixed at build time.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/posix/string_table_posix.h"
#include "support/temp_data_folder.h"

namespace orx::platform {
namespace {

TEST(LanguageFolder, PrefersTheTablesBesideTheLibrary) {
  orx::testing::TempDataFolder root;
  const std::string lib = root.File("prefix/lib");
  std::filesystem::create_directories(lib);
  std::filesystem::create_directories(root.File("prefix/share/orxProperty/lang"));
  const std::string relative = "../share/orxProperty/lang";
  const std::string beside = lib + "/" + relative;
  struct Case {
    std::string library_folder;
    std::string relative;
    std::string expected;
  };
  const Case cases[] = {
      {lib, relative, beside},
      {root.File("elsewhere/lib"), relative, "/configured/lang"},  // nothing beside it
      {lib, "../share/other", "/configured/lang"},
      {"", relative, "/configured/lang"},  // the loader could not say
      {lib, "", "/configured/lang"},       // the build named no relative path
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageFolderFor(c.library_folder, c.relative, "/configured/lang"), c.expected)
        << c.library_folder << " + " << c.relative;
  }
}

}  // namespace
}  // namespace orx::platform
