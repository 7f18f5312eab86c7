// Locale variables to table names; the rules are in the header.
#include "platform/posix/language_selection.h"

#include <algorithm>
#include <cstdlib>

namespace orx::platform {
namespace {

std::string_view Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string_view(value) : std::string_view();
}

// "de_DE.UTF-8@euro" -> "de_DE".
std::string_view WithoutCodesetOrModifier(std::string_view name) {
  return name.substr(0, name.find_first_of(".@"));
}

bool IsCLocale(std::string_view name) {
  const std::string_view base = WithoutCodesetOrModifier(name);
  return base == "C" || base == "POSIX";
}

bool IsSafeBaseName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

void AddOnce(std::vector<std::string>& names, std::string_view name) {
  if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

void AddVariants(std::vector<std::string>& names, std::string_view entry) {
  if (IsCLocale(entry)) {
    AddOnce(names, kEnglishTableName);
    return;
  }
  const std::string_view name = WithoutCodesetOrModifier(entry);
  if (!IsSafeBaseName(name)) return;
  AddOnce(names, name);
  const size_t underscore = name.find('_');
  if (underscore != std::string_view::npos && underscore > 0) {
    AddOnce(names, name.substr(0, underscore));
  }
}

}  // namespace

LocaleEnvironment LocaleEnvironment::FromProcess() {
  return {Env("LANGUAGE"), Env("LC_ALL"), Env("LC_MESSAGES"), Env("LANG")};
}

std::vector<std::string> LanguageCandidates(const LocaleEnvironment& environment) {
  std::string_view locale;
  for (const std::string_view value :
       {environment.lc_all, environment.lc_messages, environment.lang}) {
    if (!value.empty()) {
      locale = value;
      break;
    }
  }
  std::vector<std::string> names;
  if (IsCLocale(locale)) {
    names.emplace_back(kEnglishTableName);
    return names;
  }
  if (environment.language.empty()) {
    if (!locale.empty()) AddVariants(names, locale);
    return names;
  }
  std::string_view list = environment.language;
  while (!list.empty()) {
    const size_t colon = list.find(':');
    const std::string_view entry = list.substr(0, colon);
    if (!entry.empty()) AddVariants(names, entry);
    list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
  }
  return names;
}

}  // namespace orx::platform
