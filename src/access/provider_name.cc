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
// follows them; `stem` is the part of a name before its first dot.
bool IsDeviceStem(std::u16string_view stem) {
  if (stem.size() == 3) {
    for (const std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
      if (EqualsAsciiUpper(stem, device)) return true;
    }
    return false;
  }
  if (stem.size() != 4 || stem[3] < u'1' || stem[3] > u'9') return false;
  return EqualsAsciiUpper(stem.substr(0, 3), u"COM") || EqualsAsciiUpper(stem.substr(0, 3), u"LPT");
}

}  // namespace

bool IsSafeProviderName(std::u16string_view text) {
  if (text.empty() || text.back() == u'.' || text.back() == u' ') {
    return false;  // "." and ".." end in a dot
  }
  // One pass, as every provider read checks its name: the units, and where
  // the stem ends.
  size_t stem = text.size();
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
      if (kForbiddenAscii[unit]) return false;
      if (unit == u'.' && stem == text.size()) stem = i;
    } else if (unit <= 0x9F) {
      return false;
    } else if (IsHighSurrogate(unit)) {
      if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return false;
      ++i;
    } else if (IsLowSurrogate(unit)) {
      return false;
    }
  }
  return !IsDeviceStem(text.substr(0, stem));
}

bool IsSafeProviderName(const char16_t* name) {
  return IsSafeProviderName(std::u16string_view(name));
}

}  // namespace orx::access
