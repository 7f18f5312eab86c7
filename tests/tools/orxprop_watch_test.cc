// orxprop watch: a change made by another process is printed with its old
// and new value, and the watch ends cleanly on SIGTERM. Bounded in time:
// every wait gives up after a few seconds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "orxprop_run.h"

namespace orx::testing {
namespace {

class OrxpropWatch : public Orxprop {
 protected:
  // Starts `orxprop --json watch ARGS...` with its outputs in the scratch folder.
  pid_t StartWatch(const std::vector<std::string>& arguments) {
    const std::string out = scratch_.File("watch.out"), err = scratch_.File("watch.err");
    const pid_t child = fork();
    if (child == 0) {
      if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(127);
      std::vector<const char*> argv = {ORX_ORXPROP_PATH, "--data-folder", folder_.path().c_str(),
                                       "--json", "watch"};
      for (const std::string& argument : arguments) argv.push_back(argument.c_str());
      argv.push_back(nullptr);
      execv(ORX_ORXPROP_PATH, const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    return child;
  }

  // Waits up to 10 s for `file` of the scratch folder to hold `text`.
  bool WaitFor(const std::string& file, const std::string& text) {
    for (int i = 0; i < 1000; ++i) {
      if (scratch_.Exists(file) && scratch_.Read(file).find(text) != std::string::npos) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  int Stop(pid_t child) {
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(OrxpropWatch, SeesAChangeMadeByAnotherProcessAndStopsOnSigterm) {
  ASSERT_EQ(Tool("tasks create --id '{W}'").exit_code, 0);
  const pid_t watch = StartWatch({});
  ASSERT_GT(watch, 0);
  ASSERT_TRUE(WaitFor("watch.err", "watching")) << scratch_.Read("watch.err");

  ASSERT_EQ(Tool("set general.UpdatePeriod 60").exit_code, 0);
  ASSERT_TRUE(WaitFor("watch.out", "general.UpdatePeriod")) << scratch_.Read("watch.out");
  folder_.Write("ormix5.ini", folder_.Read("ormix5.ini") + "[{W}]\nSchedDays=3\n");  // by hand
  ASSERT_TRUE(WaitFor("watch.out", "task.SchedDays")) << scratch_.Read("watch.out");
  ASSERT_EQ(Tool("tasks create --id '{X}'").exit_code, 0);
  ASSERT_TRUE(WaitFor("watch.out", "{X}")) << scratch_.Read("watch.out");
  EXPECT_EQ(Stop(watch), 0);

  std::vector<nlohmann::json> lines;
  std::istringstream out(scratch_.Read("watch.out"));
  for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], (nlohmann::json{{"scope", "settings"},
                                      {"name", "general.UpdatePeriod"},
                                      {"old", "240"},
                                      {"new", "60"},
                                      {"stored", true}}));
  EXPECT_EQ(lines[1]["task"], "{W}");
  EXPECT_EQ(lines[1]["old"], "127");
  EXPECT_EQ(lines[1]["new"], "3");
  bool listed = false;
  for (const auto& line : lines) {
    listed =
        listed || (line["scope"] == "tasks" && line["slot"] == "Task2" && line["new"] == "{X}");
  }
  EXPECT_TRUE(listed) << scratch_.Read("watch.out");
}

TEST_F(OrxpropWatch, PrintsOnlyWhatItIsAskedToWatch) {
  const pid_t watch = StartWatch({"web"});
  ASSERT_TRUE(WaitFor("watch.err", "watching"));
  ASSERT_EQ(Tool("set general.UpdatePeriod 60").exit_code, 0);
  ASSERT_EQ(Tool("set web.URLBlocking 1").exit_code, 0);
  ASSERT_TRUE(WaitFor("watch.out", "web.URLBlocking"));
  EXPECT_EQ(Stop(watch), 0);
  EXPECT_EQ(scratch_.Read("watch.out").find("UpdatePeriod"), std::string::npos);
}

}  // namespace
}  // namespace orx::testing
