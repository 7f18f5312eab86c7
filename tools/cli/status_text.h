// What the tool says about a status number: its Win32 name and a sentence a
// person can act on.
#ifndef ORX_TOOLS_CLI_STATUS_TEXT_H_
#define ORX_TOOLS_CLI_STATUS_TEXT_H_

#include <cstdint>
#include <string>

namespace orx::cli {

struct StatusText {
  const char* name;      // "ERROR_ACCESS_DENIED"
  const char* sentence;  // "the file or its folder may not be written"
};

StatusText DescribeStatus(int32_t status);

// "87 ERROR_INVALID_PARAMETER: the library refused the argument"
std::string FormatStatus(int32_t status);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_STATUS_TEXT_H_
