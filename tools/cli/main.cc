// orxprop: reads and changes the product's settings and scan tasks from the
// command line. The global options are parsed here; each verb lives in the
// file of its family (cmd_property.cc, cmd_task.cc, cmd_check.cc).
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "base/utf.h"
#include "cli.h"
#include "status_text.h"
#include "stored_values.h"

namespace orx::cli {
namespace {

// On Windows the library reads the environment as UTF-16
// (GetEnvironmentVariableW); _wputenv_s sets both that and the C runtime's
// copy.
void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  const std::u16string wide_name = DecodePath(name);
  const std::u16string wide_value = DecodePath(value);
  _wputenv_s(reinterpret_cast<const wchar_t*>(wide_name.c_str()),
             reinterpret_cast<const wchar_t*>(wide_value.c_str()));
#else
  setenv(name, value.c_str(), 1);
#endif
}

}  // namespace

int Refuse(const std::string& what) {
  std::cerr << "orxprop: " << what << "\n";
  return kExitRefused;
}

int RefuseStatus(const std::string& what, int32_t status) {
  return Refuse(what + ": " + FormatStatus(status));
}

void PrintJson(const nlohmann::ordered_json& value) { std::cout << value.dump(2) << "\n"; }

std::u16string ToUtf16(const std::string& text) { return DecodePath(text); }
std::string ToUtf8(std::u16string_view text) { return EncodePath(text); }

void AddScopeOptions(CLI::App& command, Scope& scope) {
  auto* task = command.add_option("--task", scope.task, "Work on the task with this id");
  auto* provider =
      command.add_option("--provider", scope.provider, "Work on this provider's settings");
  task->excludes(provider);
}

std::optional<Property> ResolveOrReport(const std::string& name) {
  PropertyLookup lookup = FindProperty(name);
  if (lookup.matches.size() == 1) return lookup.matches.front();
  Refuse(lookup.error);
  return std::nullopt;
}

namespace {

constexpr const char* kExitCodesHelp =
    "Exit status: 0 success, 1 the operation was refused (the message says why), 2 bad usage,\n"
    "3 'check' found something to report.\n"
    "Properties are named by identifier (0x20019) or CLASS.Key (task.SchedDays), with classes\n"
    "general task email filesystem p2p im web network script antispam provider.";

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int Run(int argc, char** argv) {
  CLI::App app{"Reads and changes the product's settings and scan tasks.", "orxprop"};
  app.footer(kExitCodesHelp);
  app.require_subcommand(1);
  app.fallthrough();
  app.set_version_flag("--version", "orxprop 1.0.0 (library ABI 1)");
  Options options;
  app.add_option("--data-folder", options.data_folder,
                 "The data folder (default: $ORX_DATA_FOLDER, else ~/.local/share/ormix)")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_option("--language-module", options.language_module,
                 "The language module for localized task labels")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  app.add_flag("--json", options.json, "Print results as JSON");

  Invocation invocation;
  AddPropertyCommands(app, options, invocation);
  AddTaskCommands(app, options, invocation);
  AddCheckCommand(app, options, invocation);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitUsage;
  }

  if (!options.data_folder.empty()) SetVariable("ORX_DATA_FOLDER", options.data_folder);
  if (!options.language_module.empty()) SetVariable("ORX_LANGUAGE_MODULE", options.language_module);
  if (invocation.needs_data_folder && !IsFolder(DataFolderPath())) {
    return Refuse("the data folder " + DataFolderPath() + " does not exist");
  }
  orxPropertyInitLibrary();
  const int code = invocation.run();
  orxPropertyFreeLibrary();
  return code;
}

}  // namespace
}  // namespace orx::cli

int main(int argc, char** argv) {
  try {
    return orx::cli::Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orxprop: %s\n", error.what());
    return orx::cli::kExitRefused;
  }
}
