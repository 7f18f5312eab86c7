// The editing half of the document. An edit first decides whether the names
// and value can be written at all, so a refused edit changes nothing; then
// it splices the one line concerned into the text (or takes a section's
// lines out of it) and moves the records behind the splice point.
#include <algorithm>
#include <optional>

#include "base/utf.h"
#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/document_impl.h"

namespace orx::platform::ini {
namespace {

bool HasLineBreak(std::u16string_view text) {
  return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// Names that would not read back under the name given are refused: a ']'
// would end the header early, an '=' would end the key early, and a key
// starting with ';' or '[' would make a comment or a header of its line.
bool IsWritableSection(std::u16string_view name) {
  return !HasLineBreak(name) && name.find(u']') == std::u16string_view::npos;
}

bool IsWritableKey(std::u16string_view name) {
  if (HasLineBreak(name) || name.find(u'=') != std::u16string_view::npos) return false;
  return name.empty() || (name.front() != u';' && name.front() != u'[');
}

}  // namespace

Status CheckEdit(std::u16string_view section, std::optional<std::u16string_view> key,
                 std::optional<std::u16string_view> value) {
  if (!IsWritableSection(section) || (key && !IsWritableKey(*key)) ||
      (value && HasLineBreak(*value))) {
    return Status::kInvalidParameter;
  }
  if (HasLoneSurrogate(section) || (key && HasLoneSurrogate(*key)) ||
      (value && HasLoneSurrogate(*value))) {
    return Status::kNoUnicodeTranslation;
  }
  return Status::kOk;
}

std::u16string StoredForm(std::u16string_view value) {
  if (ReadForm(value).size() == value.size()) return std::u16string(value);
  std::u16string stored;
  stored.reserve(value.size() + 2);
  stored += u'"';
  stored += value;
  stored += u'"';
  return stored;
}

std::u16string EntryLine(std::u16string_view key, std::u16string_view stored) {
  std::u16string line;
  line.reserve(key.size() + 1 + stored.size());
  line += key;
  line += u'=';
  line += stored;
  return line;
}

void Document::Impl::Splice(size_t position, size_t count, std::u16string_view insert,
                            size_t first_moved) {
  text.replace(position, count, insert);
  MoveLinesFrom(first_moved, count, insert.size());
  changed = true;
}

void Document::Impl::MoveLinesFrom(size_t first, size_t removed, size_t inserted) {
  // Unsigned wrap-around makes one shift serve growth and shrinkage.
  const uint32_t shift = static_cast<uint32_t>(inserted) - static_cast<uint32_t>(removed);
  for (size_t i = first; i < lines.size(); ++i) lines[i].begin += shift;
}

void Document::Impl::EndLastLine() {
  if (lines.empty() || lines.back().line_end != 0) return;
  Splice(text.size(), 0, line_end, lines.size());
  lines.back().line_end = static_cast<uint8_t>(line_end.size());
}

void Document::Impl::InsertLine(uint32_t at, std::u16string_view content, uint32_t section) {
  Line line;
  line.begin = static_cast<uint32_t>(at < lines.size() ? lines[at].begin : text.size());
  line.length = static_cast<uint32_t>(content.size());
  line.line_end = static_cast<uint8_t>(line_end.size());
  line.section = section;
  ClassifyLine(content, line);
  std::u16string piece(content);
  piece += line_end;
  Splice(line.begin, 0, piece, at);
  if (at < lines.size()) {
    sections.ShiftLinesFrom(at);
    keys.ShiftLinesFrom(at);
  }
  lines.insert(lines.begin() + at, line);
}

void Document::Impl::ReplaceLineContent(uint32_t at, std::u16string_view content) {
  Splice(lines[at].begin, lines[at].length, content, at + 1);
  lines[at].length = static_cast<uint32_t>(content.size());
  ClassifyLine(content, lines[at]);
}

void Document::Impl::RemoveLine(uint32_t at) {
  const Line removed = lines[at];
  const std::u16string name(Name(removed));
  const uint32_t key_hash = KeyHash(removed.name_hash, removed.section);
  const bool indexed = removed.kind == LineKind::kEntry && keys.Erase(key_hash, at);
  Splice(removed.begin, removed.units(), {}, at + 1);
  lines.erase(lines.begin() + at);
  // Patched rather than rebuilt: a rebuild per removal made removing many
  // keys of a large file quadratic.
  sections.ShiftLinesDownFrom(at + 1);
  keys.ShiftLinesDownFrom(at + 1);
  if (!indexed) return;
  // A later key of the same name in the same section is now the first.
  for (uint32_t i = at; i < lines.size() && lines[i].kind != LineKind::kHeader; ++i) {
    if (lines[i].kind == LineKind::kEntry && lines[i].name_hash == removed.name_hash &&
        EqualsIgnoreCase(Name(lines[i]), name)) {
      keys.Insert(key_hash, i);
      return;
    }
  }
}

void Document::Impl::RemoveSection(uint32_t header) {
  const uint32_t removed_section = lines[header].section;
  // Comment and blank lines stay and become part of whatever came before.
  const uint32_t joined_section = header > 0 ? lines[header - 1].section : kNoSection;
  size_t end = header + 1;
  while (end < lines.size() && lines[end].kind != LineKind::kHeader) ++end;
  const size_t tail = end < lines.size() ? lines[end].begin : text.size();

  std::u16string kept;
  kept.reserve(text.size());
  kept.append(text, 0, lines[header].begin);
  size_t out = header;
  for (size_t i = header; i < end; ++i) {
    Line line = lines[i];
    if (line.kind != LineKind::kComment && line.kind != LineKind::kBlank) continue;
    const size_t old_begin = line.begin;
    line.begin = static_cast<uint32_t>(kept.size());
    line.section = joined_section;
    kept.append(text, old_begin, line.units());
    lines[out++] = line;
  }
  const uint32_t shift = static_cast<uint32_t>(tail - kept.size());
  kept.append(text, tail, std::u16string::npos);
  for (size_t i = end; i < lines.size(); ++i) {
    Line line = lines[i];
    line.begin -= shift;
    if (line.section != kNoSection && line.section > removed_section) --line.section;
    lines[out++] = line;
  }
  lines.resize(out);
  text = std::move(kept);
  --section_count;
  changed = true;
  RebuildIndex();
}

void Document::Impl::KeepEncodingFaithful() {
  if (encoding != Encoding::kWindows1252) return;
  const std::optional<std::string> bytes = Encode(text, encoding, *rules);
  if (!bytes) {
    // Text the code page cannot hold would be lost or replaced.
    encoding = rules->single_byte_fallback;
    return;
  }
  if (!rules->guess_utf8) return;
  // A file without BOM counts as single-byte only while it is not valid
  // UTF-8: an edit that took out the last bytes that made the file invalid
  // UTF-8 while other non-ASCII text stays would change characters on the
  // next read; the fallback keeps them.
  const bool ascii =
      std::all_of(bytes->begin(), bytes->end(), [](char byte) { return (byte & 0x80) == 0; });
  if (!ascii && IsValidUtf8(*bytes)) encoding = rules->single_byte_fallback;
}

Status Document::SetValue(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
  Impl& impl = *impl_;
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (const Status status = CheckEdit(section, key, value); status != Status::kOk) return status;
  if (!impl.HasRoomFor(SetGrowth(section, key, value))) return Status::kNotEnoughMemory;
  const std::u16string stored = StoredForm(value);
  const uint32_t header = impl.FindHeader(section);
  if (header == kNoLine) {
    // A new section goes at the end of the file, its key with it.
    impl.EndLastLine();
    const uint32_t ordinal = impl.section_count++;
    const uint32_t at = static_cast<uint32_t>(impl.lines.size());
    // Appended rather than u"[" + ...: gcc 12 at -O3 warns falsely on that.
    std::u16string header_text(u"[");
    header_text.append(section).push_back(u']');
    impl.InsertLine(at, header_text, ordinal);
    impl.sections.Insert(impl.lines[at].name_hash, at);
    impl.InsertLine(at + 1, EntryLine(key, stored), ordinal);
    impl.keys.Insert(KeyHash(impl.lines[at + 1].name_hash, ordinal), at + 1);
  } else {
    const uint32_t ordinal = impl.lines[header].section;
    const uint32_t entry = impl.FindEntry(ordinal, key);
    if (entry != kNoLine) {
      // The key keeps its spelling in the file, the line its line end.
      if (impl.RawValue(impl.lines[entry]) == stored) return Status::kOk;
      impl.ReplaceLineContent(entry, EntryLine(impl.Name(impl.lines[entry]), stored));
    } else {
      // After the section's last entry, before comments and blank lines
      // that trail it.
      uint32_t at = header + 1;
      for (uint32_t i = header + 1; i < impl.lines.size(); ++i) {
        if (impl.lines[i].kind == LineKind::kHeader) break;
        if (impl.lines[i].IsEntry()) at = i + 1;
      }
      if (at == impl.lines.size()) impl.EndLastLine();
      impl.InsertLine(at, EntryLine(key, stored), ordinal);
      impl.keys.Insert(KeyHash(impl.lines[at].name_hash, ordinal), at);
    }
  }
  impl.KeepEncodingFaithful();
  return Status::kOk;
}

Status Document::DeleteKey(std::u16string_view section, std::u16string_view key) {
  Impl& impl = *impl_;
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (const Status status = CheckEdit(section, key, std::nullopt); status != Status::kOk) {
    return status;
  }
  if (impl.too_large) return Status::kNotEnoughMemory;
  const uint32_t header = impl.FindHeader(section);
  if (header == kNoLine) return Status::kOk;
  const uint32_t entry = impl.FindEntry(impl.lines[header].section, key);
  if (entry != kNoLine) {
    impl.RemoveLine(entry);
    impl.KeepEncodingFaithful();
  }
  return Status::kOk;
}

Status Document::DeleteSection(std::u16string_view section) {
  Impl& impl = *impl_;
  section = TrimBlanks(section);
  if (const Status status = CheckEdit(section, std::nullopt, std::nullopt); status != Status::kOk) {
    return status;
  }
  if (impl.too_large) return Status::kNotEnoughMemory;
  const uint32_t header = impl.FindHeader(section);
  if (header != kNoLine) {
    impl.RemoveSection(header);
    impl.KeepEncodingFaithful();
  }
  return Status::kOk;
}

}  // namespace orx::platform::ini
