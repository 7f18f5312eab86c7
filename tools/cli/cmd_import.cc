// The import verb: stores the values of a JSON file (or standard input) as
// dump writes them. A scope's dump ({"CLASS.Key": ...}) sets the stored
// values of that scope and resets the others; a full dump (dump --all) makes
// the folder answer as the dumped one did, task slots and provider files
// included. Every entry is checked with the library's own rules before the
// first write, and a failed import changes nothing (edit_plan.h).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "cli.h"
#include "edit_plan.h"
#include "folder_model.h"
#include "json_input.h"
#include "scope_rules.h"

namespace orx::cli {
namespace {

struct ImportRequest {
  std::string path;
  Scope scope;
  bool raw = false, force = false;
};

// Converts one entry: a text, an integer, or an object with "value" (and
// "stored": false for a value to reset). Returns an error or empty.
std::string EntryText(const Property& property, const Json& given, bool raw, bool& stored,
                      std::string& text) {
  const std::string name = ClassDotKey(property);
  Json value = given;
  stored = true;
  if (given.is_object()) {
    if (given.contains("stored") && !given["stored"].is_boolean()) {
      return name + ": \"stored\" must be true or false";
    }
    stored = given.value("stored", true);
    if (!stored) return "";
    if (!given.contains("value")) return name + ": the object has no \"value\"";
    value = given["value"];
  }
  if (value.is_number_integer()) {
    if (!value.is_number_unsigned() && value.get<int64_t>() >= INT32_MIN &&
        value.get<int64_t>() <= INT32_MAX) {
      text = std::to_string(value.get<int64_t>());
      return "";
    }
    if (value.is_number_unsigned() && value.get<uint64_t>() <= INT32_MAX) {
      text = std::to_string(value.get<uint64_t>());
      return "";
    }
    return name + ": " + value.dump() + " lies outside the 32-bit range";
  }
  if (!value.is_string()) return name + ": the value must be a text or a 32-bit integer";
  text = value.get<std::string>();
  if (IsIntegerProperty(property) && !raw && !ReadInteger(ToUtf16(text)).IsClean()) {
    return name + " is an integer setting; '" + text +
           "' is not a 32-bit integer (give --raw to store the text anyway)";
  }
  return "";
}

// Adds the edits that make `scope`'s values those of `given` (an object of
// names to entries): stored entries set, every other property of the scope
// reset. `only_given`: leave properties the object does not name alone.
std::string PlanScope(const Scope& scope, const Json& given, bool raw, bool only_given,
                      EditPlan& plan, size_t& count) {
  if (!given.is_object()) return "the values must be a JSON object of properties";
  std::map<uint32_t, std::pair<bool, std::string>> wanted;  // id -> (stored, text)
  for (const auto& [name, entry] : given.items()) {
    const PropertyLookup lookup = FindProperty(name);
    if (lookup.matches.size() != 1) return lookup.error;
    const Property& property = lookup.matches.front();
    bool stored = true;
    std::string text;
    if (std::string error = EntryText(property, entry, raw, stored, text); !error.empty()) {
      return error;
    }
    wanted[property.id] = {stored, text};
  }
  std::vector<Property> every;
  ListProperties("", every);
  for (const Property& property : every) {
    const bool in_scope = InScope(scope, property);
    const auto found = wanted.find(property.id);
    if (!in_scope) {
      if (found != wanted.end()) {
        return ClassDotKey(property) + " does not belong to this scope" +
               (scope.HasTask()       ? " (a task's properties)"
                : scope.HasProvider() ? " (a provider's settings)"
                                      : " (give --task or --provider)");
      }
      continue;
    }
    if (found == wanted.end() && only_given) continue;
    const std::string file = FileIn(scope, property);
    const std::u16string section = SectionIn(scope, property);
    if (found != wanted.end() && found->second.first) {
      plan.Set(file, section, property.entry->key, ToUtf16(found->second.second),
               ClassDotKey(property));
      ++count;
    } else {
      plan.Remove(file, section, property.entry->key, ClassDotKey(property));
    }
  }
  return "";
}

// Why `id` cannot name a task's section, or empty.
std::string TaskIdProblem(const std::string& id) {
  const std::u16string text = ToUtf16(id);
  if (text.empty()) return "a task id cannot be empty";
  if (SameName(text, ScannerSection()) || SameName(text, TaskPlaceholderSection())) {
    return "the task id " + id + " names a section the library itself uses";
  }
  std::vector<Property> every;
  ListProperties("", every);
  for (const Property& property : every) {
    if (FileOf(property) == MainFile() && SameName(text, property.entry->section)) {
      return "the task id " + id + " names a section the library itself uses";
    }
  }
  return "";
}

std::string PlanFolder(const Json& dump, bool raw, EditPlan& plan, size_t& count,
                       std::vector<std::string>& provider_files) {
  if (!dump.contains("version") || dump["version"] != kDumpVersion) {
    return "this dump has a version this orxprop does not read";
  }
  FolderModel target;
  std::string failed;
  if (int32_t status = ReadFolder(target, failed); status != 0) {
    return "cannot read " + failed + " of the target folder (" + std::to_string(status) + ")";
  }
  const Json empty = Json::object();
  const Json& settings = dump.contains("settings") ? dump["settings"] : empty;
  if (std::string error = PlanScope(Scope{}, settings, raw, false, plan, count); !error.empty()) {
    return error;
  }

  const Json& providers = dump.contains("providers") ? dump["providers"] : empty;
  if (!providers.is_object()) return "\"providers\" must be an object";
  for (const auto& [name, values] : providers.items()) {
    if (std::string problem = ProviderNameProblem(name); !problem.empty()) {
      return "provider " + name + ": " + problem;
    }
    if (std::string error = PlanScope(Scope{"", name}, values, raw, false, plan, count);
        !error.empty()) {
      return "provider " + name + ": " + error;
    }
    provider_files.push_back(name + ".ini");
  }
  for (const auto& [name, values] : target.providers) {
    if (!providers.contains(name)) PlanScope(Scope{"", name}, empty, raw, false, plan, count);
  }

  const Json tasks = dump.contains("tasks") ? dump["tasks"] : Json::array();
  if (!tasks.is_array()) return "\"tasks\" must be an array";
  std::set<int32_t> slots;
  std::vector<std::u16string> ids;
  for (const Json& task : tasks) {
    if (!task.is_object() || !task.contains("slot") || !task["slot"].is_number_integer() ||
        !task.contains("id") || !task["id"].is_string()) {
      return "each task needs a \"slot\" number and an \"id\" text";
    }
    const int64_t slot = task["slot"].get<int64_t>();
    const std::string id = task["id"].get<std::string>();
    if (slot < 1 || slot > INT32_MAX || !slots.insert(static_cast<int32_t>(slot)).second) {
      return "task " + id + ": slot " + std::to_string(slot) + " is not a free positive slot";
    }
    if (std::string problem = TaskIdProblem(id); !problem.empty()) return problem;
    for (const std::u16string& other : ids) {
      if (SameName(other, ToUtf16(id))) return "the task id " + id + " is listed twice";
    }
    ids.push_back(ToUtf16(id));
  }
  // The target's task list: slots the dump does not hold are freed, tasks
  // it does not list lose their sections.
  for (const ModelTask& task : target.tasks) {
    if (!slots.count(task.slot)) {
      plan.Remove(MainFile(), ScannerSection(), ToUtf16(SlotKeyOf(task.slot)), "the task list");
    }
    const bool kept = std::any_of(ids.begin(), ids.end(), [&](const std::u16string& id) {
      return SameName(id, ToUtf16(task.id));
    });
    if (!kept) plan.RemoveSection(MainFile(), ToUtf16(task.id), "task " + task.id);
  }
  for (const Json& task : tasks) {
    const std::string id = task["id"].get<std::string>();
    plan.Set(MainFile(), ScannerSection(), ToUtf16(SlotKeyOf(task["slot"].get<int32_t>())),
             ToUtf16(id), "task " + id);
    const Json& values = task.contains("properties") ? task["properties"] : empty;
    if (std::string error = PlanScope(Scope{id, ""}, values, raw, false, plan, count);
        !error.empty()) {
      return "task " + id + ": " + error;
    }
  }
  return "";
}

int Import(const Options& options, ImportRequest request) {
  std::string text;
  if (request.path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), {});
  } else {
    std::ifstream in(request.path, std::ios::binary);
    if (!in) return Refuse("cannot open " + request.path, 2);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::string error;
  const auto document = ParseJsonInput(text, error);
  if (!document) return Refuse(request.path + ": " + error);
  if (!document->is_object()) return Refuse(request.path + ": not a JSON object of properties");

  EditPlan plan;
  size_t count = 0;
  std::vector<std::string> provider_files;
  const bool full = document->contains("format") && (*document)["format"] == kDumpFormat;
  if (full) {
    if (request.scope.HasTask() || request.scope.HasProvider()) {
      return Refuse("a full dump is imported without --task or --provider", 87, kExitUsage);
    }
    error = PlanFolder(*document, request.raw, plan, count, provider_files);
  } else {
    if (request.scope.HasTask()) {
      if (const auto listed = FindListedTask(request.scope.task)) {
        request.scope.task = listed->id;
      } else if (!request.force) {
        return Refuse("no listed task has the id " + request.scope.task +
                      "; give --force to write a section for it anyway");
      }
    }
    if (request.scope.HasProvider()) error = ProviderNameProblem(request.scope.provider);
    if (error.empty()) error = PlanScope(request.scope, *document, request.raw, true, plan, count);
  }
  if (!error.empty()) return Refuse(request.path + ": " + error);
  if (int32_t status = plan.Apply(error); status != 0) return Refuse(error, status);
  // A provider file the dump lists answers even with every setting at its
  // default: make it, empty, where no edit did.
  for (const std::string& file : provider_files) {
    std::error_code exists_error;
    if (!std::filesystem::exists(SettingsPath(file), exists_error)) {
      std::ofstream made(SettingsPath(file), std::ios::binary);
      if (!made) return Refuse("cannot write " + SettingsPath(file), 5);
    }
  }
  if (options.json) PrintJson({{"imported", count}});
  return kExitOk;
}

}  // namespace

void AddImportCommand(CLI::App& app, const Options& options, Invocation& invocation) {
  auto request = std::make_shared<ImportRequest>();
  CLI::App* import = app.add_subcommand(
      "import", "Store the values of a JSON dump ('dump --json' or 'dump --all --json')");
  import->add_option("FILE", request->path, "The JSON file, or - for standard input")->required();
  import->add_flag("--raw", request->raw,
                   "Accept text that is not an integer for integer settings");
  import->add_flag("--force", request->force, "Import into a task that is not listed");
  AddScopeOptions(*import, request->scope);
  import->callback([&, request] {
    invocation.writes = true;
  invocation.run = [&, request] { return Import(options, *request); };
});
}  // namespace orx::cli

}  // namespace orx::cli
