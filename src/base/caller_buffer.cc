// The copies behind the caller-buffer helpers.
#include "base/caller_buffer.h"

#include <algorithm>

#include "base/utf.h"

namespace orx {

CopyResult CopyTerminated(std::u16string_view text, char16_t* buffer, uint32_t size,
                          PairRule pairs) {
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

void CopyZeroFilled(std::u16string_view text, char16_t* buffer, uint32_t size) {
  const size_t count = std::min<size_t>(text.size(), size);
  std::copy_n(text.data(), count, buffer);
  std::fill(buffer + count, buffer + size, u'\0');
}

}  // namespace orx
