// Language modules as a person installing one needs them checked: every line
// parses, the label strings run unbroken from 1000, the copy-label format
// 41111 holds exactly one %s, and backslashes are escapes the parser knows.
#ifndef ORX_TOOLS_CLI_LANGUAGE_CHECK_H_
#define ORX_TOOLS_CLI_LANGUAGE_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orx::cli {

struct ModuleFinding {
  uint32_t line;  // 1-based; 0 for the module as a whole
  std::string message;
};

// The findings for the module text `bytes`.
std::vector<ModuleFinding> CheckLanguageModule(const std::string& bytes);

// Why the module at `path` serves no labels or serves them partly, or empty
// when it reads cleanly.
std::string LanguageModuleProblem(const std::string& path);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_LANGUAGE_CHECK_H_
