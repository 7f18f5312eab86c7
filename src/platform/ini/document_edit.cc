// The editing half of the document. An edit first decides whether the names
// and value can be written at all, so a refused edit changes nothing; then
// it splices the one line concerned into the text (or takes a section's
// lines out of it) and moves the records behind the splice point. Text kept
// as ASCII bytes is widened to UTF-16 right before the first change, so an
// edit that changes nothing leaves it as it is.
#include <algorithm>
#include <optional>

#include "base/utf.h"
#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/document_impl.h"
#include "platform/ini/name_hash.h"

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

namespace {

// Puts `insert` where `count` units were at `position` of `text`.
template <typename Unit>
void SpliceText(std::basic_string<Unit>& text, size_t position, size_t count,
                std::basic_string_view<Unit> insert) {
  const size_t size = text.size() - count + insert.size();
  if (size > text.capacity()) {
    // A string that outgrows its capacity doubles it: a large file's text
    // would take twice its size after its first growing edit. A sixteenth
    // more is room for many more edits, and the splice is done in the copy.
    std::basic_string<Unit> grown;
    grown.reserve(size + size / 16);
    grown.append(text, 0, position).append(insert).append(text, position + count);
    text = std::move(grown);
  } else {
    text.replace(position, count, insert);
  }
}

bool IsAsciiText(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

}  // namespace

void Document::Impl::Splice(size_t position, size_t count, std::u16string_view insert,
                            size_t first_moved) {
  // ASCII put into ASCII text keeps it in the file's own bytes, so that a
  // write of such an edit is those bytes; anything else widens it first.
  if (ascii_form && !IsAsciiText(insert)) Widen();
  if (ascii_form) {
    const std::string narrow(insert.begin(), insert.end());
    SpliceText(ascii, position, count, std::string_view(narrow));
  } else {
    SpliceText(text, position, count, insert);
  }
  MoveMarksFrom(first_moved, count, insert.size());
  changed = true;
}

void Document::Impl::MoveMarksFrom(size_t first, size_t removed, size_t inserted) {
  // Unsigned wrap-around makes one shift serve growth and shrinkage.
  const uint32_t shift = static_cast<uint32_t>(inserted) - static_cast<uint32_t>(removed);
  for (size_t i = first; i < marks.size(); ++i) marks[i] += shift;
}

void Document::Impl::EndLastLine() {
  const TextView all = Text();
  if (all.empty() || all[all.size() - 1] == u'\n' || all[all.size() - 1] == u'\r') return;
  Splice(all.size(), 0, line_end, marks.size());
}

void Document::Impl::InsertEntry(uint32_t mark, uint32_t ordinal, size_t position,
                                 std::u16string_view content, uint32_t name_hash) {
  std::u16string piece(content);
  // A bare CR right before a LF would join the line to the empty line that
  // follows it; CRLF keeps both.
  const bool joins = line_end == u"\r" && position < TextSize() && Text()[position] == u'\n';
  piece += joins ? u"\r\n" : line_end;
  Splice(position, 0, piece, mark);
  // Grown by a sixteenth, as the text is, rather than doubled.
  if (marks.size() == marks.capacity()) marks.reserve(marks.size() + marks.size() / 16 + 1);
  marks.insert(marks.begin() + mark, static_cast<uint32_t>(position));
  if (mark + 1 < marks.size()) {
    keys.ShiftLinesFrom(mark);
    for (uint32_t& header : headers) header += header >= mark;
  }
  const uint32_t entries = EntryCount(ordinal);
  if (IsScanned(entries)) {
    key_hashes.insert(
        key_hashes.begin() + key_hashes_start[ordinal] + (mark - headers[ordinal] - 1), name_hash);
    MoveKeyHashStarts(ordinal, 1);
  } else if (IsScanned(entries - 1)) {
    StopScanning(ordinal);
  } else {
    keys.Insert(WithSection(name_hash, ordinal), mark, KeyHashes());
  }
}

void Document::Impl::ReplaceEntryContent(uint32_t mark, std::u16string_view content) {
  const Line line = LineAt(mark);
  Splice(line.begin, line.length, content, mark + 1);
}

void Document::Impl::RemoveEntry(uint32_t mark, uint32_t ordinal) {
  const Line removed = LineAt(mark);
  const std::u16string name = NameAt(mark).ToU16();
  const uint32_t entries = EntryCount(ordinal);
  const bool scanned = IsScanned(entries);
  // A scanned section holds the name's hash already, here.
  const size_t stored = key_hashes_start[ordinal] + size_t{mark - headers[ordinal] - 1};
  const uint32_t key_hash = WithSection(scanned ? key_hashes[stored] : NameHashAt(mark), ordinal);
  const bool indexed = !scanned && keys.Erase(key_hash, mark, KeyHashes());
  if (scanned) {
    key_hashes.erase(key_hashes.begin() + static_cast<ptrdiff_t>(stored));
    MoveKeyHashStarts(ordinal, 0u - 1u);
  }
  Splice(removed.begin, removed.units(), {}, mark + 1);
  marks.erase(marks.begin() + mark);
  // Patched rather than rebuilt: a rebuild per removal made removing many
  // keys of a large file quadratic.
  keys.ShiftLinesDownFrom(mark + 1);
  for (uint32_t& header : headers) header -= header > mark;
  if (!scanned && IsScanned(entries - 1)) {
    StartScanning(ordinal);
    return;
  }
  if (!indexed) return;
  // A later key of the same name in the same section is now the first.
  for (uint32_t i = mark; i < EndOfSection(ordinal); ++i) {
    if (EqualsIgnoreCase(NameAt(i), TextView(name))) {
      keys.Insert(key_hash, i, KeyHashes());
      return;
    }
  }
}

void Document::Impl::RemoveSection(uint32_t ordinal) {
  const uint32_t first = headers[ordinal];
  const uint32_t end = EndOfSection(ordinal);
  const uint32_t had = IsScanned(EntryCount(ordinal)) ? EntryCount(ordinal) : 0;
  const auto hashes = key_hashes.begin() + key_hashes_start[ordinal];
  key_hashes.erase(hashes, hashes + had);
  key_hashes_start.erase(key_hashes_start.begin() + ordinal);
  for (size_t i = ordinal; i < key_hashes_start.size(); ++i) key_hashes_start[i] -= had;
  const size_t begin = marks[first];
  const size_t stop = SectionTextEnd(ordinal);
  // Comment and blank lines stay and become part of whatever came before.
  std::u16string kept;
  for (size_t at = begin; at < stop;) {
    Line line;
    const size_t next = ReadLine(text, at, line);
    if (line.kind == LineKind::kComment || line.kind == LineKind::kBlank) {
      kept.append(text, at, next - at);
    }
    at = next;
  }
  text.replace(begin, stop - begin, kept);
  marks.erase(marks.begin() + first, marks.begin() + end);
  MoveMarksFrom(first, stop - begin, kept.size());
  headers.erase(headers.begin() + ordinal);
  for (size_t i = ordinal; i < headers.size(); ++i) headers[i] -= end - first;
  changed = true;
  IndexLines();
}

void Document::Impl::KeepEncodingFaithful() {
  // ASCII reads back the same in every encoding it is kept for.
  if (ascii_form || encoding != Encoding::kWindows1252) return;
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
  const uint32_t ordinal = impl.FindHeader(section);
  if (ordinal == kNoLine) {
    // A new section goes at the end of the file, its key with it.
    impl.EndLastLine();
    const uint32_t added = static_cast<uint32_t>(impl.headers.size());
    const uint32_t mark = static_cast<uint32_t>(impl.marks.size());
    // Appended rather than u"[" + ...: gcc 12 at -O3 warns falsely on that.
    std::u16string header_text(u"[");
    header_text.append(section).push_back(u']');
    header_text += impl.line_end;
    impl.Splice(impl.TextSize(), 0, header_text, mark);
    impl.marks.push_back(static_cast<uint32_t>(impl.TextSize() - header_text.size()));
    impl.headers.push_back(mark);
    impl.key_hashes_start.push_back(static_cast<uint32_t>(impl.key_hashes.size()));
    impl.sections.Insert(NameHash(section), added, impl.HeaderHashes());
    impl.InsertEntry(mark + 1, added, impl.TextSize(), EntryLine(key, stored), NameHash(key));
  } else {
    const uint32_t entry = impl.FindEntry(ordinal, key);
    if (entry != kNoLine) {
      // The key keeps its spelling in the file, the line its line end.
      const Line line = impl.LineAt(entry);
      if (impl.Part(line, line.value_offset, line.value_length) == TextView(stored)) {
        return Status::kOk;
      }
      impl.ReplaceEntryContent(
          entry, EntryLine(impl.Part(line, line.name_offset, line.name_length).ToU16(), stored));
    } else {
      // After the section's last entry, before comments and blank lines
      // that trail it.
      size_t at = impl.AfterHeader(ordinal);
      const size_t stop = impl.SectionTextEnd(ordinal);
      for (size_t begin = at; begin < stop;) {
        Line line;
        begin = impl.WithText([&](auto all) { return ReadLine(all, begin, line); });
        if (line.IsEntry()) at = begin;
      }
      if (at == impl.TextSize()) {
        impl.EndLastLine();
        at = impl.TextSize();
      }
      impl.InsertEntry(impl.EndOfSection(ordinal), ordinal, at, EntryLine(key, stored),
                       NameHash(key));
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
  const uint32_t ordinal = impl.FindHeader(section);
  if (ordinal == kNoLine) return Status::kOk;
  const uint32_t entry = impl.FindEntry(ordinal, key);
  if (entry != kNoLine) {
    impl.RemoveEntry(entry, ordinal);
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
  const uint32_t ordinal = impl.FindHeader(section);
  if (ordinal != kNoLine) {
    impl.Widen();
    impl.RemoveSection(ordinal);
    impl.KeepEncodingFaithful();
  }
  return Status::kOk;
}

}  // namespace orx::platform::ini
