// The watch verb: prints each change of a setting, a task's property or the
// task list as it happens, whoever makes it, with the old and the new value
// (one JSON object a line under --json). It compares what the folder
// answers before and after each change the folder watch reports.
#include <iostream>
#include <map>
#include <memory>

#include "cli.h"
#include "folder_model.h"
#include "folder_watch.h"

namespace orx::cli {
namespace {

struct WatchRequest {
  std::string target;  // PROP or CLASS, or empty
  Scope scope;
};

struct Observed {
  Json where;  // {"scope": ..., "task"/"provider": ..., "name": ...}
  std::string label;
  std::string value;
  bool stored = false;
};
using Observations = std::map<std::string, Observed>;

class Filter {
 public:
  // Returns an exit code after reporting an unknown target, or kExitOk.
  int Parse(const WatchRequest& request) {
    scope_ = request.scope;
    if (request.target.empty()) return kExitOk;
    if (const catalogue::PropertyClassInfo* info = FindClass(request.target)) {
      class_value_ = info->value;
      return kExitOk;
    }
    const auto property = ResolveOrReport(request.target);
    if (!property) return kExitUsage;
    property_id_ = property->id;
    return kExitOk;
  }

  bool Accepts(const Property* property, const std::string& task,
               const std::string& provider) const {
    if (scope_.HasTask() && !SameName(ToUtf16(task), ToUtf16(scope_.task))) return false;
    if (scope_.HasProvider() && !SameName(ToUtf16(provider), ToUtf16(scope_.provider))) {
      return false;
    }
    if (property == nullptr) return !property_id_ && !class_value_ && !scope_.HasProvider();
    if (property_id_ && property->id != *property_id_) return false;
    if (class_value_ && property->property_class->value != *class_value_) return false;
    return true;
  }

 private:
  Scope scope_;
  std::optional<uint32_t> property_id_;
  std::optional<uint32_t> class_value_;
};

void Observe(const ModelValues& values, const Json& where, const std::string& prefix,
             const std::string& task, const std::string& provider, const Filter& filter,
             Observations& out) {
  for (const ModelValue& value : values) {
    if (!filter.Accepts(&value.property, task, provider)) continue;
    Json at = where;
    at["name"] = UniqueName(value.property);
    const std::string label = prefix + UniqueName(value.property);
    out[label] = {at, label, value.value, value.stored};
  }
}

Observations ObserveFolder(const FolderModel& model, const Filter& filter) {
  Observations out;
  Observe(model.settings, {{"scope", "settings"}}, "", "", "", filter, out);
  for (const auto& [name, values] : model.providers) {
    Observe(values, {{"scope", "provider"}, {"provider", name}}, "provider " + name + " ", "", name,
            filter, out);
  }
  for (const ModelTask& task : model.tasks) {
    if (filter.Accepts(nullptr, task.id, "")) {
      const std::string key = SlotKeyOf(task.slot);
      out["task list " + key] = {
          {{"scope", "tasks"}, {"slot", key}}, "task list " + key, task.id, true};
    }
    Observe(task.properties, {{"scope", "task"}, {"task", task.id}}, "task " + task.id + " ",
            task.id, "", filter, out);
  }
  return out;
}

void Report(const Options& options, const Observed* before, const Observed* after) {
  const Observed& any = after != nullptr ? *after : *before;
  if (options.json) {
    Json line = any.where;
    line["old"] = before != nullptr ? Json(before->value) : Json(nullptr);
    line["new"] = after != nullptr ? Json(after->value) : Json(nullptr);
    line["stored"] = after != nullptr && after->stored;
    std::cout << line.dump(-1, ' ', false, Json::error_handler_t::replace) << std::endl;
    return;
  }
  const auto shown = [](const Observed* observed) {
    if (observed == nullptr) return std::string("(none)");
    return "\"" + Printable(observed->value) + "\"" + (observed->stored ? "" : " (default)");
  };
  std::cout << Printable(any.label) << ": " << shown(before) << " -> " << shown(after) << std::endl;
}

int Watch(const Options& options, const WatchRequest& request) {
  Filter filter;
  if (int code = filter.Parse(request); code != kExitOk) return code;
  std::string error;
  const std::unique_ptr<FolderWatch> watch = WatchFolder(DataFolder(), error);
  if (!watch) return Refuse("cannot watch " + DataFolder() + ": " + error, 5);
  FolderModel model;
  if (int32_t status = ReadFolder(model, error); status != 0) {
    return RefuseStatus("cannot read " + error, status);
  }
  Observations previous = ObserveFolder(model, filter);
  std::cerr << "orxprop: watching " << Printable(DataFolder()) << std::endl;
  while (watch->Next()) {
    FolderModel now;
    if (ReadFolder(now, error) != 0) continue;  // a file mid-change: the next event tells
    Observations current = ObserveFolder(now, filter);
    for (const auto& [key, before] : previous) {
      const auto after = current.find(key);
      if (after == current.end()) {
        Report(options, &before, nullptr);
      } else if (after->second.value != before.value || after->second.stored != before.stored) {
        Report(options, &before, &after->second);
      }
    }
    for (const auto& [key, after] : current) {
      if (!previous.count(key)) Report(options, nullptr, &after);
    }
    previous = std::move(current);
  }
  return kExitOk;
}

}  // namespace

void AddWatchCommand(CLI::App& app, const Options& options, Invocation& invocation) {
  auto request = std::make_shared<WatchRequest>();
  CLI::App* watch = app.add_subcommand(
      "watch", "Print each change of the settings and tasks as it happens (until interrupted)");
  watch->add_option("TARGET", request->target, "A property or a class to watch (default: all)");
  AddScopeOptions(*watch, request->scope);
  watch->callback([&, request] {
    invocation.writes = true;  // the folder must exist to be watched
    invocation.run = [&, request] { return Watch(options, *request); };
  });
}

}  // namespace orx::cli
