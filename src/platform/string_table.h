// Language modules: the string tables that localized task labels and the
// copied-task label format come from. This is the stand-in for the product's
// language library (basGetBaseLang) and for the platform's string load
// (LoadStringW); the frame wraps both for the layers above (frame/strings.h).
//
// A module is a UTF-8 text file, one string a line:
//   ID=TEXT     ID decimal, 0 to kMaxStringId; TEXT as written up to the end
//               of the line, one trailing CR dropped, with the escapes \n, \t
//               and \\ (any other backslash stays as it is)
//   # ...       a comment; blank lines are ignored as well
// A UTF-8 byte order mark at the start is skipped. Any other line is skipped
// too (and counted): an ID that is not decimal or out of range, a TEXT that
// is not valid UTF-8 or holds a NUL. When an ID appears twice, the later line
// wins.
#ifndef ORX_PLATFORM_STRING_TABLE_H_
#define ORX_PLATFORM_STRING_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orx::platform {

// String identifiers are 16-bit, as the platform's string resources are.
inline constexpr uint32_t kMaxStringId = 0xFFFF;

// One parsed module: string identifier to text. Immutable once built.
class StringTable {
 public:
  StringTable() = default;

  // Parses module text (the file's bytes). Never fails: lines that break the
  // format are skipped and counted in skipped_lines().
  static StringTable Parse(std::string_view bytes);

  // The text of string `id`; empty when the table has no such string (an
  // empty text and a missing one are the same to callers).
  std::u16string_view Find(uint32_t id) const;

  // Number of strings held, empty texts included.
  size_t size() const { return entries_.size(); }

  // Number of non-blank, non-comment lines that Parse skipped.
  size_t skipped_lines() const { return skipped_lines_; }

  // Equal when both hold the same identifiers with the same texts.
  bool SameStrings(const StringTable& other) const { return entries_ == other.entries_; }

 private:
  // Sorted by identifier, one entry per identifier.
  std::vector<std::pair<uint32_t, std::u16string>> entries_;
  size_t skipped_lines_ = 0;
};

// The English table compiled into the library: the strings of lang/en.lang,
// embedded at build time. Lives for the process.
const StringTable& BuiltinEnglishTable();

// A language module: one string-table file, or the built-in English table.
// Modules are handed out by LanguageModules and live as long as it does (the
// default's for the whole process), so a module pointer never dangles.
class LanguageModule {
 public:
  virtual ~LanguageModule() = default;

  // The module's strings as its file holds them at this call. A file that
  // changed since it was last read is read again; an unchanged one costs a
  // stat() and returns the very table returned before, without a re-parse.
  // A module that cannot be read (missing, not a regular file, too large, a
  // read error) gives an empty table. Never null. Thread-safe.
  virtual std::shared_ptr<const StringTable> Table() const = 0;

  // The file this module reads; empty for the built-in table.
  virtual const std::string& path() const = 0;
};

// Chooses the language module in force. One process-wide instance serves the
// library (DefaultLanguageModules); tests build their own.
class LanguageModules {
 public:
  virtual ~LanguageModules() = default;

  // The module in force at this call, chosen afresh from the environment:
  //   1. ORX_LANGUAGE_MODULE, a path, when set and non-empty (whether or not
  //      the file can be read: an unreadable one yields no strings);
  //   2. else the installed table for the user's language, from LANGUAGE,
  //      LC_ALL, LC_MESSAGES and LANG (see posix/language_selection.h);
  //   3. else the built-in English table.
  // The same path always gives the same module. Never null. Thread-safe,
  // provided nobody changes the environment during the call.
  virtual const LanguageModule* Select() = 0;
};

// The process-wide instance, over the installed tables' folder fixed at
// build time. Never destroyed.
LanguageModules& DefaultLanguageModules();

// The stand-in for basGetBaseLang: DefaultLanguageModules().Select().
const LanguageModule* basGetBaseLang();

// The platform's string load: copies string `id` of `module` into `buffer`
// (at most size-1 units and a terminator; a cut never ends the copy on the
// first half of a surrogate pair; `size` 0 or a null `buffer` copies
// nothing) and returns the count copied. A missing or empty
// string, an unreadable module or a null module copies an empty text (a
// terminator when size >= 1) and returns 0.
uint32_t LoadStringW(const LanguageModule* module, uint32_t id, char16_t* buffer, uint32_t size);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_STRING_TABLE_H_
