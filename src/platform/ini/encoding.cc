// Byte-order-mark sniffing and the conversions of settings-file text. Every
// conversion here is lossless for the bytes Decode accepts, so a document
// that nobody edits serialises to exactly the bytes it was read from.
#include "platform/ini/encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/utf.h"

namespace orx::platform::ini {
namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the C1 controls of the same value,
// which keeps every byte string decodable and re-encodable.
// clang-format off
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};
// clang-format on

// The Windows-1252 byte of `unit`, or -1 when the code page has none.
int Windows1252Byte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  const auto* found = std::find(kWindows1252High.begin(), kWindows1252High.end(), unit);
  if (found == kWindows1252High.end()) return -1;
  return 0x80 + static_cast<int>(found - kWindows1252High.begin());
}

// The conversions below write through raw pointers: a store through
// operator[] may alias the string's own fields, which keeps compilers from
// vectorising the loop (UTF-16 output ran at about 4 ns a unit).
std::u16string DecodeWindows1252(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  char16_t* out = text.data();
  for (size_t i = 0; i < bytes.size(); ++i) {
    i += WidenAscii(bytes.data() + i, bytes.size() - i, out + i);
    if (i == bytes.size()) break;
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out[i] = byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte;
  }
  return text;
}

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string text(bytes.size() / 2, u'\0');
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* out = text.data();
  char16_t* const end = out + text.size();
  if (big_endian) {
    for (; out != end; in += 2) *out++ = static_cast<char16_t>(in[0] << 8 | in[1]);
  } else {
    for (; out != end; in += 2) *out++ = static_cast<char16_t>(in[1] << 8 | in[0]);
  }
  return text;
}

std::string EncodeUtf16(std::u16string_view text, bool big_endian) {
  std::string bytes(big_endian ? kBomUtf16Be : kBomUtf16Le);
  bytes.resize(2 + 2 * text.size());
  char* out = bytes.data() + 2;
  if (big_endian) {
    for (const char16_t unit : text) {
      *out++ = static_cast<char>(unit >> 8);
      *out++ = static_cast<char>(unit & 0xFF);
    }
  } else {
    for (const char16_t unit : text) {
      *out++ = static_cast<char>(unit & 0xFF);
      *out++ = static_cast<char>(unit >> 8);
    }
  }
  return bytes;
}

// UTF-8 after `prefix` without giving up on a stray byte: the strict form
// when the text allows it, else the byte-preserving path form, accepted only
// when it decodes back to the same text (a lone surrogate of any other kind
// has no UTF-8 bytes at all).
std::optional<std::string> EncodeUtf8Faithfully(std::u16string_view text, std::string_view prefix) {
  std::string bytes(prefix);
  if (AppendUtf8(text, bytes)) return bytes;
  const std::string path_form = EncodePath(text);
  if (DecodePath(path_form) != text) return std::nullopt;
  bytes += path_form;
  return bytes;
}

std::optional<std::string> EncodeWindows1252(std::u16string_view text) {
  std::string bytes(text.size(), '\0');
  char* out = bytes.data();
  for (size_t i = 0; i < text.size(); ++i) {
    i += NarrowAscii(text.data() + i, text.size() - i, out + i);
    if (i == text.size()) break;
    const int byte = Windows1252Byte(text[i]);
    if (byte < 0) return std::nullopt;
    out[i] = static_cast<char>(byte);
  }
  return bytes;
}

}  // namespace

const SingleByteCodec& Windows1252Codec() {
  static constexpr SingleByteCodec kCodec{DecodeWindows1252, EncodeWindows1252};
  return kCodec;
}

const EncodingRules& DefaultEncodingRules() {
  static constexpr EncodingRules kRules{
      .single_byte = {DecodeWindows1252, EncodeWindows1252},
      .guess_utf8 = true,
      .new_file = Encoding::kUtf8,
      .new_line_end = u"\n",
      .single_byte_fallback = Encoding::kUtf8Bom,
  };
  return kRules;
}

DecodedText Decode(std::string_view bytes, const EncodingRules& rules) {
  if (bytes.starts_with(kBomUtf16Le)) {
    return {DecodeUtf16(bytes.substr(2), false), Encoding::kUtf16Le};
  }
  if (bytes.starts_with(kBomUtf16Be)) {
    return {DecodeUtf16(bytes.substr(2), true), Encoding::kUtf16Be};
  }
  if (bytes.starts_with(kBomUtf8)) {
    const std::string_view rest = bytes.substr(kBomUtf8.size());
    if (auto text = DecodeUtf8(rest)) return {std::move(*text), Encoding::kUtf8Bom};
    return {DecodePath(rest), Encoding::kUtf8Bom};
  }
  if (rules.guess_utf8) {
    if (auto text = DecodeUtf8(bytes)) return {std::move(*text), Encoding::kUtf8};
  }
  return {rules.single_byte.decode(bytes), Encoding::kWindows1252};
}

bool IsAscii(std::string_view bytes) {
  const char* data = bytes.data();
  size_t i = 0;
#if defined(__SSE2__)
  // Four blocks of sixteen bytes are or-ed before their top bits are looked
  // at, so that a large file is checked at about the speed memory delivers it.
  for (; i + 64 <= bytes.size(); i += 64) {
    const auto* block = reinterpret_cast<const __m128i*>(data + i);
    const __m128i any =
        _mm_or_si128(_mm_or_si128(_mm_loadu_si128(block), _mm_loadu_si128(block + 1)),
                     _mm_or_si128(_mm_loadu_si128(block + 2), _mm_loadu_si128(block + 3)));
    if (_mm_movemask_epi8(any) != 0) return false;
  }
  for (; i + 16 <= bytes.size(); i += 16) {
    if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i))) != 0) {
      return false;
    }
  }
#endif
  for (; i < bytes.size(); ++i) {
    if ((static_cast<unsigned char>(data[i]) & 0x80) != 0) return false;
  }
  return true;
}

std::optional<AsciiLayout> AsciiLayoutOf(std::string_view bytes, const EncodingRules& rules) {
  // A UTF-16 BOM is not ASCII, so only the UTF-8 one can come before ASCII.
  const size_t bom_size = bytes.starts_with(kBomUtf8) ? kBomUtf8.size() : 0;
  if (!IsAscii(bytes.substr(bom_size))) return std::nullopt;
  if (bom_size != 0) return AsciiLayout{bom_size, Encoding::kUtf8Bom};
  return AsciiLayout{0, rules.guess_utf8 ? Encoding::kUtf8 : Encoding::kWindows1252};
}

std::optional<std::string> Encode(std::u16string_view text, Encoding encoding,
                                  const EncodingRules& rules) {
  switch (encoding) {
    case Encoding::kUtf8:
      return EncodeUtf8Faithfully(text, {});
    case Encoding::kUtf8Bom:
      return EncodeUtf8Faithfully(text, kBomUtf8);
    case Encoding::kUtf16Le:
      return EncodeUtf16(text, false);
    case Encoding::kUtf16Be:
      return EncodeUtf16(text, true);
    case Encoding::kWindows1252:
      return rules.single_byte.encode(text);
  }
  return std::nullopt;
}
}  // namespace orx::platform::ini
