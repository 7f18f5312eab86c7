// Equality of two runs of units of one known length (UTF-16, or ASCII kept
// as bytes): for the hit paths of a cached read, which compare names and
// paths of a few dozen units on every call, and for the parse, which
// compares each key name with one met before. Sixteen bytes at a time
// inline, the last block overlapping the one before it, so neither a call
// to memcmp nor a loop over a tail is paid. Reads only the units given.
#ifndef ORX_BASE_SAME_UNITS_H_
#define ORX_BASE_SAME_UNITS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orx {
namespace same_units_detail {

inline uint64_t Load8(const unsigned char* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline uint32_t Load4(const unsigned char* at) {
  uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline bool Same16(const unsigned char* a, const unsigned char* b) {
  return ((Load8(a) ^ Load8(b)) | (Load8(a + 8) ^ Load8(b + 8))) == 0;
}

}  // namespace same_units_detail

// Equality of `bytes` bytes at `a` and `b`.
inline bool SameBytes(const void* a, const void* b, size_t bytes) {
  using namespace same_units_detail;
  const auto* left = static_cast<const unsigned char*>(a);
  const auto* right = static_cast<const unsigned char*>(b);
  if (bytes >= 16) {
    for (size_t at = 0; at + 16 < bytes; at += 16) {
      if (!Same16(left + at, right + at)) return false;
    }
    return Same16(left + bytes - 16, right + bytes - 16);
  }
  if (bytes >= 8) {
    return ((Load8(left) ^ Load8(right)) | (Load8(left + bytes - 8) ^ Load8(right + bytes - 8))) ==
           0;
  }
  if (bytes >= 4) {
    return ((Load4(left) ^ Load4(right)) | (Load4(left + bytes - 4) ^ Load4(right + bytes - 4))) ==
           0;
  }
  for (size_t at = 0; at < bytes; ++at) {
    if (left[at] != right[at]) return false;
  }
  return true;
}

inline bool SameUnits(const char16_t* a, const char16_t* b, size_t count) {
  return SameBytes(a, b, count * sizeof(char16_t));
}

// The same for ASCII text kept as bytes.
inline bool SameUnits(const char* a, const char* b, size_t count) { return SameBytes(a, b, count); }

}  // namespace orx

#endif  // ORX_BASE_SAME_UNITS_H_
