// orxprop run as a subprocess on temporary data folders: each verb's output
// in text and JSON, the exit codes and messages, first use without a data
// folder, and refusals that change no file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "orxprop_run.h"

namespace orx::testing {
namespace {

TEST_F(Orxprop, GetPrintsStoredValuesOrDefaults) {
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "240\n");
  EXPECT_EQ(Tool("get 0x10013 --int").out, "240\n");
  EXPECT_EQ(Tool("set general.UpdatePeriod 120").exit_code, 0);
  EXPECT_EQ(Tool("get GENERAL.updateperiod").out, "120\n");
  EXPECT_EQ(Tool("get UpdatePeriod").out, "120\n");  // a key one class alone has
  const auto json = Json("get task.SchedDays --task '{T}'");
  EXPECT_EQ(json["id"], "0x20019");
  EXPECT_EQ(json["name"], "task.SchedDays");
  EXPECT_EQ(json["value"], 127);
  EXPECT_EQ(Json("get provider.VirusAction --provider WebTarve --int")["value"], 0);
  EXPECT_EQ(Json("get provider.VirusAction --provider WebTarve")["value"], "abort");
}

TEST_F(Orxprop, ExitCodesAndMessagesSayWhatWasWrong) {
  const struct {
    const char* arguments;
    int exit_code;
    const char* message;
  } cases[] = {
      {"frobnicate", 2, "unknown verb 'frobnicate'"},
      {"gte general.SMTPPort", 2, "did you mean get?"},
      {"get", 2, "PROP is required"},
      {"get --bogus general.SMTPPort", 2, "--bogus"},
      {"get 0xZZ", 2, "hexadecimal"},
      {"get 0x1007C", 2, "no property"},
      {"get nosuch.Key", 2, "unknown property class 'nosuch'"},
      {"get genral.SMTPPort", 2, "did you mean general?"},
      {"get general.UpdatePeriode", 2, "did you mean general.UpdatePeriod?"},
      {"get UpdatePeriode", 2, "did you mean UpdatePeriod?"},
      {"get general.NoSuchKey", 2, "no property"},
      {"get general.IgnoreAddress", 2, "0x10049"},
      {"get VirusAction", 2, "provider.VirusAction"},  // shared by two classes
      {"get provider.NetAlert", 1, "--provider"},
      {"set general.UpdatePeriod abc --int", 2, "integer"},
      {"set general.UpdatePeriod banana", 1, "is not a 32-bit integer (give --raw"},
      {"set general.SMTPServer \"$(printf 'a\\n[x]')\"", 1,
       "a value cannot hold a line break (87, ERROR_INVALID_PARAMETER)"},
      {"set provider.NetAlert x --provider ../evil", 1, "provider names cannot hold '/'"},
      {"set task.SchedDays 3", 1, "give --task ID"},
      {"set task.SchedDays 3 --task '{TYPO}'", 1, "no listed task has the id {TYPO}"},
      {"reset", 2, "give either PROP or --all"},
      {"tasks copy '{NOT-LISTED}'", 1, "no listed task"},
      {"list nosuch", 2, "class"},
      {"get general.SMTPPort --task a --provider b", 2, "excludes"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool(c.arguments);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.arguments << "\n" << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << "\n" << run.err;
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  EXPECT_FALSE(folder_.Exists("evil.ini"));
  EXPECT_FALSE(folder_.Exists("../evil.ini"));
}

TEST_F(Orxprop, AFailedWriteNamesTheFileAndTheStatus) {
  folder_.Write("ormix5.ini", "[InetWD]\nUpdatePeriod=7\n");
  ASSERT_EQ(mkdir(folder_.File("ormix5.ini.lock").c_str(), 0700), 0);  // no lock can be taken
  const ToolRun run = Tool("set general.UpdatePeriod 5");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "orxprop: cannot write " + folder_.File("ormix5.ini") +
                         ": permission denied (5, ERROR_ACCESS_DENIED)\n");
  const auto error = nlohmann::json::parse(Tool("--json reset --all").out)["error"];
  EXPECT_EQ(error["status"], 5);
  EXPECT_EQ(error["name"], "ERROR_ACCESS_DENIED");
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=7\n");
}

TEST_F(Orxprop, UnderJsonARefusalIsAnErrorObject) {
  const ToolRun run = Tool("--json set general.UpdatePeriod banana");
  EXPECT_EQ(run.exit_code, 1);
  const auto error = nlohmann::json::parse(run.out)["error"];
  EXPECT_EQ(error["status"], 87);
  EXPECT_EQ(error["name"], "ERROR_INVALID_PARAMETER");
  EXPECT_NE(error["message"].get<std::string>().find("banana"), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(Tool("--json gte").out)["error"]["status"], 87);
}

TEST_F(Orxprop, FirstUseReadsDefaultsAndWritesCreateTheFolder) {
  const std::string missing = folder_.File("not/yet/there");
  const auto run = [&](const std::string& arguments) {
    return RunTool(scratch_, missing, arguments);
  };
  for (const char* reading : {"get general.UpdatePeriod", "list general", "describe 0x10013",
                              "dump", "dump --all", "tasks list", "check"}) {
    EXPECT_EQ(run(reading).exit_code, 0) << reading << "\n" << run(reading).err;
  }
  EXPECT_EQ(run("get general.UpdatePeriod").out, "240\n");
  EXPECT_FALSE(folder_.Exists("not"));  // reading made nothing
  ASSERT_EQ(run("set general.UpdatePeriod 30").exit_code, 0);
  EXPECT_EQ(folder_.Read("not/yet/there/ormix5.ini"), "[InetWD]\nUpdatePeriod=30\n");
}

TEST_F(Orxprop, HelpAndVersionExitZero) {
  EXPECT_EQ(Tool("--help").exit_code, 0);
  EXPECT_NE(Tool("set --help").out.find("orxprop reset PROP"), std::string::npos);
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

TEST_F(Orxprop, IntegerSettingsTakeIntegersUnlessRaw) {
  ASSERT_EQ(Tool("set general.UpdatePeriod -15").exit_code, 0);
  EXPECT_EQ(Json("set general.UpdatePeriod 45")["value"], 45);
  EXPECT_EQ(Tool("set general.UpdatePeriod 2h").exit_code, 1);
  EXPECT_EQ(Tool("set general.UpdatePeriod 99999999999").exit_code, 1);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=45\n");
  ASSERT_EQ(Tool("set general.UpdatePeriod 2h --raw").exit_code, 0);
  EXPECT_EQ(Json("get general.UpdatePeriod")["value"], "2h");
  EXPECT_EQ(Json("get general.UpdatePeriod --int")["value"], 2);
  EXPECT_EQ(Json("set general.SMTPServer 'mail here'")["value"], "mail here");
}

TEST_F(Orxprop, ResetRemovesStoredKeysSoDefaultsApply) {
  ASSERT_EQ(Tool("set general.UpdatePeriod 60").exit_code, 0);
  ASSERT_EQ(Tool("set general.SMTPPort 26").exit_code, 0);
  ASSERT_EQ(Tool("reset general.UpdatePeriod").exit_code, 0);
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "240\n");
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[InetWD]\n[Communication]\nSMTPPort=26\n");

  ASSERT_EQ(Tool("set provider.VirusAction ignore --provider WebTarve").exit_code, 0);
  ASSERT_EQ(Tool("set web.URLBlocking 1").exit_code, 0);
  ASSERT_EQ(Tool("reset --all").exit_code, 0);  // the plain scope only
  EXPECT_EQ(Tool("get general.SMTPPort").out, "25\n");
  EXPECT_EQ(Tool("get web.URLBlocking").out, "0\n");
  EXPECT_EQ(Tool("get provider.VirusAction --provider WebTarve").out, "ignore\n");
  ASSERT_EQ(Tool("reset provider.VirusAction --provider WebTarve").exit_code, 0);
  EXPECT_EQ(Tool("get provider.VirusAction --provider WebTarve").out, "abort\n");

  ASSERT_EQ(Tool("tasks create --id '{T1}'").exit_code, 0);
  ASSERT_EQ(Tool("set task.SchedDays 3 --task '{t1}'").exit_code, 0);
  ASSERT_EQ(Tool("set task.Priority 2 --task '{T1}'").exit_code, 0);
  EXPECT_EQ(Json("reset --all --task '{T1}'")["reset"].size(), 46u);
  EXPECT_EQ(Tool("get task.SchedDays --task '{T1}'").out, "127\n");
  EXPECT_EQ(Tool("tasks list --json").exit_code, 0);
  EXPECT_NE(folder_.Read("ormix5.ini").find("Task1={T1}"), std::string::npos);
  EXPECT_EQ(Tool("reset task.SchedDays --task '{GONE}'").exit_code, 1);
}

TEST_F(Orxprop, TaskIdsMatchWithoutRegardToCase) {
  ASSERT_EQ(Tool("tasks create --id '{AbC}'").exit_code, 0);
  ASSERT_EQ(Tool("set task.Label Nightly --task '{ABC}'").exit_code, 0);
  EXPECT_EQ(Tool("get task.Label --task '{abc}'").out, "Nightly\n");
  const std::string copy = Json("tasks copy '{abc}'")["id"];
  EXPECT_EQ(copy.size(), 38u);
  ASSERT_EQ(Tool("tasks delete '{ABC}'").exit_code, 0);
  EXPECT_EQ(Json("tasks list")[0]["deleted"], true);
  ASSERT_EQ(Tool("tasks remove task1 '{abc}'").exit_code, 0);
  EXPECT_EQ(folder_.Read("ormix5.ini").find("{AbC}"), std::string::npos);
  ASSERT_EQ(Tool("set task.Label Copied --task '" + copy + "'").exit_code, 0);
  // A write to the lower-case spelling landed in the listed task's section.
  EXPECT_EQ(folder_.Read("ormix5.ini").find("[{abc}]"), std::string::npos);
}

TEST_F(Orxprop, ScopeMistakesNeedForce) {
  ASSERT_EQ(Tool("set task.SchedDays 5 --task '{TYPO}' --force").exit_code, 0);
  ASSERT_EQ(Tool("set task.SchedDays 3 --force").exit_code, 0);
  EXPECT_EQ(folder_.Read("ormix5.ini"), "[{TYPO}]\nSchedDays=5\n[TaskGUID]\nSchedDays=3\n");
  const ToolRun note = Tool("set provider.VirusAction ignore --provider Fresh");
  EXPECT_EQ(note.exit_code, 0);
  EXPECT_NE(note.err.find("note: provider Fresh has no file"), std::string::npos) << note.err;
  EXPECT_EQ(Tool("get provider.VirusAction --provider Fresh").err, "");
}

TEST_F(Orxprop, EveryVerbPrintsJsonOnSuccess) {
  folder_.Write("import.json", R"({"general.SMTPPort": 26})");
  const std::string import = "import '" + folder_.File("import.json") + "'";
  const char* verbs[] = {"tasks create --id '{A}'",
                         "tasks create --id '{B}'",
                         "set task.SchedDays 5 --task '{A}'",
                         "get task.SchedDays --task '{A}'",
                         "tasks copy '{A}'",
                         "tasks delete '{A}'",
                         "tasks remove Task2 '{B}'",
                         "tasks shrink",
                         "tasks list",
                         "list web",
                         "describe UpdatePeriod",
                         "dump",
                         "dump --all",
                         "reset task.SchedDays --task '{A}'",
                         import.c_str(),
                         "check"};
  for (const char* verb : verbs) {
    const auto json = Json(verb);
    EXPECT_FALSE(json.is_discarded()) << verb;
    EXPECT_FALSE(json.is_object() && json.contains("error")) << verb;
  }
}

TEST_F(Orxprop, FileTextReachesTheTerminalEscaped) {
  folder_.Write("ormix5.ini",
                "[Scanner]\nTask1={E}\n[{E}]\nLabel=\x1b[2J\xc2\x9b"
                "6n\x1b]0;pwned\x07x\n"
                "[Communication]\nSMTPServer=a\x7f\x01\n");
  const std::string outputs[] = {Tool("tasks list").out,
                                 Tool("get task.Label --task '{E}'").out,
                                 Tool("dump --task '{E}'").out,
                                 Tool("dump --all").out,
                                 Tool("get general.SMTPServer").out,
                                 Tool("check").out};
  for (const std::string& out : outputs) {
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << out;
    EXPECT_EQ(out.find("\xc2\x9b"), std::string::npos) << out;
    EXPECT_EQ(out.find('\x07'), std::string::npos) << out;
    EXPECT_EQ(out.find('\x7f'), std::string::npos) << out;
  }
  EXPECT_EQ(outputs[1], "\\x1B[2J\\u009B6n\\x1B]0;pwned\\x07x\n");
  EXPECT_EQ(outputs[4], "a\\x7F\\x01\n");
  EXPECT_EQ(Json("get task.Label --task '{E}'")["value"],
            "\x1b[2J\xc2\x9b"
            "6n\x1b]0;pwned\x07x");
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
  EXPECT_EQ(Json("tasks list").size(), 1u);  // the walk stops at the gap
  EXPECT_EQ(Json("tasks list --all-slots").size(), 2u);
  ASSERT_EQ(Tool("tasks shrink").exit_code, 0);
  tasks = Json("tasks list");
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[1]["slot"], "Task2");
  EXPECT_EQ(tasks[1]["id"], copy);
}

}  // namespace
}  // namespace orx::testing
