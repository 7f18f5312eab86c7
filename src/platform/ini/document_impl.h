// The state behind a Document, shared by the reading half (document.cc) and
// the editing half (document_edit.cc). The text is one buffer; each line is
// an offset record into it; two line indexes find the first section of a
// name and, within first sections only, the first key of a name.
#ifndef ORX_PLATFORM_INI_DOCUMENT_IMPL_H_
#define ORX_PLATFORM_INI_DOCUMENT_IMPL_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/line.h"
#include "platform/ini/line_index.h"

namespace orx::platform::ini {

inline constexpr uint32_t kNoLine = LineIndex::kNone;

// The rules every edit shares (document_edit.cc).
// Whether the trimmed names and the value can be written: kInvalidParameter
// for what would change the file's structure, kNoUnicodeTranslation for a
// lone surrogate; structure is checked first, so a text that is both
// malformed and badly encoded reports the malformation.
Status CheckEdit(std::u16string_view section, std::optional<std::u16string_view> key,
                 std::optional<std::u16string_view> value);
// The value as it goes into the file: as given when a read returns it
// unchanged, else wrapped in double quotes, which a read takes off again.
std::u16string StoredForm(std::u16string_view value);
// "key=stored", the content of an entry line without its line end.
std::u16string EntryLine(std::u16string_view key, std::u16string_view stored);

// The most units an edit setting `value` under `key` may add to the text:
// the names and the value, and around them brackets, '=', quotes and up to
// three line ends.
inline size_t SetGrowth(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value) {
  return section.size() + key.size() + value.size() + 16;
}

struct Document::Impl {
  std::u16string text;  // the whole file without its BOM
  std::vector<Line> lines;
  LineIndex sections;  // header line of the first section of each name
  LineIndex keys;      // first entry line of each key name in first sections
  uint32_t section_count = 0;
  const EncodingRules* rules = &DefaultEncodingRules();
  Encoding encoding = Encoding::kUtf8;
  std::u16string_view line_end = u"\n";  // for lines this document writes
  int stray_byte = -1;                   // the odd last byte of a UTF-16 file
  bool changed = false;
  bool too_large = false;  // past kMaxTextUnits: kept whole, never parsed or edited

  std::u16string_view Name(const Line& line) const {
    return std::u16string_view(text).substr(line.begin + size_t{line.name_offset},
                                            line.name_length);
  }
  std::u16string_view RawValue(const Line& line) const {
    return std::u16string_view(text).substr(line.begin + size_t{line.value_offset},
                                            line.value_length);
  }

  bool IsHeaderOf(uint32_t line, std::u16string_view name) const;
  bool IsEntryOf(uint32_t line, uint32_t section, std::u16string_view name) const;

  // Header line of the first section called `name` (trimmed), or kNoLine.
  uint32_t FindHeader(std::u16string_view name) const { return FindHeader(name, NameHash(name)); }
  uint32_t FindHeader(std::u16string_view name, uint32_t name_hash) const;
  // Line of the first key called `name` (trimmed) in section `section`, or
  // kNoLine. Finds keys of first sections only.
  uint32_t FindEntry(uint32_t section, std::u16string_view name) const {
    return FindEntry(section, name, NameHash(name));
  }
  uint32_t FindEntry(uint32_t section, std::u16string_view name, uint32_t name_hash) const;

  // Whether the text may grow by `growth` units and stay within the offsets'
  // range; never for a document too large to parse.
  bool HasRoomFor(size_t growth) const {
    return !too_large && text.size() + growth <= kMaxTextUnits;
  }
  // Moves the records from `first` on after a splice that put `inserted`
  // units where `removed` were.
  void MoveLinesFrom(size_t first, size_t removed, size_t inserted);

  // Fills both line indexes from the line records.
  void RebuildIndex();

  // Editing steps (document_edit.cc). Each keeps the text and the records in
  // agreement and leaves every line it is not asked to touch as it was.
  // InsertLine renumbers the index but leaves entering the new line's name
  // to its caller; RemoveLine patches the index, RemoveSection rebuilds it.
  void Splice(size_t position, size_t count, std::u16string_view insert, size_t first_moved);
  void EndLastLine();
  void InsertLine(uint32_t at, std::u16string_view content, uint32_t section);
  void ReplaceLineContent(uint32_t at, std::u16string_view content);
  void RemoveLine(uint32_t at);
  void RemoveSection(uint32_t header);
  // Replaces lines [first, end), one section from its header on, by
  // `content`, parses that text again and rebuilds the index
  // (document_batch.cc).
  void ReplaceSectionLines(uint32_t first, uint32_t end, std::u16string_view content);
  // After an edit: moves a single-byte document to the rules' fallback
  // encoding when its bytes would no longer read back as the same text.
  void KeepEncodingFaithful();
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_DOCUMENT_IMPL_H_
