// UTF-8 <-> UTF-16 conversion. One decoder serves both the strict and the
// path forms: it reports each well-formed sequence's code point or, for a
// byte that starts no well-formed sequence, that single byte.
#include "base/utf.h"

#include <algorithm>
#include <cstdint>

namespace orx {
namespace {

constexpr char32_t kNoCodePoint = 0xFFFFFFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

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

// Writes `code` at `next` and returns the end of what it wrote. Decoders
// size their output once (never more units than bytes) and cut it at the end.
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

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Walks `text` by code point; a lone surrogate is handed to `on_lone`, which
// returns false to stop the walk.
template <typename OnCode, typename OnLone>
bool ForEachCodePoint(std::u16string_view text, OnCode on_code, OnLone on_lone) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      on_code(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      if (!on_lone(unit)) return false;
    } else {
      on_code(unit);
    }
  }
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t pos = 0; pos < bytes.size();) {
    size_t length;
    if (DecodeOne(bytes, pos, length) == kNoCodePoint) return false;
    pos += length;
  }
  return true;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  char16_t* next = out.data();
  for (size_t pos = 0; pos < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x80) {  // ASCII, the bulk of most text, needs no decoding
      *next++ = lead;
      ++pos;
      continue;
    }
    size_t length;
    const char32_t code = DecodeOne(bytes, pos, length);
    if (code == kNoCodePoint) return std::nullopt;
    next = PutUtf16(next, code);
    pos += length;
  }
  out.resize(next - out.data());
  return out;
}

std::optional<std::string> EncodeUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    // ASCII runs, the bulk of most text, are narrowed in one copy.
    const size_t ascii_end =
        std::find_if(text.begin() + pos, text.end(), [](char16_t unit) { return unit >= 0x80; }) -
        text.begin();
    if (ascii_end > pos) {
      const size_t old_size = out.size();
      out.resize(old_size + (ascii_end - pos));
      std::copy(text.begin() + pos, text.begin() + ascii_end, out.begin() + old_size);
      pos = ascii_end;
      continue;
    }
    const size_t run_end =
        std::find_if(text.begin() + pos, text.end(), [](char16_t unit) { return unit < 0x80; }) -
        text.begin();
    const bool whole = ForEachCodePoint(
        text.substr(pos, run_end - pos), [&](char32_t code) { AppendUtf8(out, code); },
        [](char16_t) { return false; });
    if (!whole) return std::nullopt;
    pos = run_end;
  }
  return out;
}

bool HasLoneSurrogate(std::u16string_view text) {
  return !ForEachCodePoint(
      text, [](char32_t) {}, [](char16_t) { return false; });
}

std::u16string DecodePath(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  char16_t* next = out.data();
  for (size_t pos = 0; pos < bytes.size();) {
    size_t length;
    const char32_t code = DecodeOne(bytes, pos, length);
    if (code == kNoCodePoint) {
      *next++ = static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[pos]));
    } else {
      next = PutUtf16(next, code);
    }
    pos += length;
  }
  out.resize(next - out.data());
  return out;
}

std::string EncodePath(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(
      text, [&](char32_t code) { AppendUtf8(out, code); },
      [&](char16_t unit) {
        // Units U+DC80..U+DCFF carry a raw byte; any other lone surrogate has
        // no byte form and becomes U+FFFD.
        if (unit >= 0xDC80 && unit <= 0xDCFF) {
          out.push_back(static_cast<char>(unit - 0xDC00));
        } else {
          AppendUtf8(out, 0xFFFD);
        }
        return true;
      });
  return out;
}

}  // namespace orx
