// The parse of a settings file, line by line. Content never makes a parse
// fail: every line is one of the kinds below, whatever bytes it holds.
#include "platform/ini/line.h"

namespace orx::platform::ini {

namespace {

void SetName(const std::u16string_view content, std::u16string_view name, Line& line) {
  line.name_offset = static_cast<uint32_t>(name.data() - content.data());
  line.name_length = static_cast<uint32_t>(name.size());
}

}  // namespace

void ClassifyLine(std::u16string_view content, Line& line) {
  line.name_offset = line.name_length = line.value_offset = line.value_length = 0;
  const std::u16string_view text = TrimBlanks(content);
  if (text.empty()) {
    line.kind = LineKind::kBlank;
    return;
  }
  switch (text.front()) {
    case u';':  // A comment, whatever follows; never an entry.
      line.kind = LineKind::kComment;
      return;
    case u'[': {  // A header: the name runs to the first ']', or to the line's end.
      const std::u16string_view inside = text.substr(1, text.find(u']', 1) - 1);
      SetName(content, TrimBlanks(inside), line);
      line.kind = LineKind::kHeader;
      break;
    }
    default: {
      const size_t equals = text.find(u'=');
      if (equals == std::u16string_view::npos) {  // Section text that is not a key.
        SetName(content, text, line);
        line.kind = LineKind::kText;
        return;
      }
      // key=value, split at the first '='; the value may hold more of them.
      SetName(content, TrimBlanks(text.substr(0, equals)), line);
      const std::u16string_view value = TrimBlanks(text.substr(equals + 1));
      line.value_offset = static_cast<uint32_t>(value.data() - content.data());
      line.value_length = static_cast<uint32_t>(value.size());
      line.kind = LineKind::kEntry;
      break;
    }
  }
}

size_t ReadLine(std::u16string_view text, size_t begin, Line& line) {
  const char16_t* const data = text.data();
  const size_t size = text.size();
  const size_t end = FindLineEnd(data, begin, size);
  line.begin = static_cast<uint32_t>(begin);
  line.length = static_cast<uint32_t>(end - begin);
  line.line_end = 0;
  if (end < size) {
    line.line_end = (data[end] == u'\r' && end + 1 < size && data[end + 1] == u'\n') ? 2 : 1;
  }
  ClassifyLine(text.substr(begin, end - begin), line);
  return end + line.line_end;
}

std::u16string_view LineName(std::u16string_view text, size_t begin) {
  size_t first = begin;
  while (first < text.size() && IsBlank(text[first])) ++first;
  if (first == text.size() || text[first] == u';') return {};
  const bool header = text[first] == u'[';
  if (header) ++first;
  // A plain loop: find_first_of tests every unit against the set one by one
  // through the character traits, and this runs for every name the index
  // builds or compares.
  const char16_t stop = header ? u']' : u'=';
  size_t end = first;
  while (end < text.size() && text[end] != stop && text[end] != u'\n' && text[end] != u'\r') {
    ++end;
  }
  if (!header && (end == text.size() || text[end] != u'=')) return {};
  return TrimBlanks(text.substr(first, end - first));
}

std::u16string_view EntryValue(std::u16string_view text, size_t begin) {
  // Never past the line's end, whatever line `begin` starts.
  const size_t equals = FindStopOrLineEnd(text.data(), begin, text.size(), u'=');
  if (equals == text.size() || text[equals] != u'=') return {};
  const size_t end = FindLineEnd(text.data(), equals + 1, text.size());
  return TrimBlanks(text.substr(equals + 1, end - equals - 1));
}

uint32_t SplitLines(std::u16string_view text, std::vector<Line>& lines) {
  // Room for lines of 12 units on average, more than settings files need:
  // pages of the reservation that no record reaches are never touched, and
  // regrowing would copy every record.
  lines.reserve(lines.size() + text.size() / 12 + 1);
  uint32_t sections = 0;
  uint32_t section = kNoSection;
  for (size_t begin = 0; begin < text.size();) {
    Line line;
    begin = ReadLine(text, begin, line);
    if (line.kind == LineKind::kHeader) section = sections++;
    line.section = section;
    lines.push_back(line);
  }
  return sections;
}

}  // namespace orx::platform::ini
