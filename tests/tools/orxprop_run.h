// Runs orxprop as a subprocess on a temporary data folder and hands back its
// exit code and outputs: the fixture of every tool test.
#ifndef ORX_TESTS_TOOLS_ORXPROP_RUN_H_
#define ORX_TESTS_TOOLS_ORXPROP_RUN_H_

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "support/temp_data_folder.h"

namespace orx::testing {

struct ToolRun {
  int exit_code;
  std::string out;
  std::string err;
};

// Runs the tool with `arguments` (shell words) on `folder`, standard input
// from `input` (a shell redirection target) or /dev/null.
inline ToolRun RunTool(const TempDataFolder& scratch, const std::string& folder,
                       const std::string& arguments, const std::string& input = "/dev/null") {
  const std::string out = scratch.File("stdout.txt"), err = scratch.File("stderr.txt");
  const std::string command = std::string("'") + ORX_ORXPROP_PATH + "' --data-folder '" + folder +
                              "' " + arguments + " >'" + out + "' 2>'" + err + "' <'" + input + "'";
  const int status = std::system(command.c_str());
  ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, scratch.Read("stdout.txt"),
              scratch.Read("stderr.txt")};
  std::remove(out.c_str());
  std::remove(err.c_str());
  return run;
}

class Orxprop : public DataFolderTest {
 protected:
  ToolRun Tool(const std::string& arguments) {
    return RunTool(scratch_, folder_.path(), arguments);
  }
  // Runs with --json and parses standard output; the run must succeed.
  nlohmann::json Json(const std::string& arguments) {
    const ToolRun run = Tool("--json " + arguments);
    EXPECT_EQ(run.exit_code, 0) << arguments << "\n" << run.err << run.out;
    return nlohmann::json::parse(run.out, nullptr, false);
  }

  TempDataFolder scratch_;  // the tool's captured outputs, outside the data folder
};

}  // namespace orx::testing

#endif  // ORX_TESTS_TOOLS_ORXPROP_RUN_H_
