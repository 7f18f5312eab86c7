#include "access/provider_name.h"

#include <string_view>

namespace orx::access {
namespace {

bool IsForbiddenUnit(char16_t unit) {
  return unit < 0x20 || unit == 0x7F || unit == u'/' || unit == u'\\' || unit == u':';
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

bool IsSafeProviderName(const char16_t* name) {
  const std::u16string_view text(name);
  if (text.empty() || text == u"." || text == u"..") return false;
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
