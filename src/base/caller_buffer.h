// Copies of text into buffers that a caller of the library owns. Every
// export that hands text out goes through one of these, so the rules for a
// buffer that is too small (where the text is cut, whether it is terminated,
// whether a surrogate pair may be split) are written once.
#ifndef ORX_BASE_CALLER_BUFFER_H_
#define ORX_BASE_CALLER_BUFFER_H_

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "base/utf.h"

namespace orx {

struct CopyResult {
  uint32_t copied;  // units copied, the terminator not counted
  bool cut;         // some of the text was left out
};

// How a cut treats a surrogate pair that straddles the end of the room.
enum class PairRule {
  kMaySplit,   // cut at the unit, as the profile reads do
  kKeepWhole,  // drop the high half too, as the string loads do, so the copy
               // stays encodable
};

// Copies `text` into `buffer`, cut to size-1 units and zero-terminated.
// `size` 0 or a null `buffer` copies nothing (and reports a non-empty text
// as cut). Inline: every cached read and enumeration step ends here.
inline CopyResult CopyTerminated(std::u16string_view text, char16_t* buffer, uint32_t size,
                                 PairRule pairs = PairRule::kMaySplit) {
  if (buffer == nullptr || size == 0) return {0, !text.empty()};
  size_t count = std::min<size_t>(text.size(), size - 1);
  if (pairs == PairRule::kKeepWhole && count < text.size() && count > 0 &&
      IsHighSurrogate(text[count - 1]) && IsLowSurrogate(text[count])) {
    --count;
  }
  std::copy_n(text.data(), count, buffer);
  buffer[count] = u'\0';
  return {static_cast<uint32_t>(count), count < text.size()};
}

// Copies `text` into exactly `size` units of `buffer`, filling the rest with
// zeros; a text of `size` units or more is cut and left unterminated. The
// shape of the key names an enumeration hands out.
inline void CopyZeroFilled(std::u16string_view text, char16_t* buffer, uint32_t size) {
  const size_t count = std::min<size_t>(text.size(), size);
  std::copy_n(text.data(), count, buffer);
  std::fill(buffer + count, buffer + size, u'\0');
}

}  // namespace orx

#endif  // ORX_BASE_CALLER_BUFFER_H_
