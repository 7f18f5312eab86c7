// The state behind a Document, shared by the reading half (document.cc) and
// the editing halves (document_edit.cc, document_batch.cc). The text is one
// buffer. Only header and entry lines have a record, the offset where they
// start: blank, comment and text lines, which no lookup needs, are read from
// the text between two records when an edit or a section read passes them.
// That keeps a line-dense file's parse within a few bytes per line. A line
// index finds the first section of a name. The first key of a name in a
// section of a few dozen entries, the usual size, is found by scanning the
// hashes of the section's key names, kept section by section: cheaper to
// build than an index of every key of the file, and smaller. First sections
// of more than kScannedEntries entries keep no hashes; their keys are in a
// second line index, so that no lookup scans far.
//
// A file that is pure ASCII after its BOM (nearly every settings file) keeps
// its own bytes as the text, one byte a unit, until an edit puts something
// else in: every read works on either form of text through the templates of
// line.h and the TextView overloads; Splice puts ASCII into the bytes as they
// are, and widens the text to UTF-16 first for anything else, as do the
// rarer edits of whole sections, so that their code knows one form only.
// Offsets count units, which both forms share, so the records, the hashes
// and the indexes survive the widening unchanged.
#ifndef ORX_PLATFORM_INI_DOCUMENT_IMPL_H_
#define ORX_PLATFORM_INI_DOCUMENT_IMPL_H_

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/document.h"
#include "platform/ini/line.h"
#include "platform/ini/line_index.h"

namespace orx::platform::ini {

inline constexpr uint32_t kNoLine = LineIndex::kNone;

// Sections of at most this many entries are searched by scanning the hashes
// of their key names; larger first sections have their keys indexed.
inline constexpr uint32_t kScannedEntries = 64;

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
  std::u16string text;  // the whole file without its BOM, unless ascii_form
  std::string ascii;    // the same, one ASCII byte a unit, when ascii_form
  bool ascii_form = false;
  // Where each header and each key=value line starts, in file order. A
  // "mark" below is an index into this list.
  std::vector<uint32_t> marks;
  // The mark of each section's header, by the section's ordinal.
  std::vector<uint32_t> headers;
  // The NameHash of each entry's key of every section of at most
  // kScannedEntries entries, section after section, and where each
  // section's hashes start (a larger section's start is the next one's).
  std::vector<uint32_t> key_hashes;
  std::vector<uint32_t> key_hashes_start;
  LineIndex sections;  // ordinal of the first section of each name
  // Mark of the first entry of each key name in first sections of more than
  // kScannedEntries entries.
  LineIndex keys;
  const EncodingRules* rules = &DefaultEncodingRules();
  Encoding encoding = Encoding::kUtf8;
  std::u16string_view line_end = u"\n";  // for lines this document writes
  int stray_byte = -1;                   // the odd last byte of a UTF-16 file
  bool changed = false;
  bool too_large = false;  // past kMaxTextUnits: kept whole, never parsed or edited

  size_t TextSize() const { return ascii_form ? ascii.size() : text.size(); }
  TextView Text() const { return ascii_form ? TextView::Ascii(ascii) : TextView(text); }
  // Calls `read` with the text in its form: a std::u16string_view or a
  // std::string_view of ASCII bytes.
  template <typename Read>
  decltype(auto) WithText(Read&& read) const {
    return ascii_form ? read(std::string_view(ascii)) : read(std::u16string_view(text));
  }
  // Moves ASCII text to UTF-16; every edit starts with it.
  void Widen();

  // A line's name or value in either form of text, for reads.
  TextView Part(const Line& line, uint32_t offset, uint32_t length) const {
    return Text().substr(line.begin + size_t{offset}, length);
  }
  Line LineAt(uint32_t mark) const {
    Line line;
    WithText([&](auto all) { ReadLine(all, marks[mark], line); });
    return line;
  }
  TextView NameAt(uint32_t mark) const {
    return WithText([&](auto all) { return AsTextView(LineName(all, marks[mark])); });
  }
  // How many entries section `ordinal` has.
  uint32_t EntryCount(uint32_t ordinal) const {
    return EndOfSection(ordinal) - headers[ordinal] - 1;
  }
  static bool IsScanned(uint32_t entries) { return entries <= kScannedEntries; }
  // The mark after the last entry of section `ordinal`: the next header's,
  // or the end of the list.
  uint32_t EndOfSection(uint32_t ordinal) const {
    return ordinal + 1 < headers.size() ? headers[ordinal + 1]
                                        : static_cast<uint32_t>(marks.size());
  }
  // Where the lines of section `ordinal` end in the text.
  size_t SectionTextEnd(uint32_t ordinal) const {
    const uint32_t end = EndOfSection(ordinal);
    return end < marks.size() ? size_t{marks[end]} : TextSize();
  }
  // Where the line after the header of section `ordinal` starts.
  size_t AfterHeader(uint32_t ordinal) const {
    Line header;
    return WithText([&](auto all) { return ReadLine(all, marks[headers[ordinal]], header); });
  }

