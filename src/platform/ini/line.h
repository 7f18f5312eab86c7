// One line of a settings file as the parser sees it: where it lies, what
// kind of line it is, and where its name and value are, as offsets into the
// text. A document keeps only where its header and entry lines start and
// reads the rest again from its text when needed. Internal to the INI
// engine (and to the tool's check, which lists every line).
#ifndef ORX_PLATFORM_INI_LINE_H_
#define ORX_PLATFORM_INI_LINE_H_

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <limits>
#include <string_view>
#include <vector>

namespace orx::platform::ini {

// Offsets are 32 bits wide; a document refuses to grow past this many units.
inline constexpr size_t kMaxTextUnits = std::numeric_limits<uint32_t>::max() - 1;

// Ordinal of the lines that come before the first header.
inline constexpr uint32_t kNoSection = std::numeric_limits<uint32_t>::max();

enum class LineKind : uint8_t {
  kBlank,    // nothing but blanks
  kComment,  // first non-blank unit is ';'
  kHeader,   // first non-blank unit is '['
  kEntry,    // any other line with '=': key=value
  kText,     // any other line without '=': part of the section, but no key
};

struct Line {
  uint32_t begin = 0;   // first unit of the line in the text
  uint32_t length = 0;  // units before the line end
  // Relative to `begin`: the trimmed section name of a header, the trimmed
  // key of an entry, the trimmed text of a kText line.
  uint32_t name_offset = 0;
  uint32_t name_length = 0;
  // Relative to `begin`: the trimmed value of an entry.
  uint32_t value_offset = 0;
  uint32_t value_length = 0;
  uint32_t section = kNoSection;  // ordinal of the header at or above the line
  uint8_t line_end = 0;           // 0 (only the last line), 1 (CR or LF) or 2 (CRLF)
  LineKind kind = LineKind::kBlank;

  bool IsEntry() const { return kind == LineKind::kEntry || kind == LineKind::kText; }
  size_t units() const { return size_t{length} + line_end; }  // with the line end
};

// Space, TAB and VT: the blanks trimmed from lines, names and values.
inline bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\v'; }

// The text a document keeps comes in two forms of unit: UTF-16, and ASCII
// bytes that stand for the units of the same value. Every rule below is
// written once, for both.
template <typename Unit>
std::basic_string_view<Unit> TrimBlanksOf(std::basic_string_view<Unit> text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}
inline std::u16string_view TrimBlanks(std::u16string_view text) { return TrimBlanksOf(text); }
inline std::string_view TrimBlanks(std::string_view text) { return TrimBlanksOf(text); }

// Where the first `stop` unit, CR or LF at or after `from` is, or `size`.
// Settings lines run to tens of units, so a block of units a step pays where
// the processor can compare them at once: eight UTF-16 units, sixteen bytes.
inline size_t FindStopOrLineEnd(const char16_t* data, size_t from, size_t size, char16_t stop) {
  size_t i = from;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  const __m128i stops = _mm_set1_epi16(static_cast<short>(stop));
  for (; i + 8 <= size; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i hit =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, lf), _mm_cmpeq_epi16(units, cr)),
                     _mm_cmpeq_epi16(units, stops));
    if (const int hits = _mm_movemask_epi8(hit); hits != 0) {
      return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits))) / 2;
    }
  }
#endif
  while (i < size && data[i] != stop && data[i] != u'\n' && data[i] != u'\r') ++i;
  return i;
}

// The same over ASCII bytes; `stop` is ASCII.
inline size_t FindStopOrLineEnd(const char* data, size_t from, size_t size, char16_t stop) {
  const char stop_byte = static_cast<char>(stop);
  size_t i = from;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i stops = _mm_set1_epi8(stop_byte);
  for (; i + 16 <= size; i += 16) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i hit =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(units, lf), _mm_cmpeq_epi8(units, cr)),
                     _mm_cmpeq_epi8(units, stops));
    if (const int hits = _mm_movemask_epi8(hit); hits != 0) {
      return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
  }
#endif
  while (i < size && data[i] != stop_byte && data[i] != '\n' && data[i] != '\r') ++i;
  return i;
}

// Where the line that holds `from` ends: the first CR or LF at or after
// `from`, or `size`.
template <typename Unit>
size_t FindLineEnd(const Unit* data, size_t from, size_t size) {
  return FindStopOrLineEnd(data, from, size, u'\n');
}

// Sets kind, name and value of `line` from `content`, the line's text
// without its line end.
void ClassifyLine(std::u16string_view content, Line& line);
void ClassifyLine(std::string_view content, Line& line);

// Reads the line of `text` that starts at `begin`: its extent and line end,
// then kind, name and value; `section` is left as it is. Returns where the
// next line starts (text.size() after the last line).
size_t ReadLine(std::u16string_view text, size_t begin, Line& line);
size_t ReadLine(std::string_view text, size_t begin, Line& line);

// The name ClassifyLine would find in the line of `text` that starts at
// `begin`, reading no further than the name's end: the section name of a
// header, the key of an entry; empty for other lines.
std::u16string_view LineName(std::u16string_view text, size_t begin);
std::string_view LineName(std::string_view text, size_t begin);

// The trimmed value of the entry line of `text` that starts at `begin`:
// what follows its first '=', up to the line's end.
std::u16string_view EntryValue(std::u16string_view text, size_t begin);
std::string_view EntryValue(std::string_view text, size_t begin);

// Splits `text` into lines (CR, LF and CRLF each end one), classifies each,
// and numbers the sections. Returns the number of headers.
uint32_t SplitLines(std::u16string_view text, std::vector<Line>& lines);
uint32_t SplitLines(std::string_view text, std::vector<Line>& lines);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_LINE_H_
