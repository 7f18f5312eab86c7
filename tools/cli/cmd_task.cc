// The task verbs: tasks list, create, copy, delete, remove and shrink, over
// the task-list exports of the public header. Task ids given on the command
// line are matched with the listed ones without regard to case, as the
// library matches sections.
#include <iostream>
#include <memory>
#include <vector>

#include "catalogue/property_names.h"
#include "cli.h"
#include "folder_model.h"

namespace orx::cli {
namespace {

constexpr uint32_t kIdCapacity = 4096;
constexpr uint32_t kKeyCapacity = 64;
// A new task's id is a GUID text: 38 units and the terminator.
constexpr uint32_t kGuidCapacity = 39;

// Walks the list with `last_slot` as orxGetNextTask takes it and collects
// the listed slots (free ones are skipped). 259 from the first step means
// slot 1 is free, which the list reports as empty.
int32_t WalkTasks(int32_t last_slot, std::vector<ListedTask>& rows) {
  std::vector<char16_t> id(kIdCapacity);
  char16_t key[kKeyCapacity];
  orxQuery query = nullptr;
  int32_t status = orxGetFirstTask(&query, Abi(id.data()), kIdCapacity, Abi(key), kKeyCapacity);
  if (status == ORX_STATUS_NO_MORE_ITEMS) return 0;
  while (status == 0) {
    if (id[0] != u'\0') {
      rows.push_back({SlotNumberOf(key).value_or(0), ToUtf8(key), ToUtf8(id.data())});
    }
    status = orxGetNextTask(query, last_slot);
  }
  orxCloseQuery(query);
  return status == ORX_STATUS_NO_MORE_ITEMS ? 0 : status;
}

// A task property by the catalogue's name for its identifier.
Property TaskProperty(catalogue::PropertyId id) { return FindProperty(HexId(id)).matches.front(); }

std::string TaskText(const std::string& id, const Property& property) {
  std::u16string value;
  if (ReadPropertyText(Scope{id, ""}, property, value) != 0) return "";
  return ToUtf8(value);
}

int List(const Options& options, bool all_slots) {
  WarnAboutLanguageModule();
  std::vector<ListedTask> rows;
  if (int32_t status = WalkTasks(all_slots ? LastSearchedSlot() : 0, rows); status != 0) {
    return RefuseStatus("cannot list the tasks", status);
  }
  const Property label_property = TaskProperty(catalogue::kTaskLabel);
  const Property deleted_property = TaskProperty(catalogue::kTaskDeleted);
  Json result = Json::array();
  for (const ListedTask& row : rows) {
    const std::string label = TaskText(row.id, label_property);
    const bool deleted = TaskText(row.id, deleted_property) == "1";
    if (options.json) {
      result.push_back(
          {{"slot", row.slot_key}, {"id", row.id}, {"label", label}, {"deleted", deleted}});
    } else {
      std::printf("%-9s %-40s %s%s\n", row.slot_key.c_str(), Printable(row.id).c_str(),
                  Printable(label).c_str(), deleted ? "  (deleted)" : "");
    }
  }
  if (options.json) PrintJson(result);
  return kExitOk;
}

int PrintTask(const Options& options, const std::string& id, const std::string& verb) {
  if (options.json) {
    const auto listed = FindListedTask(id);
    Json result{{"id", id}, {"done", verb}};
    if (listed) result["slot"] = listed->slot_key;
    PrintJson(result);
  } else if (verb == "created" || verb == "copied") {
    std::cout << Printable(id) << "\n";
  }
  return kExitOk;
}

int Create(const Options& options, const std::string& given_id) {
  if (!given_id.empty()) {
    std::u16string id = ToUtf16(given_id);
    if (int32_t status = orxCreateTask(Abi(id.data()), nullptr); status != 0) {
      return RefuseStatus("cannot register " + given_id, status);
    }
    return PrintTask(options, given_id, "created");
  }
  char16_t id[kGuidCapacity];
  uint32_t length = kGuidCapacity;
  if (int32_t status = orxCreateTask(Abi(id), &length); status != 0) {
    return RefuseStatus("cannot create a task", status);
  }
  return PrintTask(options, ToUtf8(id), "created");
}

int Copy(const Options& options, const std::string& source) {
  const auto listed = FindListedTask(source);
  if (!listed) return Refuse("no listed task has the id " + source);
  const std::u16string id = ToUtf16(listed->id);
  char16_t copy[kGuidCapacity];
  uint32_t length = kGuidCapacity;
  if (int32_t status = orxCopyTaskDefinition(Abi(id.c_str()), Abi(copy), &length); status != 0) {
    return RefuseStatus("cannot copy " + source, status);
  }
  return PrintTask(options, ToUtf8(copy), "copied");
}

int MarkDeleted(const Options& options, const std::string& task) {
  const auto listed = FindListedTask(task);
  if (!listed) return Refuse("no listed task has the id " + task);
  if (int32_t status = orxDeleteTask(Abi(ToUtf16(listed->id).c_str())); status != 0) {
    return RefuseStatus("cannot mark " + task, status);
  }
  return PrintTask(options, listed->id, "marked deleted");
}

int Remove(const Options& options, const std::string& slot_key, const std::string& task) {
  const auto listed = FindListedTask(task);
  if (!listed || !SameName(ToUtf16(listed->slot_key), ToUtf16(slot_key))) {
    return Refuse("slot " + slot_key + " does not hold the task " + task);
  }
  if (int32_t status = orxDeleteTaskDefinition(Abi(ToUtf16(listed->slot_key).c_str()),
                                               Abi(ToUtf16(listed->id).c_str()));
      status != 0) {
    return RefuseStatus("cannot remove " + task, status);
  }
  if (options.json)
    PrintJson({{"id", listed->id}, {"slot", listed->slot_key}, {"done", "removed"}});
  return kExitOk;
}

int Shrink(const Options& options, int32_t last_slot) {
  const int32_t status = orxShrinkTasks(last_slot);
  if (status == ORX_STATUS_NO_MORE_ITEMS) {
    return Refuse("slot 1 is free: nothing to compact", status);
  }
  if (status != 0) return RefuseStatus("cannot compact the task list", status);
  if (options.json) {
    std::vector<ListedTask> rows;
    if (WalkTasks(0, rows) != 0) rows.clear();
    PrintJson({{"done", "compacted"}, {"tasks", rows.size()}});
  }
  return kExitOk;
}

}  // namespace

std::optional<ListedTask> FindListedTask(const std::string& id) {
  std::vector<std::pair<int32_t, std::string>> slots;
  if (ReadTaskList(slots) != 0) return std::nullopt;
  const std::u16string wanted = ToUtf16(id);
  for (const auto& [slot, listed] : slots) {
    if (SameName(ToUtf16(listed), wanted)) return ListedTask{slot, SlotKeyOf(slot), listed};
  }
  return std::nullopt;
}

void AddTaskCommands(CLI::App& app, const Options& options, Invocation& invocation) {
  struct Arguments {
    std::string id, slot_key;
    bool all_slots = false;
    int32_t last_slot = LastSearchedSlot();
  };
  auto args = std::make_shared<Arguments>();
  CLI::App* tasks = app.add_subcommand("tasks", "List and change the scan tasks");
  tasks->require_subcommand(1);

  CLI::App* list = tasks->add_subcommand("list", "List the tasks: slot, id, label, deleted mark");
  list->add_flag("--all-slots", args->all_slots,
                 "Also list tasks after a gap in the numbering (up to slot 10000)");
  list->callback(
      [&, args] { invocation.run = [&, args] { return List(options, args->all_slots); }; });

  const auto writing = [&](std::function<int()> body) {
    invocation.writes = true;
    invocation.run = std::move(body);
  };
  CLI::App* create = tasks->add_subcommand("create", "Create a task and print its id");
  create->add_option("--id", args->id, "Register this id instead of making a new GUID");
  create->callback(
      [&, args, writing] { writing([&, args] { return Create(options, args->id); }); });

  CLI::App* copy = tasks->add_subcommand("copy", "Copy a listed task; prints the new id");
  copy->add_option("ID", args->id, "The task to copy")->required();
  copy->callback([&, args, writing] { writing([&, args] { return Copy(options, args->id); }); });

  CLI::App* mark = tasks->add_subcommand("delete", "Mark a listed task deleted (it stays listed)");
  mark->add_option("ID", args->id, "The task")->required();
  mark->callback(
      [&, args, writing] { writing([&, args] { return MarkDeleted(options, args->id); }); });

  CLI::App* remove =
      tasks->add_subcommand("remove", "Remove a task's slot and its whole definition");
  remove->add_option("SLOTKEY", args->slot_key, "The slot key, such as Task3")->required();
  remove->add_option("ID", args->id, "The task id the slot holds")->required();
  remove->callback([&, args, writing] {
    writing([&, args] { return Remove(options, args->slot_key, args->id); });
  });

  CLI::App* shrink = tasks->add_subcommand("shrink", "Close the gaps in the task numbering");
  shrink->add_option("--last", args->last_slot, "The highest slot to visit (default 10000)");
  shrink->callback(
      [&, args, writing] { writing([&, args] { return Shrink(options, args->last_slot); }); });
}

}  // namespace orx::cli
