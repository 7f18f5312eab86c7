// What every command of orxprop shares: the parsed global options, the
// scope of a property operation, output in text or JSON, and the exit codes.
#ifndef ORX_TOOLS_CLI_CLI_H_
#define ORX_TOOLS_CLI_CLI_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "orxProperty.h"
#include "property_names.h"

namespace orx::cli {

// Exit codes: documented in --help.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the library or the tool refused the operation
inline constexpr int kExitUsage = 2;    // bad verb, option or argument
inline constexpr int kExitUnclean = 3;  // check found something to report

// The tool keeps text as char16_t; the library's orxChar is the same UTF-16
// unit under another type on Windows (wchar_t). Only these two conversions
// cross, so no other pointer type can slip through.
inline const orxChar* Abi(const char16_t* text) { return reinterpret_cast<const orxChar*>(text); }
inline orxChar* Abi(char16_t* text) { return reinterpret_cast<orxChar*>(text); }

struct Options {
  std::string data_folder;
  std::string language_module;
  bool json = false;
};

// A property operation's mode: plain, one task, or one provider.
struct Scope {
  std::string task;
  std::string provider;
  bool HasTask() const { return !task.empty(); }
  bool HasProvider() const { return !provider.empty(); }
};

// The command chosen on the command line, run after the library is set up.
struct Invocation {
  std::function<int()> run;
  bool needs_data_folder = true;
};

// Each family registers its subcommands on `app`; the chosen one stores its
// body in `invocation`.
void AddPropertyCommands(CLI::App& app, const Options& options, Invocation& invocation);
void AddTaskCommands(CLI::App& app, const Options& options, Invocation& invocation);
void AddCheckCommand(CLI::App& app, const Options& options, Invocation& invocation);

// Adds --task and --provider to a subcommand, mutually exclusive.
void AddScopeOptions(CLI::App& command, Scope& scope);

// Reports a refusal on stderr ("orxprop: <what>") and returns kExitRefused.
int Refuse(const std::string& what);
// Reports a failed library call with its status and returns kExitRefused.
int RefuseStatus(const std::string& what, int32_t status);

// Prints `value` as JSON (stable key order: insertion order).
void PrintJson(const nlohmann::ordered_json& value);

// Conversions at the tool's edge: arguments and output are UTF-8.
std::u16string ToUtf16(const std::string& text);
std::string ToUtf8(std::u16string_view text);

// Reads a property's text in `scope`, however long it is.
int32_t ReadPropertyText(const Scope& scope, const Property& property, std::u16string& out);
int32_t ReadPropertyInt(const Scope& scope, const Property& property, int32_t& out);

// Resolves a property name, printing why when there is no single match
// (callers exit with kExitUsage: the name on the command line is at fault).
std::optional<Property> ResolveOrReport(const std::string& name);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_CLI_H_
