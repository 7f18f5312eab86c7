// What a thread's last few lookups in one document gave: for each pair of
// names asked, the value found or that there was none. The store keeps one
// beside the document it lends each thread and forgets it whenever that
// document changes, so a setting read again while its file stays unchanged
// costs a comparison of the names instead of two hashes and two probes.
// Values are views into the document's text, valid while it is held.
#ifndef ORX_PLATFORM_RECENT_LOOKUPS_H_
#define ORX_PLATFORM_RECENT_LOOKUPS_H_

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/same_units.h"
#include "platform/ini/text_view.h"

namespace orx::platform {

class RecentLookups {
 public:
  using Value = std::optional<ini::TextView>;

  // Forgets every lookup; the views they hold may dangle from here on.
  void Clear() { ++generation_; }

  // The remembered value of `key` in `section`, names spelled exactly as
  // given; nullptr when the pair is not remembered. The pair asked last is
  // tried before any hashing: a caller polling one setting asks the same
  // pair again and again.
  const Value* Find(std::u16string_view section, std::u16string_view key) {
    if (const Entry& last = entries_[last_];
        last.generation == generation_ && last.Holds(section, key)) {
      return &last.value;
    }
    const size_t slot = SlotOf(section, key);
    const Entry& entry = entries_[slot];
    if (entry.generation != generation_ || !entry.Holds(section, key)) return nullptr;
    last_ = slot;
    return &entry.value;
  }

  // Remembers what the lookup of `key` in `section` gave. Names longer than
  // an entry holds are not remembered.
  void Remember(std::u16string_view section, std::u16string_view key, Value value) {
    if (section.size() + key.size() > kNameUnits) return;
    last_ = SlotOf(section, key);
    Entry& entry = entries_[last_];
    entry.generation = generation_;
    entry.section_units = static_cast<uint16_t>(section.size());
    entry.key_units = static_cast<uint16_t>(key.size());
    std::memcpy(entry.names, section.data(), section.size() * sizeof(char16_t));
    std::memcpy(entry.names + section.size(), key.data(), key.size() * sizeof(char16_t));
    entry.value = value;
  }

 private:
  // A task section's name is 38 units; the catalogue's keys are shorter.
  static constexpr size_t kNameUnits = 80;
  static constexpr size_t kEntries = 16;

  struct Entry {
    uint64_t generation = 0;
    uint16_t section_units = 0;
    uint16_t key_units = 0;
    char16_t names[kNameUnits];
    Value value;

    bool Holds(std::u16string_view section, std::u16string_view key) const {
      return section.size() == section_units && key.size() == key_units &&
             SameUnits(names, section.data(), section.size()) &&
             SameUnits(names + section.size(), key.data(), key.size());
    }
  };

  // Nothing here needs to resist crafted names: a collision only costs a
  // lookup in the document, whose index is keyed.
  static size_t SlotOf(std::u16string_view section, std::u16string_view key) {
    // A few units spread over each name: task sections share their length
    // and their braces, keys often their first letters.
    uint32_t hash = static_cast<uint32_t>(section.size() << 8 ^ key.size());
    for (const std::u16string_view name : {section, key}) {
      if (const size_t size = name.size(); size != 0) {
        for (const size_t at : {size / 4, size / 2, 3 * size / 4, size - 1}) {
          hash = (hash ^ name[at]) * 16777619u;
        }
      }
    }
    return (hash ^ (hash >> 15)) % kEntries;
  }

  uint64_t generation_ = 1;
  size_t last_ = 0;
  Entry entries_[kEntries];
};

}  // namespace orx::platform

#endif  // ORX_PLATFORM_RECENT_LOOKUPS_H_
