// The bash completion of orxprop, driven as bash drives it: COMP_WORDS and
// COMP_CWORD set, the completion function called, COMPREPLY read back.
#include <gtest/gtest.h>

#include <string>

#include "orxprop_run.h"

namespace orx::testing {
namespace {

class OrxpropCompletion : public Orxprop {
 protected:
  // The completions bash offers for `line` (words after "orxprop"; a
  // trailing space starts a new, empty word).
  std::string Complete(const std::string& line) {
    const std::string script = scratch_.File("complete.sh");
    scratch_.Write("complete.sh",
                   "source '" + std::string(ORX_SOURCE_DIR) +
                       "/tools/cli/orxprop.bash'\n"
                       "COMP_WORDS=('" +
                       ORX_ORXPROP_PATH + "' --data-folder '" + folder_.path() + "' " + line +
                       ")\n" + (line.empty() || line.back() == ' ' ? "COMP_WORDS+=('')\n" : "") +
                       "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                       "_orxprop\n"
                       "echo \"${COMPREPLY[*]}\"\n");
    const std::string command = "bash '" + script + "' >'" + scratch_.File("reply") + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::string reply = scratch_.Read("reply");
    if (!reply.empty() && reply.back() == '\n') reply.pop_back();
    return reply;
  }
};

TEST_F(OrxpropCompletion, OffersVerbsOptionsPropertiesAndListedTasks) {
  ASSERT_EQ(Tool("tasks create --id '{C1}'").exit_code, 0);
  ASSERT_EQ(Tool("set provider.VirusAction x --provider Prov").exit_code, 0);
  const struct {
    const char* line;
    const char* reply;
  } cases[] = {
      {"g", "get"},
      {"re", "reset"},
      {"tasks c", "create copy"},
      {"set --r", "--raw"},
      {"dump --a", "--all"},
      {"get general.UpdateP", "general.UpdatePeriod"},
      {"get UpdateP", "UpdatePeriod"},
      {"list fi", "filesystem"},
      {"get task.Label --task ", "{C1}"},
      {"tasks copy ", "{C1}"},
      {"get provider.VirusAction --provider P", "Prov"},
  };
  for (const auto& c : cases) EXPECT_EQ(Complete(c.line), c.reply) << c.line;
}

}  // namespace
}  // namespace orx::testing
