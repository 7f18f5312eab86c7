// UTF-8 <-> UTF-16 conversion. One decoder serves both the strict and the
// path forms: it reports each well-formed sequence's code point or, for a
// byte that starts no well-formed sequence, that single byte.
//
// The strict forms carry whole settings files, which are mostly ASCII, so
// both directions copy ASCII runs a block of units at a time (one OR tests a
// block; compilers turn the fixed-length loops into vector instructions).
// Output is built in a small stack buffer and appended to a string reserved
// once, so every output unit is written to the string exactly once: no
// zero-filling resize before the writes, no growth by doubling.
#include "base/utf.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace orx {
namespace {

constexpr char32_t kNoCodePoint = 0xFFFFFFFF;

// Units tested and copied per step of the ASCII loops.
constexpr size_t kBlock = 32;

// Units of the stack buffer in which output is gathered.
constexpr size_t kChunkUnits = 4096;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Copies the leading ASCII units of `in[0, count)` to `out`, narrowing or
// widening them, and returns how many it copied.
template <typename From, typename To>
size_t CopyAscii(const From* in, size_t count, To* out) {
  using Unsigned = std::make_unsigned_t<From>;
  size_t done = 0;
  for (; count - done >= kBlock; done += kBlock) {
    Unsigned any = 0;
    for (size_t k = 0; k < kBlock; ++k) any |= static_cast<Unsigned>(in[done + k]);
    if (any >= 0x80) break;
    for (size_t k = 0; k < kBlock; ++k) out[done + k] = static_cast<To>(in[done + k]);
  }
  for (; done < count && static_cast<Unsigned>(in[done]) < 0x80; ++done) {
    out[done] = static_cast<To>(in[done]);
  }
  return done;
}

// Output gathered in a stack buffer and appended to `out` when full.
template <typename Char>
class ChunkedOutput {
 public:
  explicit ChunkedOutput(std::basic_string<Char>& out) : out_(out) {}
  ChunkedOutput(const ChunkedOutput&) = delete;
  ChunkedOutput& operator=(const ChunkedOutput&) = delete;

  Char* next() { return buffer_ + used_; }
  size_t room() const { return kChunkUnits - used_; }
  size_t used() const { return used_; }
  void Advance(size_t units) { used_ += units; }
  void AdvanceTo(Char* end) { used_ = static_cast<size_t>(end - buffer_); }
  void Flush() {
    out_.append(buffer_, used_);
    used_ = 0;
  }

 private:
  std::basic_string<Char>& out_;
  Char buffer_[kChunkUnits];
  size_t used_ = 0;
};

// Makes room in `out` for `total` units in all. reserve() would at least
// double a capacity it has to raise; a string reserved while empty gets
// exactly what it asks for, so the contents move there.
template <typename Char>
void ReserveExactly(std::basic_string<Char>& out, size_t total) {
  if (total <= out.capacity()) return;
  std::basic_string<Char> sized;
  sized.reserve(total);
  sized += out;
  out.swap(sized);
}

// Decodes the sequence at `bytes[pos]`. Returns its code point and sets
// `length`; returns kNoCodePoint with `length` 1 when the byte at `pos`
// begins no well-formed sequence.
char32_t DecodeOne(std::string_view bytes, size_t pos, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
  const size_t left = bytes.size() - pos;
  const unsigned char lead = byte(0);
  length = 1;
  if (lead < 0x80) return lead;
  size_t need;
  char32_t code;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    need = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    need = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    need = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return kNoCodePoint;
  }
  if (left < need) return kNoCodePoint;
  for (size_t i = 1; i < need; ++i) {
    if (!IsContinuation(byte(i))) return kNoCodePoint;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return kNoCodePoint;
  }
  length = need;
  return code;
}

// Writes `code` at `next` (room for two units) and returns the end of what
// it wrote.
char16_t* PutUtf16(char16_t* next, char32_t code) {
  if (code < 0x10000) {
    *next++ = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    *next++ = static_cast<char16_t>(0xD800 + (code >> 10));
    *next++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
  return next;
}

// Writes `code` at `next` (room for four bytes) and returns the end of what
// it wrote.
char* PutUtf8(char* next, char32_t code) {
  if (code < 0x80) {
    *next++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *next++ = static_cast<char>(0xC0 | (code >> 6));
    *next++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *next++ = static_cast<char>(0xE0 | (code >> 12));
    *next++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *next++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *next++ = static_cast<char>(0xF0 | (code >> 18));
    *next++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *next++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *next++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return next;
}

// The two forms differ only in what becomes of a lone surrogate on the way
// out and of a byte that starts no well-formed sequence on the way in.
enum class Form { kStrict, kPath };

// The path form's bytes for a lone surrogate: U+DC80..U+DCFF carry a raw
// byte; any other has no byte form and becomes U+FFFD.
bool CarriesByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// The code point of the unit at `text[pos]` and how many units it takes, or
// kNoCodePoint (one unit) for a lone surrogate.
char32_t CodePointAt(std::u16string_view text, size_t pos, size_t& units) {
  const char16_t unit = text[pos];
  units = 1;
  if (IsHighSurrogate(unit) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    units = 2;
    return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[pos + 1]} - 0xDC00);
  }
  if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) return kNoCodePoint;
  return unit;
}

