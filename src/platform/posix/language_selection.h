// Which installed string tables a user's locale variables ask for, in order
// of preference. Pure: the environment is passed in, nothing is looked up on
// disk, so the rules can be tested without touching the process.
//
// The rules follow what gettext-based programs do on Linux:
//   - The locale in force is the first non-empty of LC_ALL, LC_MESSAGES and
//     LANG. When it names the C or POSIX locale ("C", "POSIX", "C.UTF-8"),
//     the answer is English alone and LANGUAGE is ignored.
//   - Otherwise a non-empty LANGUAGE, a colon-separated list, is used in its
//     order; without it, the locale in force.
//   - Each name is cut at its codeset or modifier ("de_DE.UTF-8@euro" ->
//     "de_DE") and tried as language_TERRITORY, then as the language alone
//     ("pt_BR", then "pt"). A C or POSIX entry in LANGUAGE stands for English.
// Unlike gettext, LANGUAGE also counts when no locale variable is set at
// all: a program that sets only LANGUAGE plainly asks for that language.
//
// Names that could be anything but a table's base name (a '/', "..", spaces,
// anything outside letters, digits and '_') are dropped, so no variable can
// point the lookup outside the tables' folder.
#ifndef ORX_PLATFORM_POSIX_LANGUAGE_SELECTION_H_
#define ORX_PLATFORM_POSIX_LANGUAGE_SELECTION_H_

#include <string>
#include <string_view>
#include <vector>

namespace orx::platform {

// The name English goes by in the candidate list.
inline constexpr std::string_view kEnglishTableName = "en";

// The locale variables; an unset variable is the empty string.
struct LocaleEnvironment {
  std::string_view language;  // LANGUAGE
  std::string_view lc_all;
  std::string_view lc_messages;
  std::string_view lang;

  // The values in the process's environment at this call.
  static LocaleEnvironment FromProcess();
};

// Base names of the tables to try, best first, without duplicates. Empty
// when no variable names a language.
std::vector<std::string> LanguageCandidates(const LocaleEnvironment& environment);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_LANGUAGE_SELECTION_H_
