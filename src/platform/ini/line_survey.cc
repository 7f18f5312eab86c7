// The line-by-line view of a settings file, built on the engine's own line
// classifier and value form so that it always agrees with what reads see.
#include "platform/ini/line_survey.h"

#include <map>

#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/line.h"

namespace orx::platform::ini {
namespace {

InspectedKind KindOf(LineKind kind) {
  switch (kind) {
    case LineKind::kBlank:
      return InspectedKind::kBlank;
    case LineKind::kComment:
      return InspectedKind::kComment;
    case LineKind::kHeader:
      return InspectedKind::kHeader;
    case LineKind::kEntry:
      return InspectedKind::kEntry;
    case LineKind::kText:
      return InspectedKind::kText;
  }
  return InspectedKind::kText;
}

}  // namespace

std::u16string ComparableName(std::u16string_view name) {
  std::u16string folded(TrimBlanks(name));
  for (char16_t& unit : folded) unit = FoldCase(unit);
  return folded;
}

const char* EncodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      return "UTF-8";
    case Encoding::kUtf8Bom:
      return "UTF-8 with BOM";
    case Encoding::kUtf16Le:
      return "UTF-16LE";
    case Encoding::kUtf16Be:
      return "UTF-16BE";
    case Encoding::kWindows1252:
      return "Windows-1252";
  }
  return "unknown";
}

Inspection Inspect(std::string_view bytes) {
  Inspection inspection;
  const DecodedText decoded = Decode(bytes);
  inspection.encoding = decoded.encoding;
  const std::u16string_view text = decoded.text;
  std::vector<Line> lines;
  SplitLines(text, lines);
  inspection.lines.reserve(lines.size());

  std::map<std::u16string, uint32_t> first_header;  // comparable name -> line
  std::map<std::u16string, uint32_t> first_key;     // within the current section
  InspectedLine* header = nullptr;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const std::u16string_view content = text.substr(line.begin, line.length);
    InspectedLine& out = inspection.lines.emplace_back();
    out.number = static_cast<uint32_t>(i + 1);
    out.kind = KindOf(line.kind);
    out.content = content;
    out.name = content.substr(line.name_offset, line.name_length);
    if (line.kind == LineKind::kHeader) {
      const std::u16string_view trimmed = TrimBlanks(content);
      const size_t close = trimmed.find(u']', 1);
      out.header_closed = close != std::u16string_view::npos;
      if (out.header_closed) out.after_header = TrimBlanks(trimmed.substr(close + 1));
      const auto [first, inserted] = first_header.emplace(ComparableName(out.name), out.number);
      if (!inserted) out.first_line = first->second;
      first_key.clear();
      header = &out;
    }
    if (header != nullptr) {
      out.in_section = true;
      out.section = header->name;
      out.in_ignored_section = header->first_line != 0;
    }
    if (line.kind == LineKind::kEntry) {
      out.value = ReadForm(content.substr(line.value_offset, line.value_length));
      if (out.in_section) {
        const auto [first, inserted] = first_key.emplace(ComparableName(out.name), out.number);
        if (!inserted) out.first_line = first->second;
      }
    }
  }
  return inspection;
}

}  // namespace orx::platform::ini
