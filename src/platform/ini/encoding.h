// Text encodings of settings files: detection from the first bytes, the
// conversions between a file's bytes and the UTF-16 text the document holds,
// and the rules by which a build picks encodings where a file names none.
#ifndef ORX_PLATFORM_INI_ENCODING_H_
#define ORX_PLATFORM_INI_ENCODING_H_

#include <optional>
#include <string>
#include <string_view>

namespace orx::platform::ini {

enum class Encoding {
  kUtf8,         // no BOM, valid UTF-8 (also every new file under the default rules)
  kUtf8Bom,      // EF BB BF
  kUtf16Le,      // FF FE
  kUtf16Be,      // FE FF
  kWindows1252,  // no BOM, in the rules' single-byte code page (Windows-1252 by default)
};

// A single-byte code page: `decode` maps every byte string to text and never
// fails; `encode` gives the bytes of text whose every character the code
// page holds exactly (no best-fit, no substitute), else nullopt.
struct SingleByteCodec {
  std::u16string (*decode)(std::string_view bytes);
  std::optional<std::string> (*encode)(std::u16string_view text);
};

// How a build reads files without a BOM and which encodings it writes. The
// engine stays free of the system: a platform hands its rules to the
// documents it makes. Rules are static objects that outlive every document.
struct EncodingRules {
  SingleByteCodec single_byte;       // BOM-less text that is not taken for UTF-8
  bool guess_utf8;                   // BOM-less bytes that are valid UTF-8 read as kUtf8
  Encoding new_file;                 // what a new document is written in
  std::u16string_view new_line_end;  // for a document that has no line end yet
  // What a kWindows1252 document becomes when an edit gives it text the code
  // page cannot hold (or, where UTF-8 is guessed, when its bytes would read
  // back as UTF-8).
  Encoding single_byte_fallback;
};

// Windows-1252, every byte mapped (the five undefined ones to the C1
// controls of the same value).
const SingleByteCodec& Windows1252Codec();

// The default rules: BOM-less text is UTF-8 when valid, else Windows-1252;
// new files are UTF-8 without BOM with LF; a Windows-1252 file that can no
// longer be written faithfully becomes UTF-8 with BOM.
const EncodingRules& DefaultEncodingRules();

struct DecodedText {
  std::u16string text;  // without the BOM
  Encoding encoding;
};

// Never fails: a truncated UTF-16 file keeps its whole units and drops the
// odd byte; the single-byte codec maps every byte. A file with the UTF-8 BOM
// whose remaining bytes are not valid UTF-8 keeps each stray byte as the unit
// U+DC00 + byte (see DecodePath), so that Encode gives the bytes back.
DecodedText Decode(std::string_view bytes, const EncodingRules& rules = DefaultEncodingRules());

// Whether every byte is below 0x80.
bool IsAscii(std::string_view bytes);

// How a file that is pure ASCII after its BOM reads: the text is its bytes
// from `bom_size` on, each the unit of its value, and `encoding` is what
// Decode reports for it. Only for a file without BOM or with the UTF-8 one;
// nullopt for every other file. Every code page a platform's rules use keeps
// ASCII as it is, so the rules' guess does not change the text.
struct AsciiLayout {
  size_t bom_size;
  Encoding encoding;
};
std::optional<AsciiLayout> AsciiLayoutOf(std::string_view bytes,
                                         const EncodingRules& rules = DefaultEncodingRules());

// The bytes of `text` in `encoding`, BOM included; nullopt when the encoding
// cannot represent some character. The single-byte code page fails on
// characters it does not hold, UTF-8 on a lone surrogate that is not a stray
// byte of the kind Decode makes; UTF-16 takes every unit as it is.
std::optional<std::string> Encode(std::u16string_view text, Encoding encoding,
                                  const EncodingRules& rules = DefaultEncodingRules());

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_ENCODING_H_
