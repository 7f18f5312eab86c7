// An open-addressing hash table of line numbers, one flat array of slots.
// It stores no names: a lookup hands each candidate line with the right hash
// to the caller's predicate, which compares the names in the document's text.
// Copying it is one memcpy, which keeps copying a document cheap. The hashes
// are keyed (name_hash.h), so probe runs stay short whatever names a file
// holds. Internal to the INI engine.
#ifndef ORX_PLATFORM_INI_LINE_INDEX_H_
#define ORX_PLATFORM_INI_LINE_INDEX_H_

#include <cstdint>
#include <limits>
#include <vector>

namespace orx::platform::ini {

class LineIndex {
 public:
  static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

  // Slots visited by lookups and insertions on this thread, for tests that
  // check that indexing stays linear in the number of names.
  static uint64_t& Probes() {
    static thread_local uint64_t probes = 0;
    return probes;
  }

  // Empties the table and makes room for `expected` lines at most half full.
  void Reset(size_t expected) {
    size_t capacity = 8;
    while (capacity < 2 * expected) capacity *= 2;
    slots_.assign(capacity, Slot{0, kNone});
    count_ = 0;
  }

  // The first line stored under `hash` for which `matches(line)` holds, or
  // kNone.
  template <typename Matches>
  uint32_t Find(uint32_t hash, Matches matches) const {
    if (slots_.empty()) return kNone;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      ++Probes();
      if (slot.line == kNone) return kNone;
      if (slot.hash == hash && matches(slot.line)) return slot.line;
    }
  }

  // Asks the processor to fetch the slot `hash` lands on, ahead of a Find or
  // an insertion under it.
  void Prefetch(uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }

  // Adds `line` under `hash`; the caller has made sure no equal name is there.
  void Insert(uint32_t hash, uint32_t line) {
    InsertIfAbsent(hash, line, [](uint32_t) { return false; });
  }

  // Adds `line` under `hash` unless a line for which `matches` holds is
  // there already. Returns whether it added `line`.
  template <typename Matches>
  bool InsertIfAbsent(uint32_t hash, uint32_t line, Matches matches) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    for (; slots_[i].line != kNone; i = (i + 1) & mask) {
      ++Probes();
      if (slots_[i].hash == hash && matches(slots_[i].line)) return false;
    }
    slots_[i] = Slot{hash, line};
    ++count_;
    return true;
  }

  // Rebuilds a table that is less than an eighth full at the smallest size
  // that holds its lines at most half full.
  void ShrinkToFit() {
    if (slots_.size() <= 8 || 8 * count_ >= slots_.size()) return;
    std::vector<Slot> old = std::move(slots_);
    size_t capacity = 8;
    while (capacity < 2 * count_) capacity *= 2;
    Rehash(old, capacity);
  }

  // Bytes of the slots the table holds, free ones included.
  size_t MemoryUsage() const { return slots_.capacity() * sizeof(Slot); }

  // Renumbers the stored lines after a line was inserted before `first`.
  void ShiftLinesFrom(uint32_t first) {
    for (Slot& slot : slots_) {
      if (slot.line != kNone && slot.line >= first) ++slot.line;
    }
  }

  // Renumbers the stored lines after the line before `first` was removed.
  void ShiftLinesDownFrom(uint32_t first) {
    for (Slot& slot : slots_) {
      if (slot.line != kNone && slot.line >= first) --slot.line;
    }
  }

  // Removes `line`, stored under `hash`. Returns whether it was there. The
  // slots after it in its probe run move back into the gap where their home
  // allows, so that no later lookup stops early at it.
  bool Erase(uint32_t hash, uint32_t line) {
    if (slots_.empty()) return false;
    const size_t mask = slots_.size() - 1;
    size_t gap = hash & mask;
    for (; slots_[gap].line != line || slots_[gap].hash != hash; gap = (gap + 1) & mask) {
      if (slots_[gap].line == kNone) return false;
    }
    for (size_t next = (gap + 1) & mask; slots_[next].line != kNone; next = (next + 1) & mask) {
      const size_t home = slots_[next].hash & mask;
      // The slot may fill the gap unless its home lies after the gap, up to
      // and including its own position (cyclically).
      const bool home_after_gap =
          gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
      if (home_after_gap) continue;
      slots_[gap] = slots_[next];
      gap = next;
    }
    slots_[gap] = Slot{0, kNone};
    --count_;
    return true;
  }

 private:
  struct Slot {
    uint32_t hash;
    uint32_t line;  // kNone: free
  };

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    Rehash(old, old.empty() ? 8 : 2 * old.size());
  }

  void Rehash(const std::vector<Slot>& old, size_t capacity) {
    slots_.assign(capacity, Slot{0, kNone});
    slots_.shrink_to_fit();
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.line == kNone) continue;
      size_t i = slot.hash & mask;
      while (slots_[i].line != kNone) {
        ++Probes();
        i = (i + 1) & mask;
      }
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_LINE_INDEX_H_
