// Scope checks and write-failure wording shared by set, reset and import.
#include "scope_rules.h"

#include <filesystem>

#include "status_text.h"

namespace orx::cli {

bool InScope(const Scope& scope, const Property& property) {
  const uint32_t value = property.property_class->value;
  if (scope.HasTask()) return value == catalogue::kTaskClass;
  if (scope.HasProvider()) return value == catalogue::kProviderClass;
  return value != catalogue::kTaskClass && value != catalogue::kProviderClass;
}

std::string FileIn(const Scope& scope, const Property& property) {
  if (scope.HasProvider() && catalogue::IsInProviderRange(property.id)) {
    return scope.provider + ".ini";
  }
  return FileOf(property);
}

std::u16string SectionIn(const Scope& scope, const Property& property) {
  return scope.HasTask() ? ToUtf16(scope.task) : std::u16string(property.entry->section);
}

int FitScope(Scope& scope, const Property& property, bool writing, bool force) {
  const bool provider_class = catalogue::IsInProviderRange(property.id);
  const bool task_class = property.property_class->value == catalogue::kTaskClass;
  if (provider_class && !scope.HasProvider()) {
    return Refuse(ClassDotKey(property) + " is a provider setting: give --provider NAME");
  }
  if (scope.HasTask() && provider_class) {
    return Refuse(ClassDotKey(property) + " is a provider setting, not a task property");
  }
  if (scope.HasProvider()) {
    if (const std::string problem = ProviderNameProblem(scope.provider); !problem.empty()) {
      return Refuse(problem, 87);
    }
  }
  if (scope.HasTask()) {
    if (const auto listed = FindListedTask(scope.task)) {
      scope.task = listed->id;
    } else if (writing && !force) {
      return Refuse("no listed task has the id " + scope.task +
                    "; give --force to write a section for it anyway");
    }
  } else if (writing && task_class && !force) {
    return Refuse(ClassDotKey(property) +
                  " is a task property: give --task ID (or --force to change the defaults"
                  " section " +
                  ToUtf8(TaskPlaceholderSection()) + ")");
  }
  return kExitOk;
}

void NoteMissingProviderFile(const Scope& scope) {
  if (!scope.HasProvider() || !ProviderNameProblem(scope.provider).empty()) return;
  std::error_code error;
  if (!std::filesystem::exists(SettingsPath(scope.provider + ".ini"), error)) {
    Note("provider " + scope.provider + " has no file " + SettingsPath(scope.provider + ".ini") +
         " yet");
  }
}

std::string WriteFailure(const Scope& scope, const Property& property, const std::string& value,
                         int32_t status) {
  if (status == 87 || status == 1113) {
    return "cannot set " + ClassDotKey(property) + ": " +
           EditRefusalReason(SectionIn(scope, property), property.entry->key, ToUtf16(value),
                             status) +
           " (" + std::to_string(status) + ", " + StatusNameOf(status) + ")";
  }
  return "cannot write " + SettingsPath(FileIn(scope, property)) + ": " + FormatStatus(status);
}

}  // namespace orx::cli
