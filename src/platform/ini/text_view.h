// A view of document text in either of the two forms a document keeps:
// UTF-16 units, or ASCII bytes that stand for the units of the same value.
// Most settings files are pure ASCII and are kept as their own bytes, so the
// values and names a document hands out are views of this kind; callers that
// need UTF-16 compare them in place or widen them into their own buffers.
// A view holds no text: it lives as long as the text it points into.
#ifndef ORX_PLATFORM_INI_TEXT_VIEW_H_
#define ORX_PLATFORM_INI_TEXT_VIEW_H_

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/caller_buffer.h"

namespace orx::platform::ini {

class TextView {
 public:
  static constexpr size_t npos = std::u16string_view::npos;

  constexpr TextView() = default;
  // NOLINTNEXTLINE(google-explicit-constructor): UTF-16 text is a view as it is.
  constexpr TextView(std::u16string_view wide) : data_(wide.data()), size_(wide.size()) {}
  constexpr TextView(const char16_t* wide) : TextView(std::u16string_view(wide)) {}
  TextView(const std::u16string& wide) : TextView(std::u16string_view(wide)) {}
  // Bytes that are all below 0x80, each standing for the unit of its value.
  static constexpr TextView Ascii(std::string_view ascii) {
    TextView view;
    view.data_ = ascii.data();
    view.size_ = ascii.size();
    view.wide_ = false;
    return view;
  }

  constexpr size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr bool wide() const { return wide_; }
  // The text in its own form; each only for a view of that form.
  std::u16string_view wide_units() const { return {static_cast<const char16_t*>(data_), size_}; }
  std::string_view ascii_units() const { return {static_cast<const char*>(data_), size_}; }

  char16_t operator[](size_t i) const {
    return wide_ ? static_cast<const char16_t*>(data_)[i]
                 : static_cast<char16_t>(static_cast<const char*>(data_)[i]);
  }
  char16_t front() const { return (*this)[0]; }
  char16_t back() const { return (*this)[size_ - 1]; }

  TextView substr(size_t position, size_t count = npos) const {
    const size_t length = count < size_ - position ? count : size_ - position;
    return wide_ ? TextView(wide_units().substr(position, length))
                 : Ascii(ascii_units().substr(position, length));
  }

  // Calls `visit` with the text in its own form: a std::u16string_view or a
  // std::string_view of ASCII bytes.
  template <typename Fn>
  decltype(auto) Visit(Fn&& visit) const {
    return wide_ ? visit(wide_units()) : visit(ascii_units());
  }

  // Writes the size() units of the text to `out`, widening ASCII bytes.
  void CopyTo(char16_t* out) const;
  // The first `count` units, as CopyTo writes them.
  void CopyTo(char16_t* out, size_t count) const;
  std::u16string ToU16() const;
  void AppendTo(std::u16string& out) const;

  // Unit for unit, whatever the forms.
  friend bool operator==(TextView a, TextView b);

 private:
  const void* data_ = u"";
  size_t size_ = 0;
  bool wide_ = true;
};

// Whether a call with these argument types involves a view of either form,
// for overloads that must not compete with their UTF-16 forms otherwise.
template <typename A, typename B>
concept HasTextView = std::same_as<std::remove_cvref_t<A>, TextView> ||
    std::same_as<std::remove_cvref_t<B>, TextView>;

// A view of either form of text, for code written once for both.
inline TextView AsTextView(std::u16string_view wide) { return TextView(wide); }
inline TextView AsTextView(std::string_view ascii) { return TextView::Ascii(ascii); }

// Inline, as the copies are: every cached read and enumeration step hands
// out a value or an id this way.
inline void TextView::CopyTo(char16_t* out, size_t count) const {
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

// CopyTerminated of base/caller_buffer.h for text in either form; ASCII
// holds no surrogate, so the pair rule matters for UTF-16 text only.
inline CopyResult CopyTerminated(const TextView& text, char16_t* buffer, uint32_t size,
                                 PairRule pairs = PairRule::kMaySplit) {
  if (text.wide()) return orx::CopyTerminated(text.wide_units(), buffer, size, pairs);
  if (buffer == nullptr || size == 0) return {0, !text.empty()};
  const size_t count = std::min<size_t>(text.size(), size - 1);
  text.CopyTo(buffer, count);
  buffer[count] = u'\0';
  return {static_cast<uint32_t>(count), count < text.size()};
}

// For test failure messages: the units as UTF-8, in quotes.
void PrintTo(TextView text, std::ostream* out);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_TEXT_VIEW_H_
