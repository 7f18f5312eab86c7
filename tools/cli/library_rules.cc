// The one place the tool reaches below the C interface for a rule: each
// function hands on the library's own definition.
#include "library_rules.h"

#include <vector>

#include "access/decimal.h"
#include "access/provider_name.h"
#include "base/utf.h"
#include "catalogue/property_id.h"
#include "catalogue/property_names.h"
#include "frame/names.h"
#include "frame/settings_path.h"
#include "tasks/slot_key.h"
#include "tasks/slot_table.h"

namespace orx::cli {
namespace {

bool HasLineBreak(std::u16string_view text) {
  return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

bool HasLoneSurrogate(std::u16string_view text) { return !EncodeUtf8(text).has_value(); }

}  // namespace

std::u16string ToUtf16(const std::string& text) { return DecodePath(text); }
std::string ToUtf8(std::u16string_view text) { return EncodePath(text); }

std::string DataFolder() {
  std::u16string_view folder = frame::DataFolder();
  if (!folder.empty() && folder.back() == frame::kPathSeparator) folder.remove_suffix(1);
  return folder.empty() ? "." : ToUtf8(folder);
}

std::string SettingsPath(const std::string& file) { return DataFolder() + "/" + file; }

std::string MainFile() { return ToUtf8(catalogue::kMainFile); }
std::u16string ScannerSection() { return catalogue::kTaskListSection; }
std::u16string TaskPlaceholderSection() { return catalogue::kTaskSectionPlaceholder; }

std::optional<int32_t> SlotNumberOf(std::u16string_view key) { return tasks::SlotNumberOf(key); }

std::string SlotKeyOf(int32_t slot) {
  tasks::SlotKey key;
  tasks::FormSlotKey(slot, key);
  return ToUtf8(key);
}

int32_t LastSearchedSlot() { return tasks::kLastSearchedSlot; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  return frame::EqualsIgnoreCase(a, b);
}

std::string ProviderNameProblem(const std::string& name) {
  const std::u16string text = ToUtf16(name);
  if (access::IsSafeProviderName(text.c_str()) && text.find(u'\0') == std::u16string::npos) {
    return "";
  }
  if (text.empty()) return "a provider name cannot be empty";
  if (text == u"." || text == u"..") return "a provider name cannot be '.' or '..'";
  for (const char* part : {"/", "\\", ":"}) {
    if (name.find(part) != std::string::npos) {
      return std::string("provider names cannot hold '") + part + "'";
    }
  }
  if (HasLoneSurrogate(text)) return "provider names cannot hold a lone surrogate";
  return "provider names cannot hold control characters";
}

IntegerReading ReadInteger(std::u16string_view text) {
  // The conversion reads digits up to the first other character: it used
  // the whole text exactly when one more digit changes what it reads.
  std::u16string terminated(text);
  const access::ParsedDecimal parsed = access::ParseDecimal(terminated.c_str());
  terminated += u'1';
  const access::ParsedDecimal longer = access::ParseDecimal(terminated.c_str());
  IntegerReading reading;
  reading.value = parsed.value;
  reading.overflow = parsed.overflow;
  reading.whole = longer.value != parsed.value || longer.overflow != parsed.overflow;
  reading.has_digit = text.find_first_of(u"0123456789") != std::u16string_view::npos;
  return reading;
}

std::string EditRefusalReason(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value, int32_t status) {
  if (HasLineBreak(value)) return "a value cannot hold a line break";
  if (HasLineBreak(key)) return "a key name cannot hold a line break";
  if (HasLineBreak(section)) return "a section name cannot hold a line break";
  if (section.find(u']') != std::u16string_view::npos) return "a section name cannot hold ']'";
  if (key.find(u'=') != std::u16string_view::npos) return "a key name cannot hold '='";
  if (!key.empty() && (key[0] == u';' || key[0] == u'[')) {
    return "a key name cannot start with ';' or '['";
  }
  if (status == 1113 || HasLoneSurrogate(value)) return "a value cannot hold a lone surrogate";
  if (HasLoneSurrogate(section) || HasLoneSurrogate(key)) {
    return "a name cannot hold a lone surrogate";
  }
  return "the library refused the name or value";
}

}  // namespace orx::cli
