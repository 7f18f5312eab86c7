// An open-addressing hash table of line numbers, one flat array of 4-byte
// slots. It stores no names and no whole hashes: a lookup hands each
// candidate line to the caller's predicate, which compares the names in the
// document's text, and the operations that move slots (growing, shrinking,
// erasing) ask the caller for a stored line's hash again. While every line
// stored is below kTaggedLimit, a slot also keeps the top 8 bits of its
// line's hash, so that a probe passes over almost every other name without
// reading the text; a table that holds a line past it drops the tags for
// good. Copying it is one memcpy, which keeps copying a document cheap. The
// hashes are keyed (name_hash.h), so probe runs stay short whatever names a
// file holds. Tables are sized to the line, not to a power of two, and run
// up to three quarters full: a probe run past the home slot mostly stays
// within one cache line, and the tags keep it from reading the text.
// Internal to the INI engine.
#ifndef ORX_PLATFORM_INI_LINE_INDEX_H_
#define ORX_PLATFORM_INI_LINE_INDEX_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace orx::platform::ini {

class LineIndex {
 public:
  static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  // Lines below this fit a slot beside an 8-bit tag.
  static constexpr uint32_t kTaggedLimit = (uint32_t{1} << 24) - 1;

  // Slots visited by lookups and insertions on this thread, for tests that
  // check that indexing stays linear in the number of names.
  static uint64_t& Probes() {
    // Counted on every probe: in an ELF shared object the initial-exec
    // model makes that one instruction instead of a call.
#if defined(__ELF__)
    __attribute__((tls_model("initial-exec")))
#endif
    static thread_local uint64_t probes = 0;
    return probes;
  }

  // Empties the table and makes room for `expected` lines and some more:
  // growing asks the caller for every stored hash again, which the first
  // edits that add names should not have to pay.
  void Reset(size_t expected) {
    slots_.assign(CapacityFor(expected + expected / 16 + 64), kFree);
    count_ = 0;
    tagged_ = true;
  }

  // The first line stored under `hash` for which `matches(line)` holds, or
  // kNone.
  template <typename Matches>
  uint32_t Find(uint32_t hash, Matches matches) const {
    if (slots_.empty()) return kNone;
    for (size_t i = Home(hash);; i = Next(i)) {
      const uint32_t slot = slots_[i];
      ++Probes();
      if (slot == kFree) return kNone;
      if (TagFits(slot, hash) && matches(LineOf(slot))) return LineOf(slot);
    }
  }

