// The property verbs: get, set, list, describe, dump and import. Values are
// read and written through the public header only; dump also asks the
// engine's parser whether a value is stored or the default.
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "cli.h"
#include "stored_values.h"

namespace orx::cli {
namespace {

using Json = nlohmann::ordered_json;

// A property's mode must fit its class: task properties want a task (or
// none, for the placeholder section), provider settings want a provider.
bool ScopeFits(const Scope& scope, const Property& property, std::string& why) {
  const bool provider_class = catalogue::IsInProviderRange(property.id);
  if (provider_class && !scope.HasProvider()) {
    why = ClassDotKey(property) + " is a provider setting: give --provider NAME";
  } else if (scope.HasTask() && provider_class) {
    why = ClassDotKey(property) + " is a provider setting, not a task property";
  }
  return why.empty();
}

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

std::optional<int32_t> ParseInt32(const std::string& text) {
  try {
    size_t used = 0;
    const long long value = std::stoll(text, &used, 10);
    if (used == text.size() && value >= INT32_MIN && value <= INT32_MAX) {
      return static_cast<int32_t>(value);
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
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

int Get(const Options& options, const std::string& name, const Scope& scope, bool as_int) {
  const auto property = ResolveOrReport(name);
  if (!property) return kExitUsage;
  if (std::string why; !ScopeFits(scope, *property, why)) return Refuse(why);
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
    result["value"] = ToUtf8(value);
  }
  if (options.json) {
    PrintJson(result);
  } else if (as_int) {
    std::cout << result["value"].get<int32_t>() << "\n";
  } else {
    std::cout << result["value"].get<std::string>() << "\n";
  }
  return kExitOk;
}

int Set(const Options& options, const std::string& name, const std::string& value,
        const Scope& scope, bool as_int) {
  const auto property = ResolveOrReport(name);
  if (!property) return kExitUsage;
  if (std::string why; !ScopeFits(scope, *property, why)) return Refuse(why);
  std::optional<int32_t> integer;
  if (as_int && !(integer = ParseInt32(value))) {
    Refuse("'" + value + "' is not a 32-bit integer");
    return kExitUsage;
  }
  if (int32_t status = WriteProperty(scope, *property, value, integer); status != 0) {
    return RefuseStatus("cannot set " + name, status);
  }
  if (options.json) {
    PrintJson({{"id", HexId(property->id)}, {"name", UniqueName(*property)}, {"value", value}});
  }
  return kExitOk;
}

int List(const Options& options, const std::string& class_name) {
  std::vector<Property> properties;
  if (!ListProperties(class_name, properties)) {
    Refuse("unknown property class '" + class_name + "'");
    return kExitUsage;
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

// The classes a dump covers: the plain ones, or the one its scope names.
bool InDump(const Scope& scope, const Property& property) {
  const uint32_t value = property.property_class->value;
  if (scope.HasTask()) return value == catalogue::kTaskClass;
  if (scope.HasProvider()) return value == catalogue::kProviderClass;
  return value != catalogue::kTaskClass && value != catalogue::kProviderClass;
}

int Dump(const Options& options, const Scope& scope) {
  std::vector<Property> properties;
  ListProperties("", properties);
  StoredValues stored(scope);
  Json result = Json::object();
  for (const Property& property : properties) {
    if (!InDump(scope, property)) continue;
    std::u16string value;
    if (int32_t status = ReadPropertyText(scope, property, value); status != 0) {
      return RefuseStatus("cannot read " + ClassDotKey(property), status);
    }
    const bool is_stored = stored.IsStored(property);
    if (options.json) {
      result[UniqueName(property)] =
          Json{{"value", ToUtf8(value)}, {"default", DefaultOf(property)}, {"stored", is_stored}};
    } else {
      std::printf("%c %-44s = %-24s (default \"%s\")\n", is_stored ? '*' : ' ',
                  UniqueName(property).c_str(), ToUtf8(value).c_str(), DefaultOf(property).c_str());
    }
  }
  if (options.json) PrintJson(result);
  return kExitOk;
}

struct ImportEntry {
  Property property;
  std::string value;
  std::optional<int32_t> integer;
};

// Checks the whole file before the first write: one bad entry refuses it.
int Import(const Options& options, const std::string& path, const Scope& scope) {
  std::ifstream in(path);
  if (!in) return Refuse("cannot open " + path);
  Json document = Json::parse(in, nullptr, /*allow_exceptions=*/false);
  if (!document.is_object()) return Refuse(path + " is not a JSON object of properties to values");
  std::vector<ImportEntry> entries;
  for (const auto& [name, given] : document.items()) {
    Json value = given;
    if (value.is_object()) {
      if (value.contains("stored") && value["stored"] == false) continue;  // a default
      if (!value.contains("value")) return Refuse(name + ": the object has no \"value\"");
      value = value["value"];
    }
    const auto property = ResolveOrReport(name);
    if (!property) return kExitRefused;  // the file is refused, not the command line
    if (std::string why; !ScopeFits(scope, *property, why)) return Refuse(why);
    if (value.is_string()) {
      entries.push_back({*property, value.get<std::string>(), std::nullopt});
    } else if (value.is_number_integer() && ParseInt32(value.dump())) {
      entries.push_back({*property, value.dump(), ParseInt32(value.dump())});
    } else {
      return Refuse(name + ": the value must be a text or a 32-bit integer");
    }
  }
  for (const ImportEntry& entry : entries) {
    if (int32_t status = WriteProperty(scope, entry.property, entry.value, entry.integer);
        status != 0) {
      return RefuseStatus("cannot set " + ClassDotKey(entry.property), status);
    }
  }
  if (options.json) PrintJson({{"imported", entries.size()}});
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
    std::string name, value, class_name, path;
    Scope scope;
    bool as_int = false;
  };
  auto args = std::make_shared<Arguments>();

  CLI::App* get = app.add_subcommand("get", "Print a property's value (stored or default)");
  get->add_option("PROP", args->name, "Identifier (0x20019) or CLASS.Key")->required();
  get->add_flag("--int", args->as_int, "Read the value as an integer");
  AddScopeOptions(*get, args->scope);
  get->callback([&, args] {
    invocation.run = [&, args] { return Get(options, args->name, args->scope, args->as_int); };
  });

  CLI::App* set = app.add_subcommand("set", "Store a property's value");
  set->add_option("PROP", args->name, "Identifier (0x20019) or CLASS.Key")->required();
  set->add_option("VALUE", args->value, "The text to store")->required();
  set->add_flag("--int", args->as_int, "Store VALUE as a 32-bit integer");
  set->footer(
      "There is no 'reset': the library never removes a key. Store the default instead\n"
      "(see 'orxprop describe PROP').");
  AddScopeOptions(*set, args->scope);
  set->callback([&, args] {
    invocation.run = [&, args] {
      return Set(options, args->name, args->value, args->scope, args->as_int);
    };
  });

  CLI::App* list = app.add_subcommand("list", "List the catalogue (all classes or one)");
  list->add_option("CLASS", args->class_name, "general task email filesystem p2p im web ...");
  list->callback([&, args] {
    invocation.needs_data_folder = false;
    invocation.run = [&, args] { return List(options, args->class_name); };
  });

  CLI::App* describe = app.add_subcommand("describe", "Show where a property lives");
  describe->add_option("PROP", args->name, "Identifier (0x20019) or CLASS.Key")->required();
  describe->callback([&, args] {
    invocation.needs_data_folder = false;
    invocation.run = [&, args] { return DescribeOne(options, args->name); };
  });

  CLI::App* dump =
      app.add_subcommand("dump", "Print every value beside its default; '*' marks the stored ones");
  AddScopeOptions(*dump, args->scope);
  dump->callback([&, args] { invocation.run = [&, args] { return Dump(options, args->scope); }; });

  CLI::App* import = app.add_subcommand(
      "import", "Store the values of a JSON object of properties (as 'dump --json' writes)");
  import->add_option("FILE", args->path, "The JSON file")->required();
  AddScopeOptions(*import, args->scope);
  import->callback([&, args] {
    invocation.run = [&, args] { return Import(options, args->path, args->scope);
};
}  // namespace orx::cli
);
}

}  // namespace orx::cli
