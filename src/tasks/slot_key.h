// The grammar of the task list's keys: "Task" and a slot number in decimal.
// One place decides which key names a slot, so the library's slot search,
// its slot reads and compaction, and any tool that inspects the list, agree
// with what a profile read of "Task<n>" would find. Pure; no I/O.
#ifndef ORX_TASKS_SLOT_KEY_H_
#define ORX_TASKS_SLOT_KEY_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/caller_buffer.h"
#include "frame/profile.h"

namespace orx::tasks {

// "Task" and a slot number in decimal; the longest is "Task-2147483648".
inline constexpr int kSlotKeyCapacity = 16;
inline constexpr std::u16string_view kSlotPrefix = u"Task";
using SlotKey = char16_t[kSlotKeyCapacity];

// The key of slot `slot`, zero-terminated and zero-filled to the end of `key`.
void FormSlotKey(int32_t slot, SlotKey& key);

// The keys of a walk's slots, one after another: the key of the slot after
// the last one is that key counted up in place, instead of a number
// formatted afresh at every step.
class SlotKeyCounter {
 public:
  // The key of `slot`, as FormSlotKey writes it; stays valid until the
  // next call. Inline, like CopyKeyOf: a walk asks at every step.
  std::u16string_view KeyOf(int32_t slot) {
    // Counting up in place holds only for positive numbers.
    const bool next = slot_ > 0 && slot == int64_t{slot_} + 1;
    if (!next || !CountUp()) Form(slot);
    slot_ = slot;
    return {key_, length_};
  }

  // The key of `slot` in exactly `size` units of `buffer`, as CopyZeroFilled
  // puts it there.
  void CopyKeyOf(int32_t slot, char16_t* buffer, uint32_t size) {
    const std::u16string_view key = KeyOf(slot);
    // Callers mostly give a buffer of the key's own capacity: it takes key_
    // whole, zeros included, in one fixed-size move instead of a measured
    // copy and a fill.
    if (size == kSlotKeyCapacity) {
      std::memcpy(buffer, key_, sizeof key_);
      return;
    }
    CopyZeroFilled(key, buffer, size);
  }

 private:
  // Adds one to the digits of key_; false when they are all nines, which
  // takes one digit more (they are then zeros, and the key must be formed).
  bool CountUp() {
    for (size_t i = length_; i-- > kSlotPrefix.size();) {
      if (key_[i] != u'9') {
        ++key_[i];
        return true;
      }
      key_[i] = u'0';
    }
    return false;
  }
  // Forms the key of `slot` afresh.
  void Form(int32_t slot);

  int32_t slot_ = 0;  // the slot key_ holds; 0 for none
  SlotKey key_ = {};  // zero past the key
  size_t length_ = 0;
};

// The positive slot number that a profile read of "Task<n>" would match
// with the trimmed key name `key`: the prefix in any letter case, then the
// decimal digits of n as the library writes them (no sign, no leading zero)
// for an n from 1 to 2147483647. nullopt for any other name.
std::optional<int32_t> SlotNumberOf(frame::TextView key);

}  // namespace orx::tasks

#endif  // ORX_TASKS_SLOT_KEY_H_
