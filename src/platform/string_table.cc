// Parsing of string-table text and the string load's copy rule. Both are
// pure; reading module files and choosing among them is the platform
// implementation's (posix/string_table_posix.cc).
#include "platform/string_table.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/utf.h"

namespace orx::platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<uint32_t> ParseId(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    // Checked per digit, so a long run of digits cannot overflow.
    if (value > kMaxStringId) return std::nullopt;
  }
  return value;
}

// Works on the UTF-8 bytes: a backslash never occurs inside a multi-byte
// sequence, so no escape can split a character.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == 'n' || next == 't' || next == '\\') {
        out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : '\\');
        ++i;
        continue;
      }
    }
    out.push_back(c);
  }
  return out;
}

// The text of one "ID=TEXT" line, or nullopt when it cannot be a string: a
// NUL would make the loaded copy look shorter than the count returned.
std::optional<std::u16string> DecodeText(std::string_view raw) {
  std::optional<std::u16string> text = DecodeUtf8(Unescape(raw));
  if (text && text->find(u'\0') != std::u16string::npos) return std::nullopt;
  return text;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

StringTable StringTable::Parse(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  std::map<uint32_t, std::u16string> strings;
  size_t skipped = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (line.ends_with('\r')) line.remove_suffix(1);

    // Blank lines and comments carry nothing.
    if (IsBlank(line) || line.front() == '#') continue;
    // Everything else must be ID=TEXT with a usable identifier and text.
    const size_t equals = line.find('=');
    std::optional<uint32_t> id;
    std::optional<std::u16string> text;
    if (equals != std::string_view::npos) id = ParseId(line.substr(0, equals));
    if (id) text = DecodeText(line.substr(equals + 1));
    if (!text) {
      ++skipped;
      continue;
    }
    strings.insert_or_assign(*id, std::move(*text));
  }

  StringTable table;
  table.entries_.reserve(strings.size());
  for (auto& [id, text] : strings) table.entries_.emplace_back(id, std::move(text));
  table.skipped_lines_ = skipped;
  return table;
}

std::u16string_view StringTable::Find(uint32_t id) const {
  const auto it =
      std::lower_bound(entries_.begin(), entries_.end(), id,
                       [](const auto& entry, uint32_t key) { return entry.first < key; });
  if (it == entries_.end() || it->first != id) return {};
  return it->second;
}

uint32_t CopyString(std::u16string_view text, char16_t* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t count = std::min<size_t>(text.size(), size - 1);
  // Half a pair would leave text that cannot be encoded again.
  if (count < text.size() && count > 0 && IsHighSurrogate(text[count - 1]) &&
      IsLowSurrogate(text[count])) {
    --count;
  }
  std::copy_n(text.data(), count, buffer);
  buffer[count] = u'\0';
  return static_cast<uint32_t>(count);
}

const LanguageModule* basGetBaseLang() { return DefaultLanguageModules().Select(); }

uint32_t LoadStringW(const LanguageModule* module, uint32_t id, char16_t* buffer, uint32_t size) {
  if (module == nullptr) return CopyString({}, buffer, size);
  // The table is held for the copy, so a concurrent re-read cannot free it.
  const std::shared_ptr<const StringTable> table = module->Table();
  return CopyString(table->Find(id), buffer, size);
}

}  // namespace orx::platform
