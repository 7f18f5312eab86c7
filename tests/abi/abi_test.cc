// The shared library as a C caller sees it: its dynamic symbol table and a
// few calls made from C.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "support/temp_data_folder.h"

extern "C" int orx_c_smoke(void);

namespace {

std::set<std::string> ExportedFunctions() {
  std::set<std::string> names;
  const std::string command =
      std::string("nm -D --defined-only --format=posix '") + ORX_SHARED_LIBRARY + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return names;
  char line[512];
  while (fgets(line, sizeof line, pipe) != nullptr) {
    char name[256];
    char type;
    if (sscanf(line, "%255s %c", name, &type) != 2 || type == 'A') continue;
    std::string symbol = name;
    names.insert(symbol.substr(0, symbol.find('@')));  // drop the version suffix
  }
  pclose(pipe);
  return names;
}

TEST(Abi, ExportsExactlyTheTwentyThreeFunctions) {
  const std::set<std::string> expected = {
      "orxPropertyInitLibrary",  "orxPropertyFreeLibrary",
      "orxGetProperty",          "orxGetPropertyInt",
      "orxGetTaskProperty",      "orxGetTaskPropertyInt",
      "orxGetProviderProperty",  "orxGetProviderPropertyInt",
      "orxSetProperty",          "orxSetPropertyInt",
      "orxSetTaskProperty",      "orxSetTaskPropertyInt",
      "orxSetProviderProperty",  "orxSetProviderPropertyInt",
      "orxCreateTask",           "orxDeleteTask",
      "orxDeleteTaskDefinition", "orxFindTaskByName",
      "orxGetFirstTask",         "orxGetNextTask",
      "orxCloseQuery",           "orxCopyTaskDefinition",
      "orxShrinkTasks",
  };
  ASSERT_EQ(expected.size(), 23u);
  EXPECT_EQ(ExportedFunctions(), expected);
}

TEST(Abi, CCallerCreatesAndListsATask) {
  orx::testing::TempDataFolder folder;
  EXPECT_EQ(orx_c_smoke(), 0);
}

}  // namespace