  // The ordinal of the section whose lines include mark `mark`, kNoSection
  // before the first header.
  uint32_t SectionOf(uint32_t mark) const;
  // The hashes the indexes keep section `ordinal` and entry `mark` under;
  // they give a table that moves its slots the hashes it does not store.
  uint32_t HeaderHashAt(uint32_t ordinal) const;
  uint32_t KeyHashAt(uint32_t mark) const;
  uint32_t NameHashAt(uint32_t mark) const;  // NameHash of entry `mark`'s key
  auto HeaderHashes() const {
    return [this](uint32_t ordinal) { return HeaderHashAt(ordinal); };
  }
  auto KeyHashes() const {
    return [this](uint32_t mark) { return KeyHashAt(mark); };
  }

  bool IsHeaderOf(uint32_t ordinal, TextView name) const;
  bool IsEntryOf(uint32_t mark, uint32_t ordinal, TextView name) const;

  // Ordinal of the first section called `name` (trimmed), or kNoLine.
  uint32_t FindHeader(std::u16string_view name) const;
  // Mark of the first key called `name` (trimmed) in section `ordinal`, or
  // kNoLine. Finds keys of first sections only.
  uint32_t FindEntry(uint32_t ordinal, std::u16string_view name) const;

  // After the text is in place: parses it, or marks a text too large to.
  void FinishRead();
  // Records the header and entry lines of the text; then indexes them.
  void Parse();
  template <typename Unit>
  void ParseText(std::basic_string_view<Unit> all);
  // Fills the key hashes of scanned sections and both line indexes from the
  // records and `hashes`, the NameHash of each record's name.
  void IndexMarks(std::span<const uint32_t> hashes);
  // Fills both line indexes from the records and `hashes` as above or, when
  // none are given, from the names in the text; the key hashes of scanned
  // sections must be right already.
  void IndexLines(std::span<const uint32_t> hashes = {});
  // The hashes of the keys of section `ordinal`, as its records now are, in
  // place of the `had` hashes it had: after an edit that replaced or
  // removed its lines.
  void ReplaceKeyHashes(uint32_t ordinal, uint32_t had);
  // Adds `delta` to where the key hashes of every section after `ordinal`
  // start.
  void MoveKeyHashStarts(uint32_t ordinal, uint32_t delta);
  // Gives section `ordinal`, which has just come to be scanned, the hashes
  // of its keys, and takes them out of the key index.
  void StartScanning(uint32_t ordinal);
  // Puts the keys of first section `ordinal`, which has just outgrown
  // scanning, into the key index, and drops their hashes.
  void StopScanning(uint32_t ordinal);
  // Whether the text may grow by `growth` units and stay within the offsets'
  // range; never for a document too large to parse.
  bool HasRoomFor(size_t growth) const {
    return !too_large && TextSize() + growth <= kMaxTextUnits;
  }

  // Editing steps (document_edit.cc). Each keeps the text and the records in
  // agreement and leaves every line it is not asked to touch as it was.
  // Puts `insert` where `count` units were at `position` and moves the
  // records from `first_moved` on.
  void Splice(size_t position, size_t count, std::u16string_view insert, size_t first_moved);
  // Moves the records from `first` on after a splice that put `inserted`
  // units where `removed` were.
  void MoveMarksFrom(size_t first, size_t removed, size_t inserted);
  // Gives the last line a line end, so that a line can follow it.
  void EndLastLine();
  // Inserts the entry line `content` at `position`, the start of a line, as
  // mark `mark`, the last of first section `ordinal`, which holds no key of
  // its name yet; `name_hash` is the NameHash of its key.
  void InsertEntry(uint32_t mark, uint32_t ordinal, size_t position, std::u16string_view content,
                   uint32_t name_hash);
  void ReplaceEntryContent(uint32_t mark, std::u16string_view content);
  void RemoveEntry(uint32_t mark, uint32_t ordinal);
  void RemoveSection(uint32_t ordinal);
  // Replaces the lines of section `ordinal`, from its header on, by
  // `content`, records its lines again and rebuilds the index
  // (document_batch.cc).
  void ReplaceSectionLines(uint32_t ordinal, std::u16string_view content);
  // After an edit: moves a single-byte document to the rules' fallback
  // encoding when its bytes would no longer read back as the same text.
  void KeepEncodingFaithful();
};

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_DOCUMENT_IMPL_H_
