#include "access/provider_name.h"

#include <array>
#include <string_view>

#include "base/utf.h"

namespace orx::access {
namespace {

constexpr std::u16string_view kReservedUnits = u"/\\<>:\"|?*";

// Every ASCII unit a name may not hold: the controls and the reserved ones.
constexpr std::array<bool, 0x80> kForbiddenAscii = [] {
  std::array<bool, 0x80> forbidden{};
  for (char16_t unit = 0; unit < 0x20; ++unit) forbidden[unit] = true;
  forbidden[0x7F] = true;
  for (const char16_t unit : kReservedUnits) forbidden[unit] = true;
  return forbidden;
}();

bool IsForbiddenUnit(char16_t unit) { return unit < 0x80 ? kForbiddenAscii[unit] : unit <= 0x9F; }

char16_t AsciiUpper(char16_t unit) {
  return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

bool EqualsAsciiUpper(std::u16string_view text, std::u16string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper(text[i]) != upper[i]) return false;
  }
  return true;
}

// Windows opens the device, not a file, for these names whatever extension
// follows them.
bool IsDeviceName(std::u16string_view name) {
  const std::u16string_view stem = name.substr(0, name.find(u'.'));
  for (const std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
    if (EqualsAsciiUpper(stem, device)) return true;
  }
  if (stem.size() != 4 || stem[3] < u'1' || stem[3] > u'9') return false;
  return EqualsAsciiUpper(stem.substr(0, 3), u"COM") || EqualsAsciiUpper(stem.substr(0, 3), u"LPT");
}

}  // namespace

bool IsSafeProviderName(const char16_t* name) {
  const std::u16string_view text(name);
  if (text.empty() || text.back() == u'.' || text.back() == u' ' || IsDeviceName(text)) {
    return false;  // "." and ".." end in a dot
  }
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsForbiddenUnit(unit)) return false;
    if (IsHighSurrogate(unit)) {
      if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return false;
      ++i;
    } else if (IsLowSurrogate(unit)) {
      return false;
    }
  }
  return true;
}

}  // namespace orx::access