// How many bytes `text` takes in `form`; nullopt for a lone surrogate in
// the strict form.
template <Form form>
std::optional<size_t> EncodedLength(std::u16string_view text) {
  size_t length = 0;
  for (size_t pos = 0; pos < text.size();) {
    const char16_t unit = text[pos];
    if (unit < 0x80) {
      ++length, ++pos;
      continue;
    }
    size_t units;
    const char32_t code = CodePointAt(text, pos, units);
    if (code == kNoCodePoint) {
      if constexpr (form == Form::kStrict) return std::nullopt;
      length += CarriesByte(unit) ? 1 : 3;
    } else {
      length += code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    }
    pos += units;
  }
  return length;
}

// Appends `text` in UTF-8 to `out`. The string is reserved for one byte per
// unit, exact for ASCII; the first other unit has the rest measured, so the
// string is allocated at most twice and never holds more than it needs. In
// the strict form a lone surrogate gives false with `out` as it was.
template <Form form>
bool AppendEncoded(std::u16string_view text, std::string& out) {
  const size_t start = out.size();
  ReserveExactly(out, start + text.size());
  ChunkedOutput<char> chunk(out);
  bool measured = false;
  for (size_t pos = 0; pos < text.size();) {
    const size_t ascii =
        CopyAscii(text.data() + pos, std::min(chunk.room(), text.size() - pos), chunk.next());
    chunk.Advance(ascii);
    pos += ascii;
    if (pos == text.size()) break;
    if (text[pos] < 0x80) {  // the chunk is full
      chunk.Flush();
      continue;
    }
    if (!measured) {
      const std::optional<size_t> rest = EncodedLength<form>(text.substr(pos));
      if (!rest) {
        out.resize(start);
        return false;
      }
      ReserveExactly(out, out.size() + chunk.used() + *rest);
      measured = true;
    }
    // Up to the next ASCII unit, a code point at a time.
    while (pos < text.size() && text[pos] >= 0x80) {
      if (chunk.room() < 4) chunk.Flush();
      size_t units;
      const char32_t code = CodePointAt(text, pos, units);
      if (code == kNoCodePoint && CarriesByte(text[pos])) {
        *chunk.next() = static_cast<char>(text[pos] - 0xDC00);
        chunk.Advance(1);
      } else {
        // Measuring refused a lone surrogate in the strict form, so only
        // the path form meets one here.
        chunk.AdvanceTo(PutUtf8(chunk.next(), code == kNoCodePoint ? 0xFFFD : code));
      }
      pos += units;
    }
  }
  chunk.Flush();
  return true;
}

// Appends `bytes` decoded to `out`, which is reserved for one unit per
// byte, never too few. In the strict form a byte that starts no well-formed
// sequence gives false with `out` as it was; the path form keeps it as
// U+DC00 + byte.
template <Form form>
bool AppendDecoded(std::string_view bytes, std::u16string& out) {
  const size_t start = out.size();
  ReserveExactly(out, start + bytes.size());
  ChunkedOutput<char16_t> chunk(out);
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t ascii =
        CopyAscii(bytes.data() + pos, std::min(chunk.room(), bytes.size() - pos), chunk.next());
    chunk.Advance(ascii);
    pos += ascii;
    if (pos == bytes.size()) break;
    if (chunk.room() < 2) {  // full, or too full for a surrogate pair
      chunk.Flush();
      continue;
    }
    size_t length;
    const char32_t code = DecodeOne(bytes, pos, length);
    if (code != kNoCodePoint) {
      chunk.AdvanceTo(PutUtf16(chunk.next(), code));
    } else if constexpr (form == Form::kPath) {
      *chunk.next() = static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[pos]));
      chunk.Advance(1);
    } else {
      out.resize(start);
      return false;
    }
    pos += length;
  }
  chunk.Flush();
  return true;
}

}  // namespace

size_t NarrowAscii(const char16_t* in, size_t count, char* out) {
  return CopyAscii(in, count, out);
}

size_t WidenAscii(const char* in, size_t count, char16_t* out) { return CopyAscii(in, count, out); }

bool IsValidUtf8(std::string_view bytes) {
  for (size_t pos = 0; pos < bytes.size();) {
    // ASCII blocks need no decoding: test them a block at a time.
    while (bytes.size() - pos >= kBlock) {
      unsigned char any = 0;
      for (size_t k = 0; k < kBlock; ++k) any |= static_cast<unsigned char>(bytes[pos + k]);
      if (any >= 0x80) break;
      pos += kBlock;
    }
    if (pos == bytes.size()) break;
    size_t length;
    if (DecodeOne(bytes, pos, length) == kNoCodePoint) return false;
    pos += length;
  }
  return true;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  if (!AppendDecoded<Form::kStrict>(bytes, out)) return std::nullopt;
  return out;
}

bool AppendUtf8(std::u16string_view text, std::string& out) {
  return AppendEncoded<Form::kStrict>(text, out);
}

std::optional<std::string> EncodeUtf8(std::u16string_view text) {
  std::string out;
  if (!AppendUtf8(text, out)) return std::nullopt;
  return out;
}

bool HasLoneSurrogate(std::u16string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    size_t units;
    if (CodePointAt(text, pos, units) == kNoCodePoint) return true;
    pos += units;
  }
  return false;
}

std::u16string DecodePath(std::string_view bytes) {
  std::u16string out;
  AppendDecoded<Form::kPath>(bytes, out);
  return out;
}

std::string EncodePath(std::u16string_view text) {
  std::string out;
  AppendEncoded<Form::kPath>(text, out);
  return out;
}

}  // namespace orx
