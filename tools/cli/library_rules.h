// The library's own rules as the tool needs them: where the data folder and
// the settings files are, the task list's section and slot keys, name
// comparison, the decimal conversion of integer settings, and the reasons
// the engine refuses a name or value. Each rule is the library's; nothing
// here restates one.
#ifndef ORX_TOOLS_CLI_LIBRARY_RULES_H_
#define ORX_TOOLS_CLI_LIBRARY_RULES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orx::cli {

// The data folder the library uses (without a trailing separator), valid
// once the library is initialised.
std::string DataFolder();
// The full path of settings file `file` ("ormix5.ini").
std::string SettingsPath(const std::string& file);

// The task list's file, its section, and the placeholder section of the
// task properties.
std::string MainFile();
std::u16string ScannerSection();
std::u16string TaskPlaceholderSection();

// The slot number a read of `key` in the task list's section matches, or
// nullopt for a key that is no slot key.
std::optional<int32_t> SlotNumberOf(std::u16string_view key);
std::string SlotKeyOf(int32_t slot);
// The highest slot the library's free-slot search covers.
int32_t LastSearchedSlot();

// Names compared as the engine compares section and key names.
bool SameName(std::u16string_view a, std::u16string_view b);

// Why the library would refuse `name` as a provider name, or empty.
std::string ProviderNameProblem(const std::string& name);

// What the library's decimal conversion makes of an integer setting's text.
struct IntegerReading {
  int32_t value = 0;
  bool overflow = false;   // the digits lie outside the 32-bit range
  bool whole = false;      // the conversion used the whole text
  bool has_digit = false;  // the text holds at least one digit
  bool IsClean() const { return whole && has_digit && !overflow; }
};
IntegerReading ReadInteger(std::u16string_view text);

// The plain-words reason the engine refuses a name or value with `status`
// (87 or 1113), naming the part at fault.
std::string EditRefusalReason(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value, int32_t status);

// Conversions at the tool's edge: arguments and output are UTF-8.
std::u16string ToUtf16(const std::string& text);
std::string ToUtf8(std::u16string_view text);

}  // namespace orx::cli

#endif  // ORX_TOOLS_CLI_LIBRARY_RULES_H_
