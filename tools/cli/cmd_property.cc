// The property verbs: get, set, reset, list and describe. Reads and writes
// go through the public header; reset, the one verb that removes a key, goes
// through the store's atomic edit (edit_plan.h).
#include <iostream>
#include <memory>
#include <vector>

#include "cli.h"
#include "edit_plan.h"
#include "folder_model.h"
#include "scope_rules.h"

namespace orx::cli {
namespace {

int32_t WriteProperty(const Scope& scope, const Property& property, const std::string& value,
                      std::optional<int32_t> integer) {
  const std::u16string task = ToUtf16(scope.task), provider = ToUtf16(scope.provider);
  const std::u16string text = ToUtf16(value);
  if (scope.HasTask()) {
    return integer ? orxSetTaskPropertyInt(Abi(task.c_str()), property.id, *integer)
                   : orxSetTaskProperty(Abi(task.c_str()), property.id, Abi(text.c_str()));
  }
  if (scope.HasProvider()) {
    return integer ? orxSetProviderPropertyInt(Abi(provider.c_str()), property.id, *integer)
                   : orxSetProviderProperty(Abi(provider.c_str()), property.id, Abi(text.c_str()));
  }
  return integer ? orxSetPropertyInt(property.id, *integer)
                 : orxSetProperty(property.id, Abi(text.c_str()));
}

Json Describe(const Property& property) {
  return Json{{"id", HexId(property.id)},
              {"name", UniqueName(property)},
              {"class", property.property_class->name},
              {"file", FileOf(property)},
              {"section", SectionOf(property)},
              {"key", KeyOf(property)},
              {"default", DefaultOf(property)},
              {"integer", IsIntegerProperty(property)}};
}

int Get(const Options& options, const std::string& name, Scope scope, bool as_int) {
  const auto property = ResolveOrReport(name);
  if (!property) return kExitUsage;
  if (int code = FitScope(scope, *property, false, false); code != kExitOk) return code;
  NoteMissingProviderFile(scope);
  if (property->property_class->value == catalogue::kTaskClass) WarnAboutLanguageModule();
  Json result{{"id", HexId(property->id)}, {"name", UniqueName(*property)}};
  if (as_int) {
    int32_t value = 0;
    if (int32_t status = ReadPropertyInt(scope, *property, value); status != 0) {
      return RefuseStatus("cannot read " + name, status);
    }
    result["value"] = value;
  } else {
    std::u16string value;
    if (int32_t status = ReadPropertyText(scope, *property, value); status != 0) {
      return RefuseStatus("cannot read " + name, status);
    }
    result["value"] = ValueAsJson(*property, ToUtf8(value));
  }
  if (options.json) {
    PrintJson(result);
  } else {
    const Json& value = result["value"];
    std::cout << (value.is_string() ? Printable(value.get<std::string>()) : value.dump()) << "\n";
  }
  return kExitOk;
}

struct SetRequest {
  std::string name, value;
  Scope scope;
  bool as_int = false, raw = false, force = false;
};

int Set(const Options& options, SetRequest request) {
  const auto property = ResolveOrReport(request.name);
  if (!property) return kExitUsage;
  if (int code = FitScope(request.scope, *property, true, request.force); code != kExitOk) {
    return code;
  }
  std::optional<int32_t> integer;
  const IntegerReading reading = ReadInteger(ToUtf16(request.value));
  if (request.as_int) {
    if (!reading.IsClean()) {
      return Refuse("'" + request.value + "' is not a 32-bit integer", 87, kExitUsage);
    }
    integer = reading.value;
  } else if (IsIntegerProperty(*property) && !request.raw && !reading.IsClean()) {
    return Refuse(ClassDotKey(*property) + " is an integer setting; '" + request.value +
                  "' is not a 32-bit integer (give --raw to store the text anyway)");
  }
  NoteMissingProviderFile(request.scope);
  if (int32_t status = WriteProperty(request.scope, *property, request.value, integer);
      status != 0) {
    return Refuse(WriteFailure(request.scope, *property, request.value, status), status);
  }
  if (options.json) {
    PrintJson({{"id", HexId(property->id)},
               {"name", UniqueName(*property)},
               {"value", integer ? Json(*integer) : ValueAsJson(*property, request.value)}});
  }
  return kExitOk;
}

int Reset(const Options& options, const std::string& name, Scope scope, bool all, bool force) {
  std::vector<Property> properties;
  if (all == !name.empty()) {
    return Refuse("give either PROP or --all", 87, kExitUsage);
  }
  if (all) {
    std::vector<Property> every;
    ListProperties("", every);
    for (const Property& property : every) {
      if (InScope(scope, property)) properties.push_back(property);
    }
  } else {
    const auto property = ResolveOrReport(name);
    if (!property) return kExitUsage;
    properties.push_back(*property);
  }
  if (int code = FitScope(scope, properties.front(), true, force); code != kExitOk) return code;
  NoteMissingProviderFile(scope);
  EditPlan plan;
  for (const Property& property : properties) {
    plan.Remove(FileIn(scope, property), SectionIn(scope, property), property.entry->key,
                ClassDotKey(property));
  }
  std::string error;
  if (int32_t status = plan.Apply(error); status != 0) return Refuse(error, status);
  if (options.json) {
    Json names = Json::array();
    for (const Property& property : properties) names.push_back(UniqueName(property));
    PrintJson({{"reset", names}});
  }
  return kExitOk;
}

int List(const Options& options, const std::string& class_name) {
  std::vector<Property> properties;
  if (!ListProperties(class_name, properties)) {
    return Refuse("unknown property class '" + class_name + "'", 87, kExitUsage);
  }
  if (options.json) {
    Json rows = Json::array();
    for (const Property& property : properties) rows.push_back(Describe(property));
    PrintJson(rows);
    return kExitOk;
  }
  for (const Property& property : properties) {
    std::printf("%-10s %-44s %-20s %-14s %s\n", HexId(property.id).c_str(),
                UniqueName(property).c_str(), FileOf(property).c_str(), SectionOf(property).c_str(),
                ("\"" + DefaultOf(property) + "\"").c_str());
  }
  return kExitOk;
}

int DescribeOne(const Options& options, const std::string& name) {
  const auto property = ResolveOrReport(name);
  if (!property) return kExitUsage;
  const Json description = Describe(*property);
  if (options.json) {
    PrintJson(description);
    return kExitOk;
  }
  for (const auto& [field, value] : description.items()) {
    std::cout << field << ": " << (value.is_string() ? value.get<std::string>() : value.dump())
              << "\n";
  }
  return kExitOk;
}

}  // namespace

int32_t ReadPropertyText(const Scope& scope, const Property& property, std::u16string& out) {
  const std::u16string task = ToUtf16(scope.task), provider = ToUtf16(scope.provider);
  // Grow the buffer until the value fits with room to spare.
  for (uint32_t capacity = 1024;; capacity *= 4) {
    std::vector<char16_t> buffer(capacity);
    const int32_t status =
        scope.HasTask()
            ? orxGetTaskProperty(Abi(task.c_str()), property.id, Abi(buffer.data()), capacity)
        : scope.HasProvider() ? orxGetProviderProperty(Abi(provider.c_str()), property.id,
                                                       Abi(buffer.data()), capacity)
                              : orxGetProperty(property.id, Abi(buffer.data()), capacity);
    if (status != 0) return status;
    const size_t length = std::char_traits<char16_t>::length(buffer.data());
    if (length + 1 < capacity || capacity >= (1u << 26)) {
      out.assign(buffer.data(), length);
      return 0;
    }
  }
}

int32_t ReadPropertyInt(const Scope& scope, const Property& property, int32_t& out) {
  const std::u16string task = ToUtf16(scope.task), provider = ToUtf16(scope.provider);
  if (scope.HasTask()) return orxGetTaskPropertyInt(Abi(task.c_str()), property.id, &out);
  if (scope.HasProvider())
    return orxGetProviderPropertyInt(Abi(provider.c_str()), property.id, &out);
  return orxGetPropertyInt(property.id, &out);
}

void AddPropertyCommands(CLI::App& app, const Options& options, Invocation& invocation) {
  // The command line outlives the parse, so the arguments are kept here.
  struct Arguments {
    SetRequest request;
    std::string class_name;
    bool all = false;
  };
  auto args = std::make_shared<Arguments>();
  SetRequest& r = args->request;
  constexpr const char* kPropHelp = "Identifier (0x20019), CLASS.Key or a key of one class";

  CLI::App* get = app.add_subcommand("get", "Print a property's value (stored or default)");
  get->add_option("PROP", r.name, kPropHelp)->required();
  get->add_flag("--int", r.as_int, "Read the value as an integer");
  AddScopeOptions(*get, r.scope);
  get->callback([&, args] {
    invocation.run = [&, args] {
      return Get(options, args->request.name, args->request.scope, args->request.as_int);
    };
  });

  CLI::App* set = app.add_subcommand("set", "Store a property's value");
  set->add_option("PROP", r.name, kPropHelp)->required();
  set->add_option("VALUE", r.value, "The text to store")->required();
  set->add_flag("--int", r.as_int, "Store VALUE through the integer interface");
  set->add_flag("--raw", r.raw, "Store text that is not an integer in an integer setting");
  set->add_flag("--force", r.force,
                "Write for a task that is not listed, or a task property without --task");
  set->footer("'orxprop reset PROP' removes the stored value so the default applies again.");
  AddScopeOptions(*set, r.scope);
  set->callback([&, args] {
    invocation.writes = true;
    invocation.run = [&, args] { return Set(options, args->request); };
  });

  CLI::App* reset = app.add_subcommand(
      "reset", "Remove a stored value (or, with --all, every one of the scope): defaults apply");
  reset->add_option("PROP", r.name, kPropHelp);
  reset->add_flag("--all", args->all, "Reset every property of the scope");
  reset->add_flag("--force", r.force, "Reset for a task that is not listed");
  AddScopeOptions(*reset, r.scope);
  reset->callback([&, args] {
    invocation.writes = true;
    invocation.run = [&, args] {
      return Reset(options, args->request.name, args->request.scope, args->all,
                   args->request.force);
    };
  });

  CLI::App* list = app.add_subcommand("list", "List the catalogue (all classes or one)");
  list->add_option("CLASS", args->class_name, "general task email filesystem p2p im web ...");
  list->callback(
      [&, args] { invocation.run = [&, args] { return List(options, args->class_name); }; });

  CLI::App* describe = app.add_subcommand("describe", "Show where a property lives");
  describe->add_option("PROP", r.name, kPropHelp)->required();
  describe->callback([&, args] {
    invocation.run = [&, args] { return DescribeOne(options, args->request.name); };
  });
}

}  // namespace orx::cli
