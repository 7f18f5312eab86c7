#include "tasks/slot_key.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "access/decimal.h"
#include "base/caller_buffer.h"
#include "frame/names.h"

namespace orx::tasks {
namespace {

constexpr std::u16string_view kSlotPrefix = u"Task";

}  // namespace

void FormSlotKey(int32_t slot, SlotKey& key) {
  char16_t digits[access::kDecimalCapacity];
  access::FormatDecimal(slot, digits);
  kSlotPrefix.copy(key, kSlotPrefix.size());
  const std::u16string_view number(digits);
  number.copy(key + kSlotPrefix.size(), number.size());
  std::fill(std::begin(key) + kSlotPrefix.size() + number.size(), std::end(key), u'\0');
}

std::u16string_view SlotKeyCounter::KeyOf(int32_t slot) {
  // Counting up in place holds only for positive numbers.
  const bool next = slot_ > 0 && slot == int64_t{slot_} + 1;
  if (!next || !CountUp()) {
    FormSlotKey(slot, key_);
    length_ = std::u16string_view(key_).size();
  }
  slot_ = slot;
  return {key_, length_};
}

void SlotKeyCounter::CopyKeyOf(int32_t slot, char16_t* buffer, uint32_t size) {
  const std::u16string_view key = KeyOf(slot);
  // Callers mostly give a buffer of the key's own capacity: it takes key_
  // whole, zeros included, in one fixed-size move instead of a measured copy
  // and a fill (an enumeration step makes one).
  if (size == kSlotKeyCapacity) {
    std::memcpy(buffer, key_, sizeof key_);
    return;
  }
  CopyZeroFilled(key, buffer, size);
}

bool SlotKeyCounter::CountUp() {
  for (size_t i = length_; i-- > kSlotPrefix.size();) {
    if (key_[i] != u'9') {
      ++key_[i];
      return true;
    }
    key_[i] = u'0';
  }
  return false;
}

std::optional<int32_t> SlotNumberOf(frame::TextView key) {
  if (key.size() <= kSlotPrefix.size() ||
      !frame::EqualsIgnoreCase(key.substr(0, kSlotPrefix.size()), frame::TextView(kSlotPrefix))) {
    return std::nullopt;
  }
  const frame::TextView digits = key.substr(kSlotPrefix.size());
  if (digits[0] == u'0' || digits.size() > 10) return std::nullopt;
  int64_t number = 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    const char16_t unit = digits[i];
    if (unit < u'0' || unit > u'9') return std::nullopt;
    number = number * 10 + (unit - u'0');
  }
  if (number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

}  // namespace orx::tasks
