// Conversions between UTF-8 bytes and UTF-16 text. The strict forms are for
// file contents and values, where a lone surrogate is an error; the path
// forms are lossless for any byte string, so a file name that is not valid
// UTF-8 still names the same file after a round trip through UTF-16.
#ifndef ORX_BASE_UTF_H_
#define ORX_BASE_UTF_H_

#include <optional>
#include <string>
#include <string_view>

namespace orx {

// The two halves of a surrogate pair: a high unit followed by a low one.
constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Decodes well-formed UTF-8; nullopt when `bytes` is not.
std::optional<std::u16string> DecodeUtf8(std::string_view bytes);

// Encodes UTF-16 as UTF-8; nullopt when `text` holds a lone surrogate.
std::optional<std::string> EncodeUtf8(std::u16string_view text);

// Appends the UTF-8 form of `text` to `out`, so that a prefix such as a BOM
// costs no second copy; false, with `out` as it was, when `text` holds a
// lone surrogate.
bool AppendUtf8(std::u16string_view text, std::string& out);

// Copy the leading ASCII units of `in[0, count)` to `out`, a block of
// units at a time, and return how many they copied: the fast path of every
// conversion of mostly-ASCII text.
size_t NarrowAscii(const char16_t* in, size_t count, char* out);
size_t WidenAscii(const char* in, size_t count, char16_t* out);

// True when `text` holds a surrogate that is not part of a pair.
bool HasLoneSurrogate(std::u16string_view text);

// Path forms: a byte that is not part of valid UTF-8 becomes U+DC80..U+DCFF
// and turns back into that byte on the way out.
std::u16string DecodePath(std::string_view bytes);
std::string EncodePath(std::u16string_view text);

}  // namespace orx

#endif  // ORX_BASE_UTF_H_
