// The task verbs: tasks list, create, copy, delete, remove and shrink, over
// the task-list exports of the public header.
#include <iostream>
#include <memory>
#include <vector>

#include "cli.h"

namespace orx::cli {
namespace {

using Json = nlohmann::ordered_json;

// The highest slot the library's free-slot search covers.
constexpr int32_t kHighestSlot = 10000;
constexpr uint32_t kIdCapacity = 4096;
constexpr uint32_t kKeyCapacity = 64;
constexpr uint32_t kLabelId = 0x20000;
constexpr uint32_t kDeletedId = 0x20020;

struct TaskRow {
  std::string slot_key;
  std::string id;
};

// Walks the list with `last_slot` as orxGetNextTask takes it and collects
// the listed slots (free ones are skipped). 259 from the first step means
// slot 1 is free, which the list reports as empty.
int32_t WalkTasks(int32_t last_slot, std::vector<TaskRow>& rows) {
  std::vector<char16_t> id(kIdCapacity);
  char16_t key[kKeyCapacity];
  orxQuery query = nullptr;
  int32_t status = orxGetFirstTask(&query, Abi(id.data()), kIdCapacity, Abi(key), kKeyCapacity);
  if (status == ORX_STATUS_NO_MORE_ITEMS) return 0;
  while (status == 0) {
    if (id[0] != u'\0') rows.push_back({ToUtf8(key), ToUtf8(id.data())});
    status = orxGetNextTask(query, last_slot);
  }
  orxCloseQuery(query);
  return status == ORX_STATUS_NO_MORE_ITEMS ? 0 : status;
}

std::optional<TaskRow> FindListed(const std::string& id) {
  std::vector<TaskRow> rows;
  if (WalkTasks(kHighestSlot, rows) != 0) return std::nullopt;
  for (const TaskRow& row : rows) {
    if (row.id == id) return row;
  }
  return std::nullopt;
}

std::string TaskText(const std::string& id, uint32_t property) {
  std::u16string value;
  Property entry;
  entry.id = property;
  ReadPropertyText(Scope{id, ""}, entry, value);
  return ToUtf8(value);
}

int List(const Options& options, bool all_slots) {
  std::vector<TaskRow> rows;
  if (int32_t status = WalkTasks(all_slots ? kHighestSlot : 0, rows); status != 0) {
    return RefuseStatus("cannot list the tasks", status);
  }
  Json result = Json::array();
  for (const TaskRow& row : rows) {
    const std::string label = TaskText(row.id, kLabelId);
    const bool deleted = TaskText(row.id, kDeletedId) == "1";
    if (options.json) {
      result.push_back(
          {{"slot", row.slot_key}, {"id", row.id}, {"label", label}, {"deleted", deleted}});
    } else {
      std::printf("%-9s %-40s %s%s\n", row.slot_key.c_str(), row.id.c_str(), label.c_str(),
                  deleted ? "  (deleted)" : "");
    }
  }
  if (options.json) PrintJson(result);
  return kExitOk;
}

int PrintNewId(const Options& options, const char16_t* id, const char* field) {
  if (options.json) {
    PrintJson({{field, ToUtf8(id)}});
  } else {
    std::cout << ToUtf8(id) << "\n";
  }
  return kExitOk;
}

int Create(const Options& options, const std::string& given_id) {
  if (!given_id.empty()) {
    std::u16string id = ToUtf16(given_id);
    if (int32_t status = orxCreateTask(Abi(id.data()), nullptr); status != 0) {
      return RefuseStatus("cannot register " + given_id, status);
    }
    return PrintNewId(options, id.c_str(), "id");
  }
  char16_t id[39];
  uint32_t length = 39;
  if (int32_t status = orxCreateTask(Abi(id), &length); status != 0) {
    return RefuseStatus("cannot create a task", status);
  }
  return PrintNewId(options, id, "id");
}

int Copy(const Options& options, const std::string& source) {
  if (!FindListed(source)) return Refuse("no listed task has the id " + source);
  const std::u16string id = ToUtf16(source);
  char16_t copy[39];
  uint32_t length = 39;
  if (int32_t status = orxCopyTaskDefinition(Abi(id.c_str()), Abi(copy), &length); status != 0) {
    return RefuseStatus("cannot copy " + source, status);
  }
  return PrintNewId(options, copy, "id");
}

int MarkDeleted(const std::string& task) {
  if (!FindListed(task)) return Refuse("no listed task has the id " + task);
  if (int32_t status = orxDeleteTask(Abi(ToUtf16(task).c_str())); status != 0) {
    return RefuseStatus("cannot mark " + task, status);
  }
  return kExitOk;
}

int Remove(const std::string& slot_key, const std::string& task) {
  const auto listed = FindListed(task);
  if (!listed || listed->slot_key != slot_key) {
    return Refuse("slot " + slot_key + " does not hold the task " + task);
  }
  if (int32_t status =
          orxDeleteTaskDefinition(Abi(ToUtf16(slot_key).c_str()), Abi(ToUtf16(task).c_str()));
      status != 0) {
    return RefuseStatus("cannot remove " + task, status);
  }
  return kExitOk;
}

int Shrink(int32_t last_slot) {
  const int32_t status = orxShrinkTasks(last_slot);
  if (status == ORX_STATUS_NO_MORE_ITEMS) return Refuse("slot 1 is free: nothing to compact");
  if (status != 0) return RefuseStatus("cannot compact the task list", status);
  return kExitOk;
}

}  // namespace

void AddTaskCommands(CLI::App& app, const Options& options, Invocation& invocation) {
  struct Arguments {
    std::string id, slot_key;
    bool all_slots = false;
    int32_t last_slot = kHighestSlot;
  };
  auto args = std::make_shared<Arguments>();
  CLI::App* tasks = app.add_subcommand("tasks", "List and change the scan tasks");
  tasks->require_subcommand(1);

  CLI::App* list = tasks->add_subcommand("list", "List the tasks: slot, id, label, deleted mark");
  list->add_flag("--all-slots", args->all_slots,
                 "Also list tasks after a gap in the numbering (up to slot 10000)");
  list->callback(
      [&, args] { invocation.run = [&, args] { return List(options, args->all_slots); }; });

  CLI::App* create = tasks->add_subcommand("create", "Create a task and print its id");
  create->add_option("--id", args->id, "Register this id instead of making a new GUID");
  create->callback([&, args] { invocation.run = [&, args] { return Create(options, args->id); }; });

  CLI::App* copy = tasks->add_subcommand("copy", "Copy a listed task; prints the new id");
  copy->add_option("ID", args->id, "The task to copy")->required();
  copy->callback([&, args] { invocation.run = [&, args] { return Copy(options, args->id); }; });

  CLI::App* mark = tasks->add_subcommand("delete", "Mark a listed task deleted (it stays listed)");
  mark->add_option("ID", args->id, "The task")->required();
  mark->callback([&, args] { invocation.run = [args] { return MarkDeleted(args->id); }; });

  CLI::App* remove =
      tasks->add_subcommand("remove", "Remove a task's slot and its whole definition");
  remove->add_option("SLOTKEY", args->slot_key, "The slot key, such as Task3")->required();
  remove->add_option("ID", args->id, "The task id the slot holds")->required();
  remove->callback(
      [&, args] { invocation.run = [args] { return Remove(args->slot_key, args->id); }; });

  CLI::App* shrink = tasks->add_subcommand("shrink", "Close the gaps in the task numbering");
  shrink->add_option("--last", args->last_slot, "The highest slot to visit (default 10000)");
  shrink->callback([&, args] { invocation.run = [args] { return Shrink(args->last_slot); }; });
}

}  // namespace orx::cli
