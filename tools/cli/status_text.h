// What the tool says about a status number: its Win32 name and a few plain
// words a person can act on.
#ifndef ORX_TOOLS_CLI_STATUS_TEXT_H_
#define ORX_TOOLS_CLI_STATUS_TEXT_H_

#include <cstdint>
#include <string>

namespace orx::cli {

// "ERROR_ACCESS_DENIED"; "ERROR_<n>" for a number without a name.
std::string StatusNameOf(int32_t status);

// "permission denied"
std::string StatusWords(int32_t status);

// "permission denied (5, ERROR_ACCESS_DENIED)"
std::string FormatStatus(int32_t status);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_STATUS_TEXT_H_
