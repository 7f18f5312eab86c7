// The case rule for names: simple upper-case mapping per UTF-16 unit.
#include "platform/ini/case_fold.h"

#include <gtest/gtest.h>

#include <cctype>

namespace orx::platform::ini {
namespace {

struct FoldPair {
  std::u16string_view a;
  std::u16string_view b;
  bool equal;
};

TEST(CaseFold, ComparesByUpperCaseMapping) {
  const FoldPair pairs[] = {
      {u"TestKey", u"tESTkEY", true},
      {u"\u00E9t\u00E9", u"\u00C9T\u00C9", true},  // Latin-1
      {u"\u00FF", u"\u0178", true},                // y diaeresis leaves Latin-1
      {u"\u00B5", u"\u039C", true},                // micro sign is Greek mu
      {u"\u03C3\u03C2", u"\u03A3\u03A3", true},    // both sigmas
      {u"\u0436\u0451", u"\u0416\u0401", true},    // Cyrillic
      {u"\u0131", u"I", true},                     // dotless i
      {u"\u017F", u"s", true},                     // long s
      {u"\u01C5", u"\u01C6", true},                // title case dz
      {u"\u1F80", u"\u1F88", true},                // simple, not full, mapping
      {u"\uFF41", u"\uFF21", true},                // full-width a
      {u"\u00DF", u"SS", false},                   // no length-changing mappings
      {u"\u00DF", u"\u1E9E", false},
      {u"\u0130", u"i", false},  // capital dotted I has no upper-case mapping
      {u"e", u"\u00E9", false},
      {u"ab", u"abc", false},
      {u"\xD801\xDC28", u"\xD801\xDC00", false},  // units, so no folding beyond the BMP
  };
  for (const FoldPair& pair : pairs) {
    EXPECT_EQ(EqualsIgnoreCase(pair.a, pair.b), pair.equal)
        << static_cast<int>(pair.a[0]) << " vs " << static_cast<int>(pair.b[0]);
  }
}

TEST(CaseFold, AsciiFoldsAsToupper) {
  for (char16_t unit = 0; unit < 0x80; ++unit) {
    EXPECT_EQ(FoldCase(unit), std::toupper(unit)) << static_cast<int>(unit);
  }
}

TEST(CaseFold, EveryUnitFoldsToAFixedPoint) {
  for (uint32_t unit = 0; unit < 0x10000; ++unit) {
    const char16_t folded = FoldCase(static_cast<char16_t>(unit));
    ASSERT_EQ(FoldCase(folded), folded) << unit;
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      ASSERT_EQ(folded, unit);
    }
  }
}

}  // namespace
}  // namespace orx::platform::ini
