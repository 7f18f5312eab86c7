// Copies of text into buffers that a caller of the library owns. Every
// export that hands text out goes through one of these, so the rules for a
// buffer that is too small (where the text is cut, whether it is terminated,
// whether a surrogate pair may be split) are written once.
#ifndef ORX_BASE_CALLER_BUFFER_H_
#define ORX_BASE_CALLER_BUFFER_H_

#include <cstdint>
#include <string_view>

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
// as cut).
CopyResult CopyTerminated(std::u16string_view text, char16_t* buffer, uint32_t size,
                          PairRule pairs = PairRule::kMaySplit);

// Copies `text` into exactly `size` units of `buffer`, filling the rest with
// zeros; a text of `size` units or more is cut and left unterminated. The
// shape of the key names an enumeration hands out.
void CopyZeroFilled(std::u16string_view text, char16_t* buffer, uint32_t size);

}  // namespace orx

#endif  // ORX_BASE_CALLER_BUFFER_H_
