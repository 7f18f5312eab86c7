// orxprop check: the settings files as the engine reads them, integer values
// as the library converts them, and language modules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "orxprop_run.h"

namespace orx::testing {
namespace {

TEST_F(Orxprop, CheckReportsWhatTheEngineIgnores) {
  EXPECT_EQ(Tool("check").exit_code, 0);
  folder_.Write("ormix5.ini",
                "stray=1\n[InetWD]\nUpdatePeriod=soon\nUpdatePeriod=5\nNoSuchKey=1\n"
                "just text\n[InetWD]\nUseRAS=1\n");
  const ToolRun run = Tool("check");
  EXPECT_EQ(run.exit_code, 3);
  for (const char* expected : {"line 1:", "line 3:", "reads as 0", "line 4:", "the first wins",
                               "line 5:", "NoSuchKey", "line 6:", "line 7:", "UTF-8"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
  const auto json = nlohmann::json::parse(Tool("--json check").out);
  EXPECT_EQ(json["clean"], false);
  EXPECT_EQ(json["files"][0]["findings"].size(), 6u);
}

TEST_F(Orxprop, CheckJudgesIntegersAsReadsConvertThem) {
  const struct {
    const char* stored;
    const char* finding;  // empty: clean
  } cases[] = {
      {"\"30\"", ""},  // quotes removed by every read
      {"'30'", ""},
      {"\f30", ""},  // leading white space the conversion skips
      {"-7", ""},
      {"2h", "'2h' reads as 2: only a leading number counts"},
      {"= 90 minutes", "reads as 0"},
      {"90 minutes", "reads as 90"},
      {"soon", "reads as 0"},
      {"", "reads as 0: it holds no number"},
      {"99999999999", "outside the 32-bit range and reads as 2147483647"},
  };
  for (const auto& c : cases) {
    folder_.Write("ormix5.ini", std::string("[InetWD]\nUpdatePeriod=") + c.stored + "\n");
    const ToolRun run = Tool("check");
    EXPECT_EQ(run.exit_code, *c.finding ? 3 : 0) << c.stored << "\n" << run.out;
    if (*c.finding) {
      EXPECT_NE(run.out.find(c.finding), std::string::npos) << run.out;
    }
  }
}

TEST_F(Orxprop, CheckValidatesALanguageModule) {
  folder_.Write("good.lang", "# labels\n1000=Quick scan\n1001=Full scan\n41111=Copy of %s\n");
  EXPECT_EQ(Tool("check --language-module '" + folder_.File("good.lang") + "'").exit_code, 0);
  folder_.Write("bad.lang",
                "1000=Quick\n1000 = x\n1002=after a gap\n41111=%d copies of %s\nx=y\n"
                "1001=back\\slash\n1001=again\n");
  const ToolRun run = Tool("check --language-module '" + folder_.File("bad.lang") + "'");
  EXPECT_EQ(run.exit_code, 3);
  for (const char* expected :
       {"line 2: the module reader skips", "line 5: the module reader skips", "line 6: a backslash",
        "line 7: string 1001 repeats line 6", "line 4: string 41111 must hold exactly one %s"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
  folder_.Write("gap.lang", "1000=a\n1002=c\n41111=%s\n");
  EXPECT_NE(
      Tool("check --language-module '" + folder_.File("gap.lang") + "'").out.find("stop at 1001"),
      std::string::npos);
}

TEST_F(Orxprop, AMissingOrMalformedLanguageModuleIsWarnedAbout) {
  folder_.Write("ormix5.ini", "[Scanner]\nTask1={L}\n[{L}]\nLabel=*@1000\n");
  const std::string missing = "--language-module '" + folder_.File("none.lang") + "' ";
  const ToolRun run = Tool(missing + "tasks list");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.err.find("cannot be read: labels show as references"), std::string::npos)
      << run.err;
  folder_.Write("broken.lang", "1000=Quick scan\n1001 = x\n");
  const ToolRun broken =
      Tool("--language-module '" + folder_.File("broken.lang") + "' get task.Label --task '{L}'");
  EXPECT_EQ(broken.out, "Quick scan\n");
  EXPECT_NE(broken.err.find("1 malformed line"), std::string::npos) << broken.err;
  EXPECT_EQ(Tool(missing + "get general.UpdatePeriod").err, "");  // no labels shown
}

}  // namespace
}  // namespace orx::testing
