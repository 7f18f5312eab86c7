#include "tasks/slot_key.h"

#include <algorithm>
#include <iterator>

#include "access/decimal.h"
#include "frame/names.h"

namespace orx::tasks {

void FormSlotKey(int32_t slot, SlotKey& key) {
  char16_t digits[access::kDecimalCapacity];
  access::FormatDecimal(slot, digits);
  kSlotPrefix.copy(key, kSlotPrefix.size());
  const std::u16string_view number(digits);
  number.copy(key + kSlotPrefix.size(), number.size());
  std::fill(std::begin(key) + kSlotPrefix.size() + number.size(), std::end(key), u'\0');
}

void SlotKeyCounter::Form(int32_t slot) {
  FormSlotKey(slot, key_);
  length_ = std::u16string_view(key_).size();
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
