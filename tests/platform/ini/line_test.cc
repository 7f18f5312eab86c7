// The name hash behind the document's index: names that compare equal must
// hash equal, whatever their length (the hash works four units at a time)
// and whichever units take the bit-arithmetic ASCII path.
#include "platform/ini/line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/ini/case_fold.h"
#include "platform/ini/name_hash.h"

namespace orx::platform::ini {
namespace {

TEST(NameHash, EqualForNamesEqualIgnoringCase) {
  const std::u16string lower = u"abcxyz{`@[\u00e4\u00f6\u03c3\u0436-0123";
  const std::u16string upper = u"ABCXYZ{`@[\u00c4\u00d6\u03a3\u0416-0123";
  for (size_t length = 0; length <= lower.size(); ++length) {
    for (size_t start = 0; start + length <= lower.size(); ++start) {
      std::u16string mixed = lower.substr(start, length);
      for (size_t i = 0; i < mixed.size(); i += 2) mixed[i] = upper[start + i];
      ASSERT_TRUE(EqualsIgnoreCase(mixed, lower.substr(start, length)));
      EXPECT_EQ(NameHash(mixed), NameHash(upper.substr(start, length))) << start << "+" << length;
    }
  }
}

TEST(NameHash, SpreadsSimilarNames) {
  // Keys that differ in one digit, as numbered keys and task slots do.
  std::set<uint32_t> slots;
  for (int i = 0; i < 4096; ++i) {
    slots.insert(NameHash(u"Setting" + std::u16string(1, u'0' + i % 10) +
                          std::u16string(1, u'0' + i / 10 % 10) +
                          std::u16string(1, u'0' + i / 100 % 10) +
                          std::u16string(1, u'A' + i / 1000)) &
                 8191);
  }
  // Random placement would fill about 3,200 of the 8,192 slots.
  EXPECT_GT(slots.size(), 3000u);
}

}  // namespace
}  // namespace orx::platform::ini
