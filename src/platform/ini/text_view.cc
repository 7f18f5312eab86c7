// The copies and comparisons of text views.
#include "platform/ini/text_view.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

#include "base/utf.h"  // EncodePath, for printing

namespace orx::platform::ini {

void TextView::CopyTo(char16_t* out) const { CopyTo(out, size_); }

void TextView::CopyTo(char16_t* out, size_t count) const {
  count = std::min(count, size_);
  if (wide_) {
    std::copy_n(static_cast<const char16_t*>(data_), count, out);
    return;
  }
  // Widened sixteen bytes a step where the build has SSE2: an id or a path
  // is a few dozen bytes, and every enumeration step copies one. The bytes
  // are ASCII, so widening needs no check.
  const auto* in = static_cast<const unsigned char*>(data_);
#if defined(__SSE2__)
  if (count >= 16) {
    const __m128i zero = _mm_setzero_si128();
    auto widen_block = [&](size_t at) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(bytes, zero));
    };
    for (size_t i = 0; i + 16 < count; i += 16) widen_block(i);
    // The last block ends at the last byte; it may write again what the
    // loop wrote, the same units.
    widen_block(count - 16);
    return;
  }
#endif
  for (size_t i = 0; i < count; ++i) out[i] = in[i];
}

std::u16string TextView::ToU16() const {
  std::u16string out;
  AppendTo(out);
  return out;
}

void TextView::AppendTo(std::u16string& out) const {
  const size_t at = out.size();
  out.resize(at + size_);
  CopyTo(out.data() + at);
}

bool operator==(TextView a, TextView b) {
  if (a.size_ != b.size_) return false;
  if (a.wide_ == b.wide_) {
    const size_t unit = a.wide_ ? sizeof(char16_t) : 1;
    return a.size_ == 0 || std::memcmp(a.data_, b.data_, a.size_ * unit) == 0;
  }
  const TextView& wide = a.wide_ ? a : b;
  const TextView& ascii = a.wide_ ? b : a;
  const char16_t* w = static_cast<const char16_t*>(wide.data_);
  const auto* n = static_cast<const unsigned char*>(ascii.data_);
  for (size_t i = 0; i < a.size_; ++i) {
    if (w[i] != n[i]) return false;
  }
  return true;
}

CopyResult CopyTerminated(const TextView& text, char16_t* buffer, uint32_t size, PairRule pairs) {
  if (text.wide()) return orx::CopyTerminated(text.wide_units(), buffer, size, pairs);
  if (buffer == nullptr || size == 0) return {0, !text.empty()};
  const size_t count = std::min<size_t>(text.size(), size - 1);
  text.CopyTo(buffer, count);
  buffer[count] = u'\0';
  return {static_cast<uint32_t>(count), count < text.size()};
}

void PrintTo(TextView text, std::ostream* out) {
  std::u16string units = text.ToU16();
  *out << '"' << EncodePath(units) << '"';
}

}  // namespace orx::platform::ini
