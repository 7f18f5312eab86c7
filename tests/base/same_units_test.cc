// SameUnits compares in overlapping blocks of 16, 8, 4 and 2 bytes: a
// difference at any position of any length, in either byte of a unit, must
// be seen, and no unit outside the count may matter.
#include "base/same_units.h"

#include <gtest/gtest.h>

#include <string>

namespace orx {
namespace {

TEST(SameUnits, SeesADifferenceAtEveryPositionOfEveryLength) {
  for (size_t length = 0; length <= 40; ++length) {
    std::u16string left(length, u'a');
    for (size_t i = 0; i < length; ++i) left[i] = static_cast<char16_t>(u'A' + i % 26);
    std::u16string right = left;
    EXPECT_TRUE(SameUnits(left.data(), right.data(), length)) << "length " << length;
    for (size_t at = 0; at < length; ++at) {
      for (const char16_t changed : {char16_t(left[at] ^ 0x0001), char16_t(left[at] ^ 0x0100)}) {
        right = left;
        right[at] = changed;
        EXPECT_FALSE(SameUnits(left.data(), right.data(), length))
            << "length " << length << " position " << at << " unit " << int{changed};
      }
    }
  }
}

TEST(SameUnits, IgnoresUnitsPastTheCount) {
  const std::u16string left = u"settings.iniX";
  const std::u16string right = u"settings.iniY";
  for (size_t length = 0; length < left.size(); ++length) {
    EXPECT_TRUE(SameUnits(left.data(), right.data(), length)) << "length " << length;
  }
  EXPECT_FALSE(SameUnits(left.data(), right.data(), left.size()));
}

}  // namespace
}  // namespace orx
