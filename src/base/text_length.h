// The length of a zero-terminated UTF-16 string, eight units a step where
// the processor can compare them at once: every read measures its section,
// key and path, and a unit-by-unit count was a fifth of a cached read's own
// work.
#ifndef ORX_BASE_TEXT_LENGTH_H_
#define ORX_BASE_TEXT_LENGTH_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orx {

#if defined(__SSE2__)
// Loads only whole aligned 16-byte blocks, which never cross into another
// page, so the blocks holding the string's first and last units may be read
// beyond the string itself; the sanitizers would take those bytes for the
// neighbours' and are told not to look.
__attribute__((no_sanitize("address", "thread"))) inline size_t TextLength(const char16_t* text) {
  const auto address = reinterpret_cast<uintptr_t>(text);
  if (address % 2 != 0) return std::char_traits<char16_t>::length(text);
  // The blocks are read through the intrinsic, whose pointer type may alias
  // the units: a block pointer declared `auto*` loses that (gcc deduces the
  // vector type without its may_alias attribute), and at -O2 gcc then moved
  // the read of a block ahead of the store of the string's own zero.
  const __m128i* block = reinterpret_cast<const __m128i*>(address & ~uintptr_t{15});
  const __m128i zero = _mm_setzero_si128();
  // Units of the first block that come before the string are skipped.
  unsigned hits =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_load_si128(block), zero))) >>
      (address & 15);
  size_t scanned = 16 - (address & 15);
  while (hits == 0) {
    ++block;
    hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_load_si128(block), zero)));
    if (hits != 0) return (scanned + static_cast<size_t>(__builtin_ctz(hits))) / 2;
    scanned += 16;
  }
  return static_cast<size_t>(__builtin_ctz(hits)) / 2;
}
#else
inline size_t TextLength(const char16_t* text) { return std::char_traits<char16_t>::length(text); }
#endif

}  // namespace orx

#endif  // ORX_BASE_TEXT_LENGTH_H_
