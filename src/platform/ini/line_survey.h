// A read-only view of one settings file, line by line, for tools that explain
// a file to a person (what each line is, which lines a read never sees). It
// reports what the engine's own parser makes of the bytes, so a tool states
// no parsing rule of its own. Nothing here writes or caches.
#ifndef ORX_PLATFORM_INI_LINE_SURVEY_H_
#define ORX_PLATFORM_INI_LINE_SURVEY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/encoding.h"

namespace orx::platform::ini {

enum class InspectedKind {
  kBlank,    // nothing but blanks
  kComment,  // starts with ';'
  kHeader,   // starts with '['
  kEntry,    // key=value
  kText,     // any other line: no key
};

struct InspectedLine {
  uint32_t number = 0;  // 1-based
  InspectedKind kind = InspectedKind::kBlank;
  std::u16string content;  // the line without its line end
  // A header's section name, an entry's key, or a text line's text, trimmed.
  std::u16string name;
  // An entry's value as a profile read returns it (trimmed, quotes removed).
  std::u16string value;
  // The section the line belongs to (empty with in_section false before the
  // first header).
  std::u16string section;
  bool in_section = false;
  // Headers: whether a ']' closes the name, and the text after it, trimmed
  // (a read ignores it).
  bool header_closed = false;
  std::u16string after_header;
  // For a header whose section name came earlier in the file, and for an
  // entry whose key came earlier in its section: the line number of the
  // first one, which is the one reads see. 0 otherwise.
  uint32_t first_line = 0;
  // True for the lines under a repeated header: reads never see them.
  bool in_ignored_section = false;
};

struct Inspection {
  Encoding encoding = Encoding::kUtf8;
  std::vector<InspectedLine> lines;
};

// Decodes and parses `bytes` as the engine does. Never fails.
Inspection Inspect(std::string_view bytes);

// The name a lookup compares: trimmed, each unit folded as section and key
// names are matched.
std::u16string ComparableName(std::u16string_view name);

// "UTF-8", "UTF-8 with BOM", "UTF-16LE", "UTF-16BE", "Windows-1252".
const char* EncodingName(Encoding encoding);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_LINE_SURVEY_H_
