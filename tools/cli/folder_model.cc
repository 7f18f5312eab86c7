// Reading a folder's values: stored texts from the engine's documents (the
// store's own load, the document's own lookup), the rest through the public
// read calls, which apply defaults, provider overrides and label expansion.
#include "folder_model.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/ini/document.h"
#include "platform/profile_store.h"
#include "scope_rules.h"

namespace orx::cli {
namespace {

// Loaded documents by file name; a file that cannot be read fails the read.
class Documents {
 public:
  int32_t Find(const std::string& file, const platform::ini::Document*& document) {
    auto found = loaded_.find(file);
    if (found == loaded_.end()) {
      Result<platform::Snapshot> snapshot =
          platform::DefaultProfileStore().Load(ToUtf16(SettingsPath(file)));
      if (!snapshot.ok()) return ToAbi(snapshot.status());
      found = loaded_.emplace(file, std::move(*snapshot)).first;
    }
    document = found->second.get();
    return 0;
  }

 private:
  std::map<std::string, platform::Snapshot> loaded_;
};

int32_t ReadScopeWith(Documents& documents, const Scope& scope, ModelValues& out) {
  std::vector<Property> every;
  ListProperties("", every);
  for (const Property& property : every) {
    if (!InScope(scope, property)) continue;
    ModelValue value{property, false, "", ""};
    std::u16string shown;
    if (int32_t status = ReadPropertyText(scope, property, shown); status != 0) return status;
    value.shown = ToUtf8(shown);
    const platform::ini::Document* document = nullptr;
    if (int32_t status = documents.Find(FileIn(scope, property), document); status != 0) {
      return status;
    }
    const auto stored = document->FindValue(SectionIn(scope, property), property.entry->key);
    value.stored = stored.has_value();
    value.value = stored ? ToUtf8(stored->ToU16()) : value.shown;
    if (value.shown == value.value) value.shown.clear();
    out.push_back(std::move(value));
  }
  return 0;
}

void SlotsOf(const platform::ini::Document& main,
             std::vector<std::pair<int32_t, std::string>>& slots) {
  std::set<int32_t> seen;
  main.ForEachEntry(ScannerSection(), [&](const platform::ini::SectionEntry& entry) {
    const auto slot = SlotNumberOf(entry.key.ToU16());
    if (slot && entry.has_equals && seen.insert(*slot).second) {
      const std::u16string id = platform::ini::ReadForm(entry.raw_value).ToU16();
      if (!id.empty()) slots.emplace_back(*slot, ToUtf8(id));
    }
    return true;
  });
  std::sort(slots.begin(), slots.end());
}

}  // namespace

int32_t ReadTaskList(std::vector<std::pair<int32_t, std::string>>& slots) {
  Documents documents;
  const platform::ini::Document* main = nullptr;
  if (int32_t status = documents.Find(MainFile(), main); status != 0) return status;
  SlotsOf(*main, slots);
  return 0;
}

Json ValueAsJson(const Property& property, const std::string& text) {
  if (IsIntegerProperty(property)) {
    const IntegerReading reading = ReadInteger(ToUtf16(text));
    if (reading.IsClean() && std::to_string(reading.value) == text) return reading.value;
  }
  return text;
}

int32_t ReadScope(const Scope& scope, ModelValues& out) {
  Documents documents;
  return ReadScopeWith(documents, scope, out);
}

std::vector<std::string> ProviderFiles() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(DataFolder(), error)) {
    const std::string file = entry.path().filename().string();
    if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".ini") != 0) continue;
    if (file == MainFile() || !entry.is_regular_file(error)) continue;
    const std::string name = file.substr(0, file.size() - 4);
    if (ProviderNameProblem(name).empty()) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

int32_t ReadFolder(FolderModel& out, std::string& failed) {
  Documents documents;
  failed = "the settings";
  if (int32_t status = ReadScopeWith(documents, Scope{}, out.settings); status != 0) {
    return status;
  }
  for (const std::string& provider : ProviderFiles()) {
    failed = "provider " + provider;
    ModelValues values;
    if (int32_t status = ReadScopeWith(documents, Scope{"", provider}, values); status != 0) {
      return status;
    }
    out.providers.emplace_back(provider, std::move(values));
  }
  failed = "the task list";
  const platform::ini::Document* main = nullptr;
  if (int32_t status = documents.Find(MainFile(), main); status != 0) return status;
  std::vector<std::pair<int32_t, std::string>> slots;
  SlotsOf(*main, slots);
  for (const auto& [slot, id] : slots) {
    failed = "task " + id;
    ModelTask task{slot, id, {}};
    if (int32_t status = ReadScopeWith(documents, Scope{id, ""}, task.properties); status != 0) {
      return status;
    }
    out.tasks.push_back(std::move(task));
  }
  return 0;
}

Json ToJson(const ModelValues& values) {
  Json object = Json::object();
  for (const ModelValue& value : values) {
    Json entry{{"stored", value.stored}, {"value", ValueAsJson(value.property, value.value)}};
    if (!value.shown.empty()) entry["text"] = value.shown;
    entry["default"] = DefaultOf(value.property);
    object[UniqueName(value.property)] = entry;
  }
  return object;
}

Json ToJson(const FolderModel& model) {
  Json providers = Json::object();
  for (const auto& [name, values] : model.providers) providers[name] = ToJson(values);
  Json tasks = Json::array();
  for (const ModelTask& task : model.tasks) {
    tasks.push_back({{"slot", task.slot},
                     {"key", SlotKeyOf(task.slot)},
                     {"id", task.id},
                     {"properties", ToJson(task.properties)}});
  }
  return {{"format", kDumpFormat},
          {"version", kDumpVersion},
          {"settings", ToJson(model.settings)},
          {"providers", providers},
          {"tasks", tasks}};
}

}  // namespace orx::cli