  // Asks the processor to fetch the slot `hash` lands on, ahead of a Find or
  // an insertion under it.
  void Prefetch(uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[Home(hash)]);
  }

  // Adds `line` under `hash`; the caller has made sure no equal name is there.
  // `hash_of(line)` gives the hash of a stored line, should the table grow.
  template <typename HashOf>
  void Insert(uint32_t hash, uint32_t line, HashOf hash_of) {
    InsertIfAbsent(
        hash, line, [](uint32_t) { return false; }, hash_of);
  }

  // Adds `line` under `hash` unless a line for which `matches` holds is
  // there already. Returns whether it added `line`.
  template <typename Matches, typename HashOf>
  bool InsertIfAbsent(uint32_t hash, uint32_t line, Matches matches, HashOf hash_of) {
    if (4 * (count_ + 1) > 3 * slots_.size()) {
      Rehash(slots_.empty() ? kSmallest : 2 * slots_.size(), hash_of);
    }
    size_t i = Home(hash);
    for (; slots_[i] != kFree; i = Next(i)) {
      ++Probes();
      if (TagFits(slots_[i], hash) && matches(LineOf(slots_[i]))) return false;
    }
    if (line >= kTaggedLimit) DropTags();
    slots_[i] = SlotOf(hash, line);
    ++count_;
    return true;
  }

  // Rebuilds a table that is less than a third full at the size Reset gives
  // for its lines.
  template <typename HashOf>
  void ShrinkToFit(HashOf hash_of) {
    if (slots_.size() <= kSmallest || 3 * count_ >= slots_.size()) return;
    Rehash(CapacityFor(count_), hash_of);
  }

  // Bytes of the slots the table holds, free ones included.
  size_t MemoryUsage() const { return slots_.capacity() * sizeof(uint32_t); }

  // Renumbers the stored lines after a line was inserted before `first`.
  void ShiftLinesFrom(uint32_t first) {
    if (tagged_) {
      for (const uint32_t slot : slots_) {
        if (slot != kFree && LineOf(slot) + 1 >= kTaggedLimit) {
          DropTags();
          break;
        }
      }
    }
    // The line sits in the low bits, so adding one moves it and keeps the tag.
    for (uint32_t& slot : slots_) {
      if (slot != kFree && LineOf(slot) >= first) ++slot;
    }
  }

  // Renumbers the stored lines after the line before `first` was removed.
  void ShiftLinesDownFrom(uint32_t first) {
    for (uint32_t& slot : slots_) {
      if (slot != kFree && LineOf(slot) >= first) --slot;
    }
  }

  // Removes `line`, stored under `hash`. Returns whether it was there. The
  // slots after it in its probe run move back into the gap where their home
  // allows, so that no later lookup stops early at it.
  template <typename HashOf>
  bool Erase(uint32_t hash, uint32_t line, HashOf hash_of) {
    if (slots_.empty()) return false;
    size_t gap = Home(hash);
    for (; slots_[gap] == kFree || LineOf(slots_[gap]) != line; gap = Next(gap)) {
      if (slots_[gap] == kFree) return false;
    }
    for (size_t next = Next(gap); slots_[next] != kFree; next = Next(next)) {
      const size_t home = Home(hash_of(LineOf(slots_[next])));
      // The slot may fill the gap unless its home lies after the gap, up to
      // and including its own position (cyclically).
      const bool home_after_gap =
          gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
      if (home_after_gap) continue;
      slots_[gap] = slots_[next];
      gap = next;
    }
    slots_[gap] = kFree;
    --count_;
    return true;
  }

 private:
  // A slot holds line + 1 in its low bits, 0 when free; with tags, the top
  // 8 bits hold the low 8 bits of the line's hash. The home slot comes from
  // the high bits, so that the tag tells apart names that share a home.
  static constexpr uint32_t kFree = 0;
  static constexpr uint32_t kLineBits = kTaggedLimit;
  static constexpr uint32_t kTagBits = ~kLineBits;
  static constexpr size_t kSmallest = 8;

  // Room for `lines` at most three quarters full.
  static size_t CapacityFor(size_t lines) { return std::max(kSmallest, lines + lines / 3 + 1); }
  size_t Home(uint32_t hash) const { return (uint64_t{hash} * slots_.size()) >> 32; }
  size_t Next(size_t i) const { return i + 1 == slots_.size() ? 0 : i + 1; }
  static uint32_t Tag(uint32_t hash) { return hash << 24; }

  uint32_t LineOf(uint32_t slot) const { return (tagged_ ? slot & kLineBits : slot) - 1; }
  bool TagFits(uint32_t slot, uint32_t hash) const {
    return !tagged_ || (slot & kTagBits) == Tag(hash);
  }
  uint32_t SlotOf(uint32_t hash, uint32_t line) const {
    return tagged_ ? Tag(hash) | (line + 1) : line + 1;
  }

  void DropTags() {
    if (!tagged_) return;
    for (uint32_t& slot : slots_) slot &= kLineBits;
    tagged_ = false;
  }

  template <typename HashOf>
  void Rehash(size_t capacity, HashOf hash_of) {
    std::vector<uint32_t> old = std::move(slots_);
    slots_.assign(capacity, kFree);
    slots_.shrink_to_fit();
    for (const uint32_t slot : old) {
      if (slot == kFree) continue;
      size_t i = Home(hash_of(LineOf(slot)));
      while (slots_[i] != kFree) {
        ++Probes();
        i = Next(i);
      }
      slots_[i] = slot;
    }
  }

  std::vector<uint32_t> slots_;
  size_t count_ = 0;
  bool tagged_ = true;
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_LINE_INDEX_H_
