// orxprop run as a subprocess on temporary data folders: each verb's output
// in text and JSON, the exit codes, and refusals that change no file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "support/temp_data_folder.h"

namespace orx::testing {
namespace {

struct ToolRun {
  int exit_code;
  std::string out;
  std::string err;
};

class Orxprop : public DataFolderTest {
 protected:
  // Runs the tool with `arguments` (shell words) on this test's folder.
  ToolRun Tool(const std::string& arguments) {
    const std::string out = folder_.File("stdout.txt"), err = folder_.File("stderr.txt");
    const std::string command = std::string("'") + ORX_ORXPROP_PATH + "' --data-folder '" +
                                folder_.path() + "' " + arguments + " >'" + out + "' 2>'" + err +
                                "' </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder_.Read("stdout.txt"),
            folder_.Read("stderr.txt")};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
  }
  nlohmann::json Json(const std::string& arguments) {
    const ToolRun run = Tool("--json " + arguments);
    EXPECT_EQ(run.exit_code, 0) << arguments << "\n" << run.err;
    return nlohmann::json::parse(run.out, nullptr, false);
  }
};

TEST_F(Orxprop, GetPrintsStoredValuesOrDefaults) {
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "240\n");
  EXPECT_EQ(Tool("get 0x10013 --int").out, "240\n");
  EXPECT_EQ(Tool("set general.UpdatePeriod 120").exit_code, 0);
  EXPECT_EQ(Tool("get GENERAL.updateperiod").out, "120\n");
  const auto json = Json("get task.SchedDays --task '{T}'");
  EXPECT_EQ(json["id"], "0x20019");
  EXPECT_EQ(json["name"], "task.SchedDays");
  EXPECT_EQ(json["value"], "127");
  EXPECT_EQ(Json("get provider.VirusAction --provider WebTarve --int")["value"], 0);
  EXPECT_EQ(Json("get provider.VirusAction --provider WebTarve")["value"], "abort");
}

TEST_F(Orxprop, ExitCodesTellUsageFromRefusal) {
  const struct {
    const char* arguments;
    int exit_code;
    const char* message;
  } cases[] = {
      {"frobnicate", 2, ""},
      {"get", 2, ""},
      {"get --bogus general.SMTPPort", 2, ""},
      {"get 0xZZ", 2, "hexadecimal"},
      {"get 0x1007C", 2, "no property"},
      {"get nosuch.Key", 2, "class"},
      {"get general.NoSuchKey", 2, "no property"},
      {"get general.IgnoreAddress", 2, "0x10049"},
      {"get provider.NetAlert", 1, "--provider"},
      {"set general.UpdatePeriod abc --int", 2, "integer"},
      {"set general.SMTPPort \"$(printf '25\\n[x]')\"", 1, "87 ERROR_INVALID_PARAMETER"},
      {"set provider.NetAlert x --provider ../evil", 1, "87"},
      {"tasks copy '{NOT-LISTED}'", 1, "no listed task"},
      {"list nosuch", 2, "class"},
      {"get general.SMTPPort --task a --provider b", 2, ""},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments << "\n" << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << "\n" << run.err;
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  EXPECT_FALSE(folder_.Exists("evil.ini"));
}

TEST_F(Orxprop, MissingDataFolderIsRefused) {
  const ToolRun run = Tool("--data-folder '" + folder_.File("none") + "' get general.SMTPPort");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("does not exist"), std::string::npos);
}

TEST_F(Orxprop, HelpAndVersionExitZero) {
  EXPECT_EQ(Tool("--help").exit_code, 0);
  EXPECT_NE(Tool("set --help").out.find("never removes a key"), std::string::npos);
  EXPECT_NE(Tool("--version").out.find("orxprop 1.0.0"), std::string::npos);
}

