// orxprop: reads and changes the product's settings and scan tasks from the
// command line. The global options are parsed here; each verb lives in the
// file of its family (cmd_property.cc, cmd_dump.cc, cmd_import.cc,
// cmd_task.cc, cmd_check.cc, cmd_watch.cc).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "cli.h"
#include "suggest.h"

namespace orx::cli {

void AddScopeOptions(CLI::App& command, Scope& scope) {
  auto* task = command.add_option("--task", scope.task, "Work on the task with this id");
  auto* provider =
      command.add_option("--provider", scope.provider, "Work on this provider's settings");
  task->excludes(provider);
}

std::optional<Property> ResolveOrReport(const std::string& name) {
  PropertyLookup lookup = FindProperty(name);
  if (lookup.matches.size() == 1) return lookup.matches.front();
  Refuse(lookup.error, 87, kExitUsage);
  return std::nullopt;
}

namespace {

// On Windows the library reads the environment as UTF-16
// (GetEnvironmentVariableW); _wputenv_s sets both that and the C runtime's
// copy.
void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  const std::u16string wide_name = ToUtf16(name);
  const std::u16string wide_value = ToUtf16(value);
  _wputenv_s(reinterpret_cast<const wchar_t*>(wide_name.c_str()),
             reinterpret_cast<const wchar_t*>(wide_value.c_str()));
#else
  setenv(name, value.c_str(), 1);
#endif
}

constexpr const char* kExitCodesHelp =
    "Exit status: 0 success, 1 the operation was refused (the message says why), 2 bad usage,\n"
    "3 'check' found something to report.\n"
    "Properties are named by identifier (0x20019), CLASS.Key (task.SchedDays) or a key alone\n"
    "when one class has it (UpdatePeriod); classes: general task email filesystem p2p im web\n"
    "network script antispam provider.";

bool HasValue(const char* option) {
  return std::strcmp(option, "--data-folder") == 0 || std::strcmp(option, "--language-module") == 0;
}

// The first word that is neither a global option nor its value: the verb.
std::string VerbOf(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return argv[i];
    if (HasValue(argv[i])) ++i;
  }
  return "";
}

bool WantsJson(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) return true;
  }
  return false;
}

int MakeDataFolder() {
  std::error_code error;
  std::filesystem::create_directories(DataFolder(), error);
  if (error) {
    return Refuse("cannot create the data folder " + DataFolder() + ": " + error.message(),
                  error == std::errc::permission_denied ? 5 : 3);
  }
  return kExitOk;
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
  app.add_flag("--json", options.json, "Print results (and refusals) as JSON");

  Invocation invocation;
  AddPropertyCommands(app, options, invocation);
  AddDumpCommands(app, options, invocation);
  AddImportCommand(app, options, invocation);
  AddTaskCommands(app, options, invocation);
  AddCheckCommand(app, options, invocation);
  AddWatchCommand(app, options, invocation);
  SetJsonErrors(WantsJson(argc, argv));

  if (const std::string verb = VerbOf(argc, argv); !verb.empty()) {
    std::vector<std::string> verbs;
    for (const CLI::App* command : app.get_subcommands({})) verbs.push_back(command->get_name());
    if (std::find(verbs.begin(), verbs.end(), verb) == verbs.end()) {
      return Refuse("unknown verb '" + verb + "'" + DidYouMean(Closest(verb, verbs)), 87,
                    kExitUsage);
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    if (options.json || WantsJson(argc, argv)) return Refuse(error.what(), 87, kExitUsage);
    app.exit(error);
    return kExitUsage;
  }

  if (!options.data_folder.empty()) SetVariable("ORX_DATA_FOLDER", options.data_folder);
  if (!options.language_module.empty()) SetVariable("ORX_LANGUAGE_MODULE", options.language_module);
  orxPropertyInitLibrary();
  int code = invocation.writes ? MakeDataFolder() : kExitOk;
  if (code == kExitOk) code = invocation.run();
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
