// The dump verb: every value of a scope, or with --all of the whole folder,
// beside its default, stored values marked. Its JSON form is what import
// reads back (docs/dump-format.md).
#include <cstdio>
#include <memory>

#include "cli.h"
#include "folder_model.h"
#include "scope_rules.h"

namespace orx::cli {
namespace {

void PrintValues(const ModelValues& values) {
  for (const ModelValue& value : values) {
    std::string line = std::string(value.stored ? "* " : "  ");
    char padded[64];
    std::snprintf(padded, sizeof padded, "%-44s", UniqueName(value.property).c_str());
    line += padded;
    line += " = " + Printable(value.value);
    if (!value.shown.empty()) line += " (shows \"" + Printable(value.shown) + "\")";
    line += "  (default \"" + Printable(DefaultOf(value.property)) + "\")";
    std::printf("%s\n", line.c_str());
  }
}

int DumpScope(const Options& options, Scope scope) {
  if (scope.HasTask()) {
    if (const auto listed = FindListedTask(scope.task)) scope.task = listed->id;
    WarnAboutLanguageModule();
  }
  if (scope.HasProvider()) {
    if (const std::string problem = ProviderNameProblem(scope.provider); !problem.empty()) {
      return Refuse(problem);
    }
    NoteMissingProviderFile(scope);
  }
  ModelValues values;
  if (int32_t status = ReadScope(scope, values); status != 0) {
    return RefuseStatus("cannot read the settings", status);
  }
  if (options.json) {
    PrintJson(ToJson(values));
  } else {
    PrintValues(values);
  }
  return kExitOk;
}

int DumpAll(const Options& options) {
  WarnAboutLanguageModule();
  FolderModel model;
  std::string failed;
  if (int32_t status = ReadFolder(model, failed); status != 0) {
    return RefuseStatus("cannot read " + failed, status);
  }
  if (options.json) {
    PrintJson(ToJson(model));
    return kExitOk;
  }
  std::printf("[settings]\n");
  PrintValues(model.settings);
  for (const auto& [name, values] : model.providers) {
    std::printf("\n[provider %s]\n", Printable(name).c_str());
    PrintValues(values);
  }
  for (const ModelTask& task : model.tasks) {
    std::printf("\n[task %s %s]\n", SlotKeyOf(task.slot).c_str(), Printable(task.id).c_str());
    PrintValues(task.properties);
  }
  return kExitOk;
}

}  // namespace

void AddDumpCommands(CLI::App& app, const Options& options, Invocation& invocation) {
  struct Arguments {
    Scope scope;
    bool all = false;
  };
  auto args = std::make_shared<Arguments>();
  CLI::App* dump =
      app.add_subcommand("dump", "Print every value beside its default; '*' marks the stored ones");
  AddScopeOptions(*dump, args->scope);
  auto* all = dump->add_flag("--all", args->all,
                             "Every scope: settings, provider files, tasks (a full backup)");
  all->excludes("--task")->excludes("--provider");
  dump->callback([&, args] {
    invocation.run = [&, args] {
      return args->all ? DumpAll(options) : DumpScope(options, args->scope);
    };
  });
}

}  // namespace orx::cli
