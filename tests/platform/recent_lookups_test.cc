// The per-thread lookup memory: a hit only for the very names remembered,
// since the last Clear.
#include "platform/recent_lookups.h"

#include <gtest/gtest.h>

#include <string>

namespace orx::platform {
namespace {

TEST(RecentLookups, AnswersOnlyForTheNamesRememberedSinceTheLastClear) {
  RecentLookups lookups;
  const std::u16string value = u"42";
  lookups.Remember(u"ab", u"c", ini::TextView(value));
  lookups.Remember(u"S", u"missing", std::nullopt);

  ASSERT_NE(lookups.Find(u"ab", u"c"), nullptr);
  EXPECT_EQ(*lookups.Find(u"ab", u"c"), u"42");
  ASSERT_NE(lookups.Find(u"S", u"missing"), nullptr);
  EXPECT_EQ(*lookups.Find(u"S", u"missing"), std::nullopt);

  // The same units split differently, another case, another section.
  for (const auto& [section, key] :
       {std::pair<std::u16string_view, std::u16string_view>{u"a", u"bc"},
        {u"abc", u""},
        {u"AB", u"c"},
        {u"ab", u"C"},
        {u"S2", u"missing"}}) {
    EXPECT_EQ(lookups.Find(section, key), nullptr) << std::string(key.begin(), key.end());
  }

  lookups.Clear();
  EXPECT_EQ(lookups.Find(u"ab", u"c"), nullptr);
  EXPECT_EQ(lookups.Find(u"S", u"missing"), nullptr);
}

TEST(RecentLookups, ForgetsWhatAnotherPairTakesTheSlotOfAndSkipsLongNames) {
  RecentLookups lookups;
  // More pairs than slots: whatever is still answered must be right.
  for (int i = 0; i < 100; ++i) {
    const std::u16string key = u"k" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    lookups.Remember(u"S", key, std::nullopt);
  }
  int answered = 0;
  for (int i = 0; i < 100; ++i) {
    const std::u16string key = u"k" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    if (const auto* found = lookups.Find(u"S", key)) {
      ++answered;
      EXPECT_EQ(*found, std::nullopt);
    }
  }
  EXPECT_GT(answered, 0);

  const std::u16string long_section(60, u's'), long_key(30, u'k');
  lookups.Remember(long_section, long_key, std::nullopt);
  EXPECT_EQ(lookups.Find(long_section, long_key), nullptr);
}

// The pair asked last is tried first, before the slot its names hash to:
// a pair differing from it in any one unit, of either name, must miss.
TEST(RecentLookups, TheLastPairAnswersOnlyForItsVeryNames) {
  RecentLookups lookups;
  const std::u16string section = u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
  const std::u16string key = u"SchedDays";
  const std::u16string value = u"7";
  lookups.Remember(section, key, value);
  ASSERT_NE(lookups.Find(section, key), nullptr);
  for (size_t at = 0; at < section.size() + key.size(); ++at) {
    std::u16string other_section = section, other_key = key;
    char16_t& unit = at < section.size() ? other_section[at] : other_key[at - section.size()];
    unit = static_cast<char16_t>(unit ^ 0x20);
    EXPECT_EQ(lookups.Find(other_section, other_key), nullptr) << "unit " << at;
    ASSERT_NE(lookups.Find(section, key), nullptr) << "unit " << at;
  }
  EXPECT_EQ(lookups.Find(section, key.substr(1)), nullptr);
  EXPECT_EQ(lookups.Find(section.substr(0, 37), key), nullptr);
  lookups.Clear();
  EXPECT_EQ(lookups.Find(section, key), nullptr);
}

TEST(RecentLookups, AlternatingPairsEachGetTheirOwnValue) {
  RecentLookups lookups;
  const std::u16string one = u"1", two = u"2";
  lookups.Remember(u"S", u"a", one);
  lookups.Remember(u"S", u"b", two);
  for (int round = 0; round < 3; ++round) {
    for (const auto& [key, expected] :
         {std::pair<std::u16string_view, std::u16string_view>{u"a", u"1"}, {u"b", u"2"}}) {
      const RecentLookups::Value* found = lookups.Find(u"S", key);
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(*found, expected);
    }
  }
}

}  // namespace
}  // namespace orx::platform
