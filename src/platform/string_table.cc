// Parsing of string-table text and the string load. Both are
// pure; reading module files and choosing among them is the platform
// implementation's (posix/string_table_posix.cc).
#include "platform/string_table.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/caller_buffer.h"
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

const LanguageModule* basGetBaseLang() { return DefaultLanguageModules().Select(); }

uint32_t LoadStringW(const LanguageModule* module, uint32_t id, char16_t* buffer, uint32_t size) {
  // Half a pair would leave text that cannot be encoded again.
  if (module == nullptr) return CopyTerminated({}, buffer, size, PairRule::kKeepWhole).copied;
  // The table is held for the copy, so a concurrent re-read cannot free it.
  const std::shared_ptr<const StringTable> table = module->Table();
  return CopyTerminated(table->Find(id), buffer, size, PairRule::kKeepWhole).copied;
}

}  // namespace orx::platform
