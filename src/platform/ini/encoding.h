// Text encodings of settings files: detection from the first bytes, and the
// conversions between a file's bytes and the UTF-16 text the document holds.
#ifndef ORX_PLATFORM_INI_ENCODING_H_
#define ORX_PLATFORM_INI_ENCODING_H_

#include <optional>
#include <string>
#include <string_view>

namespace orx::platform::ini {

enum class Encoding {
  kUtf8,         // no BOM, valid UTF-8 (also every new file)
  kUtf8Bom,      // EF BB BF
  kUtf16Le,      // FF FE
  kUtf16Be,      // FE FF
  kWindows1252,  // no BOM, not valid UTF-8
};

struct DecodedText {
  std::u16string text;  // without the BOM
  Encoding encoding;
};

// Never fails: a truncated UTF-16 file keeps its whole units and drops the
// odd byte; Windows-1252 maps every byte. A file with the UTF-8 BOM whose
// remaining bytes are not valid UTF-8 keeps each stray byte as the unit
// U+DC00 + byte (see DecodePath), so that Encode gives the bytes back.
DecodedText Decode(std::string_view bytes);

// The bytes of `text` in `encoding`, BOM included; nullopt when the encoding
// cannot represent some character. Windows-1252 fails on characters outside
// the code page, UTF-8 on a lone surrogate that is not a stray byte of the
// kind Decode makes; UTF-16 takes every unit as it is.
std::optional<std::string> Encode(std::u16string_view text, Encoding encoding);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_ENCODING_H_
