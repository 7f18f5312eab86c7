// orxprop dump and import: the dump forms, the refusals of hostile or broken
// input before the first write, the put-back after a failed write, and the
// full round trip into a folder holding other values.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "orxprop_run.h"

namespace orx::testing {
namespace {

class OrxpropImport : public Orxprop {
 protected:
  ToolRun Import(const std::string& json, const std::string& options = "") {
    scratch_.Write("import.json", json);
    return Tool("import '" + scratch_.File("import.json") + "' " + options);
  }
};

TEST_F(OrxpropImport, DumpMarksStoredValuesAndRoundTripsThroughImport) {
  ASSERT_EQ(Tool("set general.UpdatePeriod 60").exit_code, 0);
  ASSERT_EQ(Tool("set web.URLBlocking 1").exit_code, 0);
  const ToolRun text = Tool("dump");
  EXPECT_NE(text.out.find("* general.UpdatePeriod"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("  general.SMTPPort"), std::string::npos);

  const ToolRun json = Tool("--json dump");
  ASSERT_EQ(json.exit_code, 0);
  const auto values = nlohmann::json::parse(json.out);
  EXPECT_EQ(values["general.UpdatePeriod"]["value"], 60);
  EXPECT_EQ(values["general.UpdatePeriod"]["stored"], true);
  EXPECT_EQ(values["0x10044"]["stored"], false);  // a shared name is dumped by identifier

  TempDataFolder other;
  other.Write("dump.json", json.out);
  ASSERT_EQ(RunTool(scratch_, other.path(), "import '" + other.File("dump.json") + "'").exit_code,
            0);
  EXPECT_EQ(other.Read("ormix5.ini"), "[InetWD]\nUpdatePeriod=60\n");
  EXPECT_EQ(other.Read("WebTarve.ini"), "[WebScanner]\nURLBlocking=1\n");
}

TEST_F(OrxpropImport, AnImportThatIsRefusedWritesNothing) {
  const struct {
    std::string json;
    const char* message;
  } cases[] = {
      {R"({"general.SMTPPort": "26", "general.Nope": "1"})", "no property"},
      {R"({"general.SMTPPort": "26", "0x10013": [1]})", "a text or a 32-bit integer"},
      {R"({"general.SMTPPort": "26", "general.SMTPServer": "a\nb"})",
       "a value cannot hold a line break"},
      {R"({"general.SMTPPort": "26", "general.SMTPServer": "a\rb"})",
       "a value cannot hold a line break"},
      {R"({"general.SMTPPort": "26", "general.SMTPServer": "\ud800"})", "surrogate"},
      {R"({"general.SMTPPort": "26", "general.SMTPServer": "before\u0000after"})", "NUL"},
      {R"({"general.SMTPPort": "26", "general.UpdatePeriod": "2h"})", "not a 32-bit integer"},
      {R"({"general.SMTPPort": "26", "general.UpdatePeriod": 4294967296})", "32-bit range"},
      {R"({"general.SMTPPort": "26", "task.SchedDays": 3})", "does not belong"},
      {R"({"general.SMTPPort": "26",)", "not valid JSON"},
      {std::string(70000, '[') + std::string(70000, ']'), "nested deeper than"},
      {"{\"a\":" + std::string(5000, '[') + std::string(5000, ']') + "}", "nested deeper than"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Import(c.json);
    EXPECT_EQ(run.exit_code, 1) << c.json.substr(0, 80) << "\n" << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
  }
  EXPECT_FALSE(folder_.Exists("ormix5.ini"));
  EXPECT_EQ(Import(R"({"general.UpdatePeriod": "2h"})", "--raw").exit_code, 0);
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "2h\n");
}

TEST_F(OrxpropImport, AWriteThatFailsPutsBackWhatWasWritten) {
  ASSERT_EQ(Tool("set web.URLBlocking 1").exit_code, 0);
  // The main file's lock cannot be opened, so its write fails after the
  // module file, which comes first, was written.
  ASSERT_EQ(mkdir(folder_.File("ormix5.ini.lock").c_str(), 0700), 0);
  const ToolRun run = Import(R"({"web.URLBlocking": 0, "web.WebScanning": 0,
                                 "general.UpdatePeriod": 60})");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("cannot write " + folder_.File("ormix5.ini")), std::string::npos)
      << run.err;
  EXPECT_EQ(Tool("get web.URLBlocking").out, "1\n");
  EXPECT_EQ(Tool("get web.WebScanning").out, "1\n");
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "240\n");
}

TEST_F(OrxpropImport, ImportReadsStandardInput) {
  scratch_.Write("in.json", R"({"general.UpdatePeriod": 15})");
  ASSERT_EQ(RunTool(scratch_, folder_.path(), "import -", scratch_.File("in.json")).exit_code, 0);
  EXPECT_EQ(Tool("get general.UpdatePeriod").out, "15\n");
}

// The source: settings, a module file, two provider files, a task list with
// a gap, a label reference, a deleted mark; the target holds other values,
// other tasks and another provider.
TEST_F(OrxpropImport, AFullDumpMakesTheTargetAnswerAsTheSource) {
  folder_.Write("ormix5.ini",
                "[InetWD]\nUpdatePeriod=60\n[Scanner]\nTask1={S1}\nTask3={S3}\n"
                "[{S1}]\nLabel=*@1000\nSchedDays=5\n[{S3}]\nDeleted=1\n");
  folder_.Write("WebTarve.ini", "[WebScanner]\nURLBlocking=1\n");
  folder_.Write("EmailTarve.ini", "[Common]\nVirusAction=ignore\n");
  folder_.Write("Blank.ini", "");
  TempDataFolder target;
  target.Write("ormix5.ini",
               "[InetWD]\nUpdatePeriod=30\n[Communication]\nSMTPPort=99\n[Scanner]\n"
               "Task1={T1}\nTask2={T2}\n[{T1}]\nSchedDays=9\n[{T2}]\nPriority=3\n");
  target.Write("Other.ini", "[Common]\nVirusAction=delete\n");
  const std::string module =
      "--language-module '" + std::string(ORX_LANG_BUILD_DIR) + "/en.lang' ";

  const ToolRun dump = Tool(module + "--json dump --all");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  const auto source = nlohmann::json::parse(dump.out);
  EXPECT_EQ(source["version"], 1);
  EXPECT_EQ(source["tasks"][0]["properties"]["task.Label"]["value"], "*@1000");
  EXPECT_EQ(source["tasks"][0]["properties"]["task.Label"]["text"], "Quick scan");
  EXPECT_EQ(source["tasks"][1]["slot"], 3);
  scratch_.Write("full.json", dump.out);
  const ToolRun import =
      RunTool(scratch_, target.path(), module + "import '" + scratch_.File("full.json") + "'");
  ASSERT_EQ(import.exit_code, 0) << import.err;

  // Compared through every read: each property of every scope, the task
  // enumeration (with and without the gap), integer reads.
  for (const char* verb :
       {"--json dump --all", "--json tasks list --all-slots", "--json tasks list",
        "--json get general.UpdatePeriod --int", "--json get task.SchedDays --task '{S1}' --int",
        "--json get task.Label --task '{S1}'", "--json dump --provider EmailTarve",
        "--json dump --provider Other"}) {
    const ToolRun from = Tool(module + verb);
    const ToolRun to = RunTool(scratch_, target.path(), module + verb);
    ASSERT_EQ(to.exit_code, 0) << verb << to.err;
    auto from_json = nlohmann::json::parse(from.out), to_json = nlohmann::json::parse(to.out);
    // The source has no provider Other; the target's file now holds only
    // defaults, so it answers as the source would.
    const auto expect_all_defaults = [](const nlohmann::json& values) {
      ASSERT_TRUE(values.is_object());
      for (const auto& [name, entry] : values.items()) EXPECT_EQ(entry["stored"], false) << name;
    };
    if (std::string(verb) == "--json dump --provider Other") {
      expect_all_defaults(to_json);
      continue;
    }
    if (std::string(verb) == "--json dump --all") {
      expect_all_defaults(to_json["providers"]["Other"]);
      to_json["providers"].erase("Other");
    }
    EXPECT_TRUE(from_json == to_json) << verb << "\n"
                                      << from.out.substr(0, 300) << "\n"
                                      << to.out.substr(0, 300);
  }
  EXPECT_NE(target.Read("ormix5.ini").find("Label=*@1000"), std::string::npos);
  EXPECT_TRUE(target.Exists("Blank.ini"));
}

TEST_F(OrxpropImport, AFullDumpWithABadTaskChangesNothing) {
  const std::string before = "[InetWD]\nUpdatePeriod=30\n";
  folder_.Write("ormix5.ini", before);
  const char* dumps[] = {
      R"({"format": "orxprop-dump", "version": 1, "tasks": [{"slot": 1, "id": "Scanner"}]})",
      R"({"format": "orxprop-dump", "version": 1, "tasks": [{"slot": 1, "id": "{A]B}"}]})",
      R"({"format": "orxprop-dump", "version": 1,
          "tasks": [{"slot": 1, "id": "{A}"}, {"slot": 2, "id": "{a}"}]})",
      R"({"format": "orxprop-dump", "version": 1,
          "tasks": [{"slot": 1, "id": "{A}"}, {"slot": 1, "id": "{B}"}]})",
      R"({"format": "orxprop-dump", "version": 2})",
      R"({"format": "orxprop-dump", "version": 1, "providers": {"../x": {}}})",
  };
  for (const char* dump : dumps) {
    EXPECT_EQ(Import(dump).exit_code, 1) << dump;
    EXPECT_EQ(folder_.Read("ormix5.ini"), before) << dump;
  }
}

}  // namespace
}  // namespace orx::testing
