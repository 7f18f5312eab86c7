// What every command of orxprop shares: the parsed global options, the
// scope of a property operation, and the verbs' registration.
#ifndef ORX_TOOLS_CLI_CLI_H_
#define ORX_TOOLS_CLI_CLI_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>

#include "library_rules.h"
#include "orxProperty.h"
#include "output.h"
#include "property_names.h"

namespace orx::cli {

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
  // Verbs that write create the data folder (with its parents) first.
  bool writes = false;
};

// Each family registers its subcommands on `app`; the chosen one stores its
// body in `invocation`.
void AddPropertyCommands(CLI::App& app, const Options& options, Invocation& invocation);
void AddDumpCommands(CLI::App& app, const Options& options, Invocation& invocation);
void AddImportCommand(CLI::App& app, const Options& options, Invocation& invocation);
void AddTaskCommands(CLI::App& app, const Options& options, Invocation& invocation);
void AddCheckCommand(CLI::App& app, const Options& options, Invocation& invocation);
void AddWatchCommand(CLI::App& app, const Options& options, Invocation& invocation);

// Adds --task and --provider to a subcommand, mutually exclusive.
void AddScopeOptions(CLI::App& command, Scope& scope);

// Reads a property's text in `scope`, however long it is.
int32_t ReadPropertyText(const Scope& scope, const Property& property, std::u16string& out);
int32_t ReadPropertyInt(const Scope& scope, const Property& property, int32_t& out);

// Resolves a property name, reporting why when there is no single match
// (callers exit with kExitUsage: the name on the command line is at fault).
std::optional<Property> ResolveOrReport(const std::string& name);

// The listed task whose id matches `id` without regard to case, as the list
// spells it; nullopt when none does.
struct ListedTask {
  int32_t slot;
  std::string slot_key;
  std::string id;
};
std::optional<ListedTask> FindListedTask(const std::string& id);

// Warns on standard error when the language module in force cannot be read
// or has malformed lines (labels then show as references).
void WarnAboutLanguageModule();

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_CLI_H_
