// The parse of a settings file, line by line. Content never makes a parse
// fail: every line is one of the kinds below, whatever bytes it holds. Each
// rule is a template over the unit, so UTF-16 text and ASCII bytes are read
// by the same code.
#include "platform/ini/line.h"

namespace orx::platform::ini {

namespace {

template <typename Unit>
void SetName(std::basic_string_view<Unit> content, std::basic_string_view<Unit> name, Line& line) {
  line.name_offset = static_cast<uint32_t>(name.data() - content.data());
  line.name_length = static_cast<uint32_t>(name.size());
}

template <typename Unit>
void ClassifyLineOf(std::basic_string_view<Unit> content, Line& line) {
  using View = std::basic_string_view<Unit>;
  line.name_offset = line.name_length = line.value_offset = line.value_length = 0;
  const View text = TrimBlanksOf(content);
  if (text.empty()) {
    line.kind = LineKind::kBlank;
    return;
  }
  switch (text.front()) {
    case Unit{';'}:  // A comment, whatever follows; never an entry.
      line.kind = LineKind::kComment;
      return;
    case Unit{'['}: {  // A header: the name runs to the first ']', or to the line's end.
      const View inside = text.substr(1, text.find(Unit{']'}, 1) - 1);
      SetName(content, TrimBlanksOf(inside), line);
      line.kind = LineKind::kHeader;
      break;
    }
    default: {
      const size_t equals = text.find(Unit{'='});
      if (equals == View::npos) {  // Section text that is not a key.
        SetName(content, text, line);
        line.kind = LineKind::kText;
        return;
      }
      // key=value, split at the first '='; the value may hold more of them.
      SetName(content, TrimBlanksOf(text.substr(0, equals)), line);
      const View value = TrimBlanksOf(text.substr(equals + 1));
      line.value_offset = static_cast<uint32_t>(value.data() - content.data());
      line.value_length = static_cast<uint32_t>(value.size());
      line.kind = LineKind::kEntry;
      break;
    }
  }
}

template <typename Unit>
size_t ReadLineOf(std::basic_string_view<Unit> text, size_t begin, Line& line) {
  const Unit* const data = text.data();
  const size_t size = text.size();
  const size_t end = FindLineEnd(data, begin, size);
  line.begin = static_cast<uint32_t>(begin);
  line.length = static_cast<uint32_t>(end - begin);
  line.line_end = 0;
  if (end < size) {
    line.line_end =
        (data[end] == Unit{'\r'} && end + 1 < size && data[end + 1] == Unit{'\n'}) ? 2 : 1;
  }
  ClassifyLineOf(text.substr(begin, end - begin), line);
  return end + line.line_end;
}

template <typename Unit>
std::basic_string_view<Unit> LineNameOf(std::basic_string_view<Unit> text, size_t begin) {
  size_t first = begin;
  while (first < text.size() && IsBlank(text[first])) ++first;
  if (first == text.size() || text[first] == Unit{';'}) return {};
  const bool header = text[first] == Unit{'['};
  if (header) ++first;
  // A plain loop: find_first_of tests every unit against the set one by one
  // through the character traits, and this runs for every name the index
  // builds or compares.
  const Unit stop = header ? Unit{']'} : Unit{'='};
  size_t end = first;
  while (end < text.size() && text[end] != stop && text[end] != Unit{'\n'} &&
         text[end] != Unit{'\r'}) {
    ++end;
  }
  if (!header && (end == text.size() || text[end] != Unit{'='})) return {};
  return TrimBlanksOf(text.substr(first, end - first));
}

template <typename Unit>
std::basic_string_view<Unit> EntryValueOf(std::basic_string_view<Unit> text, size_t begin) {
  // Never past the line's end, whatever line `begin` starts.
  const size_t equals = FindStopOrLineEnd(text.data(), begin, text.size(), u'=');
  if (equals == text.size() || text[equals] != Unit{'='}) return {};
  const size_t end = FindLineEnd(text.data(), equals + 1, text.size());
  return TrimBlanksOf(text.substr(equals + 1, end - equals - 1));
}

template <typename Unit>
uint32_t SplitLinesOf(std::basic_string_view<Unit> text, std::vector<Line>& lines) {
  // Room for lines of 12 units on average, more than settings files need:
  // pages of the reservation that no record reaches are never touched, and
  // regrowing would copy every record.
  lines.reserve(lines.size() + text.size() / 12 + 1);
  uint32_t sections = 0;
  uint32_t section = kNoSection;
  for (size_t begin = 0; begin < text.size();) {
    Line line;
    begin = ReadLineOf(text, begin, line);
    if (line.kind == LineKind::kHeader) section = sections++;
    line.section = section;
    lines.push_back(line);
  }
  return sections;
}

}  // namespace

void ClassifyLine(std::u16string_view content, Line& line) { ClassifyLineOf(content, line); }
void ClassifyLine(std::string_view content, Line& line) { ClassifyLineOf(content, line); }

size_t ReadLine(std::u16string_view text, size_t begin, Line& line) {
  return ReadLineOf(text, begin, line);
}
size_t ReadLine(std::string_view text, size_t begin, Line& line) {
  return ReadLineOf(text, begin, line);
}

std::u16string_view LineName(std::u16string_view text, size_t begin) {
  return LineNameOf(text, begin);
}
std::string_view LineName(std::string_view text, size_t begin) { return LineNameOf(text, begin); }

std::u16string_view EntryValue(std::u16string_view text, size_t begin) {
  return EntryValueOf(text, begin);
}
std::string_view EntryValue(std::string_view text, size_t begin) {
  return EntryValueOf(text, begin);
}

uint32_t SplitLines(std::u16string_view text, std::vector<Line>& lines) {
  return SplitLinesOf(text, lines);
}
uint32_t SplitLines(std::string_view text, std::vector<Line>& lines) {
  return SplitLinesOf(text, lines);
}

}  // namespace orx::platform::ini
