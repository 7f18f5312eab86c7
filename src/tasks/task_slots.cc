// The slot table is the one place that knows how a key name maps to a slot
// number, so the free-slot search, slot reads and compaction all agree with
// what a profile read of "Task<n>" would find.
#include "tasks/task_slots.h"

#include <algorithm>
#include <mutex>

#include "access/decimal.h"
#include "frame/names.h"

namespace orx::tasks {
namespace {

constexpr std::u16string_view kSlotPrefix = u"Task";

// The positive slot number that a profile read of "Task<n>" would match
// with `key`: the prefix in any letter case, then the decimal digits of n as
// the library writes them (no sign, no leading zero). Keys arrive trimmed.
std::optional<int32_t> SlotNumberOf(std::u16string_view key) {
  if (key.size() <= kSlotPrefix.size() ||
      !frame::EqualsIgnoreCase(key.substr(0, kSlotPrefix.size()), kSlotPrefix)) {
    return std::nullopt;
  }
  const std::u16string_view digits = key.substr(kSlotPrefix.size());
  if (digits[0] == u'0' || digits.size() > 10) return std::nullopt;
  int64_t number = 0;
  for (const char16_t unit : digits) {
    if (unit < u'0' || unit > u'9') return std::nullopt;
    number = number * 10 + (unit - u'0');
  }
  if (number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

struct RememberedTaskList {
  std::mutex mutex;
  std::shared_ptr<const TaskListSnapshot> snapshot;
};

// Never destroyed, so enumerations running while the process exits still
// find it.
RememberedTaskList& Remembered() {
  static auto* remembered = new RememberedTaskList;
  return *remembered;
}

}  // namespace

void FormSlotKey(int32_t slot, SlotKey& key) {
  char16_t digits[access::kDecimalCapacity];
  access::FormatDecimal(slot, digits);
  kSlotPrefix.copy(key, kSlotPrefix.size());
  const std::u16string_view number(digits);
  number.copy(key + kSlotPrefix.size(), number.size());
  key[kSlotPrefix.size() + number.size()] = u'\0';
}

SlotTable::SlotTable(const frame::ProfileReader& reader) {
  reader.ForEachValue(kScannerSection, [this](std::u16string_view key, std::u16string_view value) {
    if (const std::optional<int32_t> number = SlotNumberOf(key)) slots_.push_back({*number, value});
    return true;
  });
  // A stable sort keeps the first of several keys for one slot in front, and
  // that is the one a profile read finds.
  std::stable_sort(slots_.begin(), slots_.end(),
                   [](const Slot& a, const Slot& b) { return a.number < b.number; });
  slots_.erase(std::unique(slots_.begin(), slots_.end(),
                           [](const Slot& a, const Slot& b) { return a.number == b.number; }),
               slots_.end());
  for (const Slot& slot : slots_) {
    if (slot.number != first_free_ || slot.id.empty()) break;
    if (++first_free_ == kNoFreeSlot) break;
  }
}

std::optional<std::u16string_view> SlotTable::Find(int32_t number) const {
  const auto found = std::lower_bound(slots_.begin(), slots_.end(), number,
                                      [](const Slot& slot, int32_t n) { return slot.number < n; });
  if (found == slots_.end() || found->number != number) return std::nullopt;
  return found->id;
}

int32_t FindFreeTaskSlot(const frame::ProfileReader& reader) {
  return SlotTable(reader).first_free();
}

bool IsTaskListed(const frame::ProfileReader& reader, std::u16string_view task) {
  bool listed = false;
  reader.ForEachValue(kScannerSection, [&](std::u16string_view, std::u16string_view value) {
    listed = frame::EqualsIgnoreCase(value, task);
    return !listed;
  });
  return listed;
}

bool ReadTaskSlot(const SlotTable& table, int32_t slot, char16_t* valueBuffer,
                  uint32_t* valueLength, char16_t* keyBuffer, uint32_t* keyLength) {
  *valueLength = CopyCut(table.Find(slot).value_or(u""), valueBuffer, *valueLength);
  if (keyBuffer != nullptr && keyLength != nullptr) {
    SlotKey key;
    FormSlotKey(slot, key);
    const std::u16string_view name(key);
    BoundedCopy(name, keyBuffer, *keyLength);
    *keyLength = static_cast<uint32_t>(name.size());
  }
  return *valueLength == 0;
}

std::shared_ptr<const TaskListSnapshot> CurrentTaskList(const char16_t* path) {
  auto fresh = std::make_shared<TaskListSnapshot>(path);
  RememberedTaskList& remembered = Remembered();
  {
    std::lock_guard lock(remembered.mutex);
    if (remembered.snapshot != nullptr &&
        remembered.snapshot->view().identity() == fresh->view().identity()) {
      return remembered.snapshot;
    }
  }
  fresh->Index();
  std::lock_guard lock(remembered.mutex);
  remembered.snapshot = fresh;
  return fresh;
}

Status BuildTaskFilePath(frame::SettingsPath& path) {
  return frame::BuildSettingsPath(path, kTaskFile);
}

Status LastWriteError() {
  const uint32_t error = frame::ProfileLastError();
  return error != 0 ? StatusFromCode(error) : Status::kInternalError;
}

uint32_t CopyCut(std::u16string_view text, char16_t* buffer, uint32_t size) {
  if (size == 0) return 0;
  const size_t count = std::min<size_t>(text.size(), size - 1);
  text.copy(buffer, count);
  buffer[count] = u'\0';
  return static_cast<uint32_t>(count);
}

void BoundedCopy(std::u16string_view text, char16_t* buffer, uint32_t size) {
  const size_t count = std::min<size_t>(text.size(), size);
  text.copy(buffer, count);
  std::fill(buffer + count, buffer + size, u'\0');
}

}  // namespace orx::tasks
