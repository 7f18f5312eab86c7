// The line index against a plain map of line to hash: lookups, erasures
// that close gaps in probe runs, renumbering and resizing must agree with it
// whether slots carry hash tags (small line numbers) or not (lines past the
// tagged range), and whatever the hashes' collisions.
#include "platform/ini/line_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

namespace orx::platform::ini {
namespace {

// What a document is to its index: each stored line's hash.
class Model {
 public:
  auto HashOf() const {
    return [this](uint32_t line) { return hashes_.at(line); };
  }
  void Add(LineIndex& index, uint32_t line, uint32_t hash) {
    hashes_[line] = hash;
    index.Insert(hash, line, HashOf());
  }
  void Remove(LineIndex& index, uint32_t line) {
    ASSERT_TRUE(index.Erase(hashes_.at(line), line, HashOf())) << line;
    hashes_.erase(line);
  }
  void ShiftFrom(LineIndex& index, uint32_t first) {
    std::map<uint32_t, uint32_t> shifted;
    for (const auto& [line, hash] : hashes_) shifted[line >= first ? line + 1 : line] = hash;
    hashes_ = std::move(shifted);
    index.ShiftLinesFrom(first);
  }
  // Every stored line is found under its hash, and nothing else is.
  void ExpectAgrees(const LineIndex& index, const std::vector<uint32_t>& absent,
                    const char* what) const {
    for (const auto& [line, hash] : hashes_) {
      const uint32_t wanted = line;
      EXPECT_EQ(index.Find(hash, [&](uint32_t other) { return other == wanted; }), line) << what;
    }
    for (const uint32_t line : absent) {
      EXPECT_EQ(index.Find(0, [&](uint32_t other) { return other == line; }), LineIndex::kNone)
          << what << " " << line;
    }
  }
  const std::map<uint32_t, uint32_t>& hashes() const { return hashes_; }

 private:
  std::map<uint32_t, uint32_t> hashes_;
};

TEST(LineIndex, AgreesWithAMapThroughInsertsErasuresAndResizes) {
  struct Case {
    const char* what;
    uint32_t first_line;
    uint32_t (*hash)(uint32_t i);
  };
  const Case cases[] = {
      {"spread hashes, tagged", 0, [](uint32_t i) { return i * 0x9E3779B1u; }},
      {"one home, one tag", 5, [](uint32_t) { return 0x12000003u; }},
      {"one home, tags differ", 7, [](uint32_t i) { return 0x40000000u | i; }},
      {"two homes interleaved", 0, [](uint32_t i) { return (i % 2) << 31 | i; }},
      {"lines past the tagged range", LineIndex::kTaggedLimit - 20,
       [](uint32_t i) { return (i % 3) << 30 | i; }},
      {"lines far past it", 0xF0000000u, [](uint32_t i) { return i * 0x9E3779B1u; }},
  };
  for (const Case& c : cases) {
    LineIndex index;
    index.Reset(4);
    Model model;
    constexpr uint32_t kLines = 64;  // grows the table several times
    for (uint32_t i = 0; i < kLines; ++i) model.Add(index, c.first_line + 2 * i, c.hash(i));
    model.ExpectAgrees(index, {c.first_line + 1, c.first_line + 2 * kLines}, c.what);
    std::vector<uint32_t> erased;
    for (uint32_t i = 0; i < kLines; i += 3) {
      model.Remove(index, c.first_line + 2 * i);
      erased.push_back(c.first_line + 2 * i);
    }
    model.ExpectAgrees(index, erased, c.what);
    EXPECT_FALSE(index.Erase(c.hash(0), c.first_line, model.HashOf())) << c.what;
    // Mostly empty now: shrinking rehashes what is left.
    for (uint32_t i = 0; i < kLines; ++i) {
      if (i % 3 != 0) model.Remove(index, c.first_line + 2 * i);
      if (i == kLines - 4) break;
    }
    index.ShrinkToFit(model.HashOf());
    EXPECT_LE(index.MemoryUsage(), 16 * sizeof(uint32_t)) << c.what;
    model.ExpectAgrees(index, erased, c.what);
  }
}

TEST(LineIndex, RenumberingAcrossTheTaggedRangeKeepsEveryLine) {
  LineIndex index;
  index.Reset(8);
  Model model;
  const uint32_t top = LineIndex::kTaggedLimit - 1;  // the last line a tag fits beside
  const uint32_t lines[] = {0, 9, top - 2, top - 1, top};
  for (const uint32_t line : lines) model.Add(index, line, line * 0x9E3779B1u);
  model.ShiftFrom(index, 5);  // pushes `top` out of the tagged range
  model.ShiftFrom(index, 0);
  model.ExpectAgrees(index, {0, 9, top - 1}, "after shifting");
  model.Add(index, 3, 3 * 0x9E3779B1u);
  index.ShiftLinesDownFrom(4);
  for (const auto& [line, hash] : model.hashes()) {
    const uint32_t now = line >= 4 ? line - 1 : line;
    EXPECT_EQ(index.Find(hash, [&](uint32_t other) { return other == now; }), now);
  }
}

TEST(LineIndex, TagsSpareTheNameComparisonOfOtherNames) {
  LineIndex index;
  index.Reset(64);
  Model model;
  // Same home, different low bits: only the right line is compared.
  for (uint32_t i = 0; i < 32; ++i) model.Add(index, i, 0x40000000u | i);
  int compared = 0;
  EXPECT_EQ(index.Find(0x40000000u | 31u,
                       [&](uint32_t line) {
                         ++compared;
                         return line == 31;
                       }),
            31u);
  EXPECT_EQ(compared, 1);
}

}  // namespace
}  // namespace orx::platform::ini
