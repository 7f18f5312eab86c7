// The reading half of the document: parsing, serialising, lookups and the
// index behind them. Lookups fold each unit of the caller's names once, for
// the hash, and compare names in place in the text; nothing is allocated.
#include "platform/ini/document.h"

#include <cassert>

#include "base/utf.h"
#include "platform/ini/case_fold.h"
#include "platform/ini/document_impl.h"

namespace orx::platform::ini {

bool Document::Impl::IsHeaderOf(uint32_t line, std::u16string_view name) const {
  return EqualsIgnoreCase(Name(lines[line]), name);
}

bool Document::Impl::IsEntryOf(uint32_t line, uint32_t section, std::u16string_view name) const {
  return lines[line].section == section && EqualsIgnoreCase(Name(lines[line]), name);
}

uint32_t Document::Impl::FindHeader(std::u16string_view name, uint32_t name_hash) const {
  return sections.Find(name_hash, [&](uint32_t line) { return IsHeaderOf(line, name); });
}

uint32_t Document::Impl::FindEntry(uint32_t section, std::u16string_view name,
                                   uint32_t name_hash) const {
  return keys.Find(KeyHash(name_hash, section),
                   [&](uint32_t line) { return IsEntryOf(line, section, name); });
}

void Document::Impl::RebuildIndex() {
  size_t entries = 0;
  for (const Line& line : lines) entries += line.kind == LineKind::kEntry;
  sections.Reset(section_count);
  keys.Reset(entries);
  bool first_of_name = false;
  for (uint32_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const std::u16string_view name = Name(line);
    if (line.kind == LineKind::kHeader) {
      // A later section of a name already seen is never searched, so its
      // keys stay out of the table.
      first_of_name = sections.InsertIfAbsent(
          line.name_hash, i, [&](uint32_t other) { return IsHeaderOf(other, name); });
    } else if (line.kind == LineKind::kEntry && first_of_name) {
      keys.InsertIfAbsent(KeyHash(line.name_hash, line.section), i,
                          [&](uint32_t other) { return IsEntryOf(other, line.section, name); });
    }
  }
}

Document::Document() : Document(DefaultEncodingRules()) {}
Document::Document(const EncodingRules& rules) : impl_(std::make_unique<Impl>()) {
  impl_->rules = &rules;
  impl_->encoding = rules.new_file;
  impl_->line_end = rules.new_line_end;
}
Document::~Document() = default;
Document::Document(const Document& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
Document& Document::operator=(const Document& other) {
  if (this == &other) return *this;
  if (impl_) {
    *impl_ = *other.impl_;
  } else {
    impl_ = std::make_unique<Impl>(*other.impl_);
  }
  return *this;
}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

Document Document::FromBytes(std::string_view bytes, const EncodingRules& rules) {
  Document document(rules);
  Impl& impl = *document.impl_;
  DecodedText decoded = Decode(bytes, rules);
  impl.text = std::move(decoded.text);
  impl.encoding = decoded.encoding;
  const bool utf16 = impl.encoding == Encoding::kUtf16Le || impl.encoding == Encoding::kUtf16Be;
  if (utf16 && bytes.size() % 2 == 1) impl.stray_byte = static_cast<unsigned char>(bytes.back());
  if (impl.text.size() > kMaxTextUnits) {
    impl.too_large = true;
    return document;
  }
  impl.section_count = SplitLines(impl.text, impl.lines);
  for (const Line& line : impl.lines) {
    if (line.line_end == 0) continue;
    if (line.line_end == 2) {
      impl.line_end = u"\r\n";
    } else {
      impl.line_end = impl.text[line.begin + size_t{line.length}] == u'\r' ? u"\r" : u"\n";
    }
    break;
  }
  impl.RebuildIndex();
  return document;
}

std::string Document::ToBytes() const {
  std::optional<std::string> bytes = Encode(impl_->text, impl_->encoding, *impl_->rules);
  // Every document's text is encodable: decoding is lossless, edits refuse
  // lone surrogates and move a single-byte document to the rules' fallback
  // when needed.
  assert(bytes.has_value());
  if (!bytes) return EncodePath(impl_->text);
  // The odd byte of a truncated UTF-16 file is no character; it survives
  // only as long as the document is the file as read.
  if (impl_->stray_byte >= 0 && !impl_->changed)
    bytes->push_back(static_cast<char>(impl_->stray_byte));
  return std::move(*bytes);
}

Encoding Document::encoding() const { return impl_->encoding; }

size_t Document::MemoryUsage() const {
  const Impl& impl = *impl_;
  return sizeof(Document) + sizeof(Impl) + impl.text.capacity() * sizeof(char16_t) +
         impl.lines.capacity() * sizeof(Line) + impl.sections.MemoryUsage() +
         impl.keys.MemoryUsage();
}

bool Document::changed() const { return impl_->changed; }

std::optional<std::u16string_view> Document::FindValue(std::u16string_view section,
                                                       std::u16string_view key) const {
  const Impl& impl = *impl_;
  const uint32_t header = impl.FindHeader(TrimBlanks(section));
  if (header == kNoLine) return std::nullopt;
  const uint32_t entry = impl.FindEntry(impl.lines[header].section, TrimBlanks(key));
  if (entry == kNoLine) return std::nullopt;
  return ReadForm(impl.RawValue(impl.lines[entry]));
}

bool Document::VisitEntries(std::u16string_view section,
                            bool (*thunk)(void* context, const SectionEntry& entry),
                            void* context) const {
  const Impl& impl = *impl_;
  const uint32_t header = impl.FindHeader(TrimBlanks(section));
  if (header == kNoLine) return false;
  for (size_t i = header + 1; i < impl.lines.size(); ++i) {
    const Line& line = impl.lines[i];
    if (line.kind == LineKind::kHeader) break;
    if (!line.IsEntry()) continue;
    const SectionEntry entry{impl.Name(line), impl.RawValue(line), line.kind == LineKind::kEntry};
    if (!thunk(context, entry)) break;
  }
  return true;
}

std::u16string_view ReadForm(std::u16string_view raw) {
  std::u16string_view value = TrimBlanks(raw);
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == u'"' || value.front() == u'\'')) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace orx::platform::ini
