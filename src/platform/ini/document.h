// The INI document: one settings file's text, parsed into lines that are kept
// byte for byte, with the lookups and edits the profile calls need. Pure: no
// I/O, no locks, no global state. Reading follows the platform's profile
// rules (first ']' ends a header, ';' starts a comment only at the start of a
// line, the first section and first key of a name win); an edit changes,
// inserts or removes only the lines concerned.
#ifndef ORX_PLATFORM_INI_DOCUMENT_H_
#define ORX_PLATFORM_INI_DOCUMENT_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/status.h"
#include "platform/ini/encoding.h"
#include "platform/ini/text_view.h"

namespace orx::platform::ini {

// One entry of a section as the section read reports it, in file order.
// The views point into the document's text (see TextView).
struct SectionEntry {
  TextView key;        // trimmed name; empty for "=value" lines
  TextView raw_value;  // trimmed value as stored, quotes kept
  bool has_equals;     // false for a line without '=' (key holds the text)
};

// One edit of a batch on a section: with a value, sets `key` as SetValue
// does; without, removes it as DeleteKey does.
struct KeyEdit {
  std::u16string_view key;
  std::optional<std::u16string_view> value;
};

class Document {
 public:
  // An empty document, as for a missing file: UTF-8 without BOM, LF line ends.
  // Copies are independent; a moved-from document may only be assigned to or
  // destroyed.
  Document();
  // An empty document in the new-file encoding and line end of `rules`, which
  // also govern every later encoding decision of the document.
  explicit Document(const EncodingRules& rules);
  ~Document();
  Document(const Document&);
  Document& operator=(const Document&);
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;

  // Decodes `bytes` (BOM sniffing; without a BOM as `rules` say: by default
  // UTF-8 when valid, else Windows-1252) and parses them. Never fails: any
  // byte string yields a document.
  static Document FromBytes(std::string_view bytes,
                            const EncodingRules& rules = DefaultEncodingRules());
  // The same from bytes the document may keep: a file that is ASCII after
  // its BOM becomes the document's text without a second copy.
  static Document FromOwnedBytes(std::string bytes,
                                 const EncodingRules& rules = DefaultEncodingRules());

  // The file as it is to be written: every untouched line as it was read,
  // in the document's encoding, with its BOM; for a document never edited,
  // exactly the bytes it was read from. A single-byte document that an edit
  // gave a character the code page cannot represent, or, where the rules
  // guess UTF-8, whose bytes an edit made valid UTF-8 (so that a reader would
  // take them for UTF-8), is written in the rules' fallback encoding (by
  // default UTF-8 with BOM), and encoding() reports that from the edit on.
  std::string ToBytes() const;

  // Whether ToBytes() would give exactly `bytes`, found by encoding the text
  // a chunk at a time and stopping at the first difference, so that no
  // second copy of the file is built (serialisation_match.h).
  bool SerialisesTo(std::string_view bytes) const;

  Encoding encoding() const;

  // Bytes the document holds on the heap and in itself: its text, its line
  // records and its indexes, with the capacity each has reserved. For bounds
  // on caches of parsed documents.
  size_t MemoryUsage() const;

  // --- Lookups. Names are matched after trimming space, TAB and VT, without
  // regard to case (FoldCase of each UTF-16 unit). Only the first section of
  // a name and the first key of a name within it are seen.

  // The value as a profile read returns it: trimmed, one outer pair of
  // matching quotes removed. nullopt when the section or the key is missing;
  // an empty view for "key=". The view lives as long as the document is
  // neither edited nor destroyed; it is of ASCII bytes while the document
  // keeps an ASCII file as its bytes.
  std::optional<TextView> FindValue(std::u16string_view section, std::u16string_view key) const;

  // Calls `visit` for each entry of the section in file order, skipping
  // comment and blank lines; stops early when `visit` returns false.
  // Returns false when the section is missing.
  template <typename Visit>
  bool ForEachEntry(std::u16string_view section, Visit visit) const;

  // --- Edits. Each returns kOk or kInvalidParameter (87) for a name or value
  // that would change the file's structure or not read back under the name
  // given (a line break anywhere, ']' in a section name, '=' in a key name, a
  // key starting with ';' or '['), or kNoUnicodeTranslation (1113) for a lone
  // surrogate, or kNotEnoughMemory (8) when the text would outgrow the
  // document's 4 Gi-unit limit (a file read past it is kept whole but never
  // parsed or edited); a refused edit leaves the document unchanged. 87 wins
  // over 1113 when both apply. Names are trimmed first, as for lookups;
  // empty names are allowed. Deleting what is not there succeeds and changes
  // nothing.

  // Sets the first `key` of the first `section`: replaces its line in place
  // (keeping the key's spelling and the line's own line end), or inserts a
  // new line after the section's last entry, or appends a new section at the
  // end. A value with leading or trailing blanks, or wrapped in one matching
  // pair of quotes, is stored wrapped in double quotes so that it reads back
  // exactly. Lines written use the document's line end: the one its first
  // line ends with, LF when it has none. Setting the value a key already
  // holds in that stored form changes nothing.
  Status SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // Removes the first `key` line of the first `section`; the header stays.
  Status DeleteKey(std::u16string_view section, std::u16string_view key);

  // Applies `edits`, in order, to the first `section`, with the result, in
  // bytes and in lookups, that SetValue and DeleteKey called one by one would
  // give; but the section's text is spliced into the document once, so many
  // edits of one section cost about one pass over the file instead of one
  // each. Every edit is checked before any is applied: the status is that of
  // the first edit one by one would refuse (the same statuses, in the same
  // order, as the single edits), and on a refusal the document is unchanged.
  // An empty list changes nothing and succeeds.
  Status ApplyToSection(std::u16string_view section, std::span<const KeyEdit> edits);

  // Removes the first `section`'s header and entry lines; its comment lines
  // stay where they were.
  Status DeleteSection(std::u16string_view section);

  // True once an edit has changed the text since parsing.
  bool changed() const;

 private:
  struct Impl;
  friend class SerialisationReader;
  std::unique_ptr<Impl> impl_;
  // Entry iteration is a template; this non-template step does the work.
  bool VisitEntries(std::u16string_view section,
                    bool (*thunk)(void* context, const SectionEntry& entry), void* context) const;
};

template <typename Visit>
bool Document::ForEachEntry(std::u16string_view section, Visit visit) const {
  return VisitEntries(
      section,
      [](void* context, const SectionEntry& entry) {
        return (*static_cast<Visit*>(context))(entry);
      },
      &visit);
}

// The value as a profile read returns it: `raw` trimmed of space, TAB and VT,
// then one outer pair of matching quotes (" or ') removed.
std::u16string_view ReadForm(std::u16string_view raw);
inline std::u16string_view ReadForm(const char16_t* raw) {
  return ReadForm(std::u16string_view(raw));
}
TextView ReadForm(TextView raw);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_DOCUMENT_H_
