// The slot-key grammar: which key names a slot, as a profile read of
// "Task<n>" would match it, and the keys the library writes.
#include "tasks/slot_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orx::tasks {
namespace {

TEST(SlotNumberOf, AcceptsOnlyTheKeysTheLibraryWrites) {
  const struct {
    std::u16string key;
    std::optional<int32_t> slot;
  } cases[] = {
      {u"Task1", 1},
      {u"TASK12", 12},
      {u"tAsK7", 7},
      {u"Task2147483647", INT32_MAX},
      {u"Task2147483648", std::nullopt},   // past the 32-bit bound
      {u"Task99999999999", std::nullopt},  // eleven digits
      {u"Task0", std::nullopt},
      {u"Task01", std::nullopt},
      {u"Task-1", std::nullopt},
      {u"Task+1", std::nullopt},
      {u"Task", std::nullopt},
      {u"Task1a", std::nullopt},
      {u"Tas1", std::nullopt},
      {u"XTask1", std::nullopt},
      {u"Task\uFF11", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SlotNumberOf(c.key), c.slot) << std::string(c.key.begin(), c.key.end());
  }
}

TEST(FormSlotKey, WritesKeysTheGrammarReadsBack) {
  for (const int32_t slot : {1, 10, 10000, INT32_MAX}) {
    SlotKey key;
    FormSlotKey(slot, key);
    EXPECT_EQ(SlotNumberOf(key), slot);
  }
  SlotKey longest;
  FormSlotKey(INT32_MIN, longest);
  EXPECT_EQ(std::u16string(longest), u"Task-2147483648");
}

// Walks forwards, across every change in the number of digits, jumps and
// steps backwards: each key must be the one FormSlotKey writes, and each
// copy the one CopyZeroFilled makes of it, in buffers shorter than the key,
// of its own capacity (copied whole, so a longer key before must leave no
// digit behind) and longer.
TEST(SlotKeyCounter, GivesTheKeyFormSlotKeyWrites) {
  const struct {
    const char* what;
    std::vector<int32_t> slots;
  } cases[] = {
      {"from 1 past a thousand", {}},
      {"nines to one digit more", {8, 9, 10, 98, 99, 100, 999999999, 1000000000}},
      {"to the last slot", {2147483645, 2147483646, INT32_MAX}},
      {"the same slot twice", {41, 41, 42}},
      {"jumps and steps back", {5, 7, 6, 6, 1, 2, 20, 19, 20}},
      {"long keys, then short ones", {1000000000, 3, 12345, 7, INT32_MAX, 10}},
      {"negative and zero", {-3, -2, -1, 0, 1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int32_t> slots = c.slots;
    if (slots.empty()) {
      for (int32_t slot = 1; slot <= 1010; ++slot) slots.push_back(slot);
    }
    SlotKeyCounter counter;
    for (const int32_t slot : slots) {
      SlotKey expected;
      FormSlotKey(slot, expected);
      ASSERT_EQ(counter.KeyOf(slot), std::u16string_view(expected)) << slot;
      for (const uint32_t size : {3u, 15u, 16u, 17u, 24u}) {
        std::u16string want(size, u'#');
        CopyZeroFilled(std::u16string_view(expected), want.data(), size);
        std::u16string copied(size, u'#');
        counter.CopyKeyOf(slot, copied.data(), size);
        ASSERT_EQ(copied, want) << slot << " into " << size;
      }
    }
  }
}

}  // namespace
}  // namespace orx::tasks
