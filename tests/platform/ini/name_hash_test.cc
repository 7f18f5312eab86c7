// Names crafted to collide must not make indexing quadratic. The attacker's
// model is the engine's former unkeyed hash, whose last step can be inverted:
// every name built here shares one value under it. Under the keyed hash the
// index's probe count stays proportional to the number of names.
#include "platform/ini/name_hash.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/line_index.h"

namespace orx::platform::ini {
namespace {

constexpr uint64_t kOldMultiplier = 0x9E3779B97F4A7C15u;

uint64_t OldMix(uint64_t hash, uint64_t word) {
  return std::rotl(hash, 23) + word * kOldMultiplier;
}

// The former function: length, then each folded word, then a final mix that
// keeps equal states equal.
uint32_t OldNameHash(std::u16string_view name) {
  uint64_t hash = name.size();
  for (size_t i = 0; i + 4 <= name.size(); i += 4) hash = OldMix(hash, FoldCaseWord(&name[i]));
  hash ^= hash >> 32;
  hash *= 0xD6E8FEB86659FD93u;
  return static_cast<uint32_t>(hash >> 32);
}

uint64_t Inverse(uint64_t odd) {
  uint64_t inverse = odd;  // Newton's iteration doubles the correct bits each step.
  for (int i = 0; i < 6; ++i) inverse *= 2 - odd * inverse;
  return inverse;
}

bool IsPlainUnit(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9');
  return (unit < 0xD800 || unit > 0xDFFF) && unit >= 0xA0 && FoldCase(unit) == unit;
}

// `count` distinct names of 8 units that all end in the same state of the
// old hash: the first word is free, the second solves for the target state.
std::vector<std::u16string> CollidingNames(size_t count) {
  const uint64_t inverse = Inverse(kOldMultiplier);
  const uint64_t target = 0x0123456789ABCDEFu;
  std::vector<std::u16string> names;
  for (uint32_t n = 0; names.size() < count; ++n) {
    char16_t name[8];
    for (uint32_t i = 0, rest = n; i < 4; ++i, rest /= 26) name[i] = u'A' + rest % 26;
    const uint64_t state = OldMix(8, FoldCaseWord(name));
    uint64_t word = (target - std::rotl(state, 23)) * inverse;
    bool plain = true;
    for (int i = 0; i < 4; ++i, word >>= 16) {
      name[4 + i] = static_cast<char16_t>(word & 0xFFFF);
      plain = plain && IsPlainUnit(name[4 + i]);
    }
    if (plain) names.emplace_back(name, std::size(name));
  }
  return names;
}

std::string Utf16LeFile(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(NameHash, CraftedCollisionsOfTheOldHashCostLinearProbes) {
  constexpr size_t kNames = 20000;
  const std::vector<std::u16string> names = CollidingNames(kNames);
  ASSERT_EQ(OldNameHash(names.front()), OldNameHash(names.back()));

  struct Layout {
    const char* what;
    std::u16string (*line)(const std::u16string& name);
    std::u16string_view prefix;
  };
  const Layout layouts[] = {
      {"keys of one section", [](const std::u16string& name) { return name + u"=1\r\n"; },
       u"[S]\r\n"},
      {"section headers", [](const std::u16string& name) { return u"[" + name + u"]\r\nk=1\r\n"; },
       u""},
  };
  for (const Layout& layout : layouts) {
    std::u16string text(layout.prefix);
    for (const std::u16string& name : names) text += layout.line(name);
    LineIndex::Probes() = 0;
    const Document document = Document::FromBytes(Utf16LeFile(text));
    for (const std::u16string& name : names) {
      const bool keys = !layout.prefix.empty();
      ASSERT_EQ(document.FindValue(keys ? u"S" : name, keys ? name : u"k"), u"1") << layout.what;
    }
    // About two probes per insertion, rehash and lookup; colliding names
    // would need about kNames * kNames / 2.
    EXPECT_LT(LineIndex::Probes(), 10 * kNames) << layout.what;
  }
}

TEST(NameHash, KeyHashSeparatesSectionsAndNames) {
  EXPECT_EQ(KeyHash(u"Key", 3), KeyHash(u"KEY", 3));
  EXPECT_NE(KeyHash(u"Key", 3), KeyHash(u"Key", 4));
  EXPECT_NE(KeyHash(u"Key", 3), KeyHash(u"Kez", 3));
  // A section ordinal is no prefix of the name.
  EXPECT_NE(KeyHash(u"Key", 0), NameHash(u"Key"));
}

}  // namespace
}  // namespace orx::platform::ini
