// The one rule by which section and key names are compared without regard to
// case: the simple Unicode upper-case mapping of each UTF-16 code unit.
// Surrogates and units without a mapping stay as they are, so folding never
// changes a name's length. ASCII is folded inline, because names are nearly
// always ASCII and every lookup folds each unit of two names.
#ifndef ORX_PLATFORM_INI_CASE_FOLD_H_
#define ORX_PLATFORM_INI_CASE_FOLD_H_

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/ini/text_view.h"

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

// The four units at `units`, each folded, as one word (packed by memcpy, so
// the same on any byte order). Hashing and comparing names a word at a time
// is what keeps a lookup in the tens of nanoseconds.
inline uint64_t FoldCaseWord(const char16_t* units) {
  uint64_t word;
  std::memcpy(&word, units, sizeof word);
  constexpr uint64_t kLanes = 0x0001000100010001u;
  if ((word & (0xFF80 * kLanes)) == 0) {
    // All ASCII: subtract 0x20 from each lane holding 'a'..'z'. Adding 0x1F
    // sets a lane's bit 7 exactly when its unit is >= 'a', adding 0x05 when
    // it is > 'z'; no lane carries into the next.
    const uint64_t lower = (word + 0x1F * kLanes) & ~(word + 0x05 * kLanes) & (0x80 * kLanes);
    return word - (lower >> 2);
  }
  char16_t folded[4];
  for (int i = 0; i < 4; ++i) folded[i] = FoldCase(units[i]);
  std::memcpy(&word, folded, sizeof word);
  return word;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// The same rule for text in either form: an ASCII byte folds as the unit of
// its value (and a unit beyond ASCII may fold to an ASCII letter).
bool EqualsIgnoreCaseText(TextView a, TextView b);
template <typename A, typename B>
requires HasTextView<A, B>
bool EqualsIgnoreCase(const A& a, const B& b) {
  return EqualsIgnoreCaseText(TextView(a), TextView(b));
}

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_CASE_FOLD_H_
