// How orxprop speaks: results on standard output (text or JSON), refusals
// and notes on standard error, or, under --json, a refusal as a JSON error
// object on standard output. Text read from files is shown with its control
// characters escaped, so a crafted value cannot drive the terminal.
#ifndef ORX_TOOLS_CLI_OUTPUT_H_
#define ORX_TOOLS_CLI_OUTPUT_H_

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace orx::cli {

using Json = nlohmann::ordered_json;

// Exit codes: documented in --help and in the manual page.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the library or the tool refused the operation
inline constexpr int kExitUsage = 2;    // bad verb, option or argument
inline constexpr int kExitUnclean = 3;  // check found something to report

// Chooses JSON error objects for refusals (set once, from --json).
void SetJsonErrors(bool json);

// Reports a refusal with a status (87 when the tool itself refuses) and
// returns `exit_code`.
int Refuse(const std::string& what, int32_t status = 87, int exit_code = kExitRefused);
// Reports a failed library call: "<what>: <plain words> (<n>, <NAME>)".
int RefuseStatus(const std::string& what, int32_t status);
// A note on standard error that does not change the outcome.
void Note(const std::string& what);

// Prints `value` as JSON (stable key order: insertion order).
void PrintJson(const Json& value);

// `text` (UTF-8) with C0 controls, DEL and C1 controls written as escapes
// (\n, \t, \r, \xNN, \u00NN); everything else as it is.
std::string Printable(const std::string& text);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_OUTPUT_H_
