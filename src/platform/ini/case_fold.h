// The one rule by which section and key names are compared without regard to
// case: the simple Unicode upper-case mapping of each UTF-16 code unit.
// Surrogates and units without a mapping stay as they are, so folding never
// changes a name's length. ASCII is folded inline, because names are nearly
// always ASCII and every lookup folds each unit of two names.
#ifndef ORX_PLATFORM_INI_CASE_FOLD_H_
#define ORX_PLATFORM_INI_CASE_FOLD_H_

#include <string_view>

namespace orx::platform::ini {

namespace detail {
char16_t FoldCaseBeyondAscii(char16_t unit);
}  // namespace detail

inline char16_t FoldCase(char16_t unit) {
  if (unit < 0x80) {
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
  }
  return detail::FoldCaseBeyondAscii(unit);
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_CASE_FOLD_H_