TEST_F(Orxprop, ListAndDescribeTheCatalogue) {
  const auto all = Json("list");
  ASSERT_TRUE(all.is_array());
  EXPECT_EQ(all.size(), 316u);
  EXPECT_EQ(Json("list task").size(), 46u);
  const ToolRun text = Tool("list script");
  EXPECT_NE(text.out.find("0x1000000"), std::string::npos);
  EXPECT_NE(text.out.find("ShowSplashScreen"), std::string::npos);
  const auto description = Json("describe 0x10048");
  EXPECT_EQ(description["file"], "WebTarve.ini");
  EXPECT_EQ(description["section"], "WebScanner");
  EXPECT_EQ(description["default"], "80");
}

TEST_F(Orxprop, DumpMarksStoredValuesAndRoundTripsThroughImport) {
  ASSERT_EQ(Tool("set general.UpdatePeriod 60").exit_code, 0);
  ASSERT_EQ(Tool("set web.URLBlocking 1").exit_code, 0);
  const ToolRun text = Tool("dump");
  EXPECT_NE(text.out.find("* general.UpdatePeriod"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  general.SMTPPort"), std::string::npos);

  const ToolRun json = Tool("--json dump");
  ASSERT_EQ(json.exit_code, 0);
  const auto values = nlohmann::json::parse(json.out);
  EXPECT_EQ(values["general.UpdatePeriod"]["value"], "60");
  EXPECT_EQ(values["general.UpdatePeriod"]["stored"], true);
  EXPECT_EQ(values["0x10044"]["stored"], false);  // a shared name is dumped by identifier

  TempDataFolder other;
  other.Write("dump.json", json.out);
  const std::string import = std::string("'") + ORX_ORXPROP_PATH + "' --data-folder '" +
                             other.path() + "' import '" + other.File("dump.json") + "'";
  ASSERT_EQ(std::system(import.c_str()), 0);
  EXPECT_EQ(other.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=60\n");
  EXPECT_EQ(other.Read("WebTarve.ini"), "[WebScanner]\nURLBlocking=1\n");
}

TEST_F(Orxprop, ImportIsCheckedWholeBeforeTheFirstWrite) {
  folder_.Write("bad.json", R"({"general.SMTPPort": "26", "general.Nope": "1"})");
  EXPECT_EQ(Tool("import '" + folder_.File("bad.json") + "'").exit_code, 1);
  folder_.Write("bad.json", R"({"general.SMTPPort": "26", "0x10013": [1]})");
  EXPECT_EQ(Tool("import '" + folder_.File("bad.json") + "'").exit_code, 1);
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  folder_.Write("good.json", R"({"general.SMTPPort": "26", "0x10013": 30})");
  EXPECT_EQ(Tool("import '" + folder_.File("good.json") + "'").exit_code, 0);
  EXPECT_EQ(Tool("get 0x10013").out, "30\n");
}

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

TEST_F(Orxprop, TaskVerbsCreateListCopyMarkRemoveAndShrink) {
  const std::string first = Json("tasks create")["id"];
  ASSERT_EQ(first.size(), 38u);
  ASSERT_EQ(Tool("tasks create --id '{SECOND}'").exit_code, 0);
  ASSERT_EQ(Tool("set task.Label 'Nightly' --task '" + first + "'").exit_code, 0);
  const std::string copy = Json("tasks copy '" + first + "'")["id"];
  auto tasks = Json("tasks list");
  ASSERT_EQ(tasks.size(), 3u);
  EXPECT_EQ(tasks[2]["id"], copy);
  EXPECT_EQ(tasks[0]["label"], "Nightly");

  ASSERT_EQ(Tool("tasks delete '{SECOND}'").exit_code, 0);
  EXPECT_EQ(Json("tasks list")[1]["deleted"], true);
  EXPECT_EQ(Tool("tasks remove Task1 '{SECOND}'").exit_code, 1);  // Task1 holds another id
  ASSERT_EQ(Tool("tasks remove Task2 '{SECOND}'").exit_code, 0);
  EXPECT_EQ(Json("tasks list").size(), 1u);            // the walk stops at the gap
  EXPECT_EQ(Json("tasks list --all-slots").size(), 2u);
  ASSERT_EQ(Tool("tasks shrink").exit_code, 0);
  tasks = Json("tasks list");
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[1]["slot"], "Task2");
  EXPECT_EQ(tasks[1]["id"], copy);
}

}  // namespace
}  // namespace orx::testing
