// The reading half of the document: parsing, serialising, lookups and the
// index behind them. Lookups fold each unit of the caller's names once, for
// the hash, and compare names in place in the text; nothing is allocated.
#include "platform/ini/document.h"

#include <algorithm>
#include <cassert>

#include "base/same_units.h"
#include "base/utf.h"
#include "platform/ini/case_fold.h"
#include "platform/ini/document_impl.h"
#include "platform/ini/name_hash.h"

namespace orx::platform::ini {

uint32_t Document::Impl::SectionOf(uint32_t mark) const {
  const auto after = std::upper_bound(headers.begin(), headers.end(), mark);
  return after == headers.begin() ? kNoSection : static_cast<uint32_t>(after - headers.begin() - 1);
}

uint32_t Document::Impl::HeaderHashAt(uint32_t ordinal) const {
  return NameAt(headers[ordinal]).Visit([](auto name) { return NameHash(name); });
}

uint32_t Document::Impl::KeyHashAt(uint32_t mark) const {
  return WithSection(NameHashAt(mark), SectionOf(mark));
}

uint32_t Document::Impl::NameHashAt(uint32_t mark) const {
  return NameAt(mark).Visit([](auto name) { return NameHash(name); });
}

void Document::Impl::Widen() {
  if (!ascii_form) return;
  std::u16string wide(ascii.size(), u'\0');
  WidenAscii(ascii.data(), ascii.size(), wide.data());
  text = std::move(wide);
  std::string().swap(ascii);
  ascii_form = false;
}

bool Document::Impl::IsHeaderOf(uint32_t ordinal, TextView name) const {
  return EqualsIgnoreCase(NameAt(headers[ordinal]), name);
}

bool Document::Impl::IsEntryOf(uint32_t mark, uint32_t ordinal, TextView name) const {
  return mark > headers[ordinal] && mark < EndOfSection(ordinal) &&
         EqualsIgnoreCase(NameAt(mark), name);
}

uint32_t Document::Impl::FindHeader(std::u16string_view name) const {
  return sections.Find(NameHash(name), [&](uint32_t ordinal) { return IsHeaderOf(ordinal, name); });
}

uint32_t Document::Impl::FindEntry(uint32_t ordinal, std::u16string_view name) const {
  const uint32_t entries = EntryCount(ordinal);
  if (!IsScanned(entries)) {
    return keys.Find(KeyHash(name, ordinal),
                     [&](uint32_t mark) { return IsEntryOf(mark, ordinal, name); });
  }
  const uint32_t hash = NameHash(name);
  const uint32_t* const hashes = key_hashes.data() + key_hashes_start[ordinal];
  const uint32_t first = headers[ordinal] + 1;
  for (uint32_t i = 0; i < entries; ++i) {
    if (hashes[i] == hash && EqualsIgnoreCase(NameAt(first + i), name)) return first + i;
  }
  return kNoLine;
}

namespace {

// The NameHash of names met lately, so that a file that repeats the same
// key names in every section hashes each of them about once. A slot is
// chosen by a few of a name's units and holds the last name that chose it,
// as a place in the text; a name is taken for a remembered one only when
// every unit is equal.
template <typename Unit>
class RecentNameHashes {
 public:
  using View = std::basic_string_view<Unit>;
  explicit RecentNameHashes(View text) : text_(text) {}

  uint32_t HashOf(size_t offset, size_t length) {
    const View name = text_.substr(offset, length);
    Slot& slot = slots_[SlotOf(name)];
    if (slot.length == length && length != 0 && SameUnits(slot.offset, offset, length)) {
      return slot.hash;
    }
    slot = {static_cast<uint32_t>(offset), static_cast<uint32_t>(length), NameHash(name)};
    return slot.hash;
  }

 private:
  struct Slot {
    uint32_t offset = 0;
    uint32_t length = 0;
    uint32_t hash = 0;
  };
  // Room for a few hundred names, so that the few dozen a settings file
  // repeats seldom share a slot and push each other out in turn.
  static constexpr unsigned kSlotBits = 10;

  static size_t SlotOf(View name) {
    if (name.empty()) return 0;
    const auto unit = [&](size_t i) { return static_cast<uint32_t>(name[i]); };
    const uint32_t mixed = static_cast<uint32_t>(name.size()) * 0x9E3779B1u ^
                           unit(0) * 0x85EBCA77u ^ unit(name.size() / 2) * 0xC2B2AE3Du ^
                           unit(name.size() - 1) * 0x27D4EB2Fu ^
                           unit(name.size() / 4) * 0x165667B1u;
    return (mixed * 0x9E3779B1u) >> (32 - kSlotBits);
  }

  bool SameUnits(size_t a, size_t b, size_t count) const {
    return orx::SameUnits(text_.data() + a, text_.data() + b, count);
  }

  View text_;
  Slot slots_[size_t{1} << kSlotBits];
};

}  // namespace

void Document::Impl::Parse() {
  WithText([&](auto all) { ParseText(all); });
}

template <typename Unit>
void Document::Impl::ParseText(std::basic_string_view<Unit> all) {
  // One pass finds each line's end, kind and name, and hashes the names as
  // it meets them, so the index is filled without reading any line twice.
  const Unit* const data = all.data();
  const size_t size = all.size();
  // Room for lines of sixteen units on average, so that few files make the
  // lists grow and copy themselves; pages no record reaches cost nothing.
  std::vector<uint32_t> hashes;
  hashes.reserve(size / 16 + 16);
  marks.reserve(size / 16 + 16);
  RecentNameHashes<Unit> recent(all);
  uint32_t ordinal = kNoSection;
  bool line_end_seen = false;
  for (size_t begin = 0; begin < size;) {
    size_t first = begin;
    while (first < size && IsBlank(data[first])) ++first;
    size_t end;  // where the line's end, or the text's, starts
    if (first < size && data[first] == Unit{'['}) {
      const size_t name_end = FindStopOrLineEnd(data, first + 1, size, u']');
      headers.push_back(static_cast<uint32_t>(marks.size()));
      marks.push_back(static_cast<uint32_t>(begin));
      hashes.push_back(NameHash(TrimBlanks(all.substr(first + 1, name_end - first - 1))));
      ++ordinal;
      end = FindLineEnd(data, name_end, size);
    } else if (first < size && data[first] != Unit{';'}) {
      const size_t equals = FindStopOrLineEnd(data, first, size, u'=');
      end = equals;
      if (equals < size && data[equals] == Unit{'='}) {
        marks.push_back(static_cast<uint32_t>(begin));
        const auto key = TrimBlanks(all.substr(first, equals - first));
        hashes.push_back(recent.HashOf(static_cast<size_t>(key.data() - data), key.size()));
        end = FindLineEnd(data, equals + 1, size);
      }
    } else {
      end = FindLineEnd(data, first, size);
    }
    size_t next = end;
    if (end < size) {
      next += data[end] == Unit{'\r'} && end + 1 < size && data[end + 1] == Unit{'\n'} ? 2 : 1;
    }
    // Lines this document writes end as its first line does.
    if (!line_end_seen && end < size) {
      line_end_seen = true;
      line_end = next - end == 2 ? u"\r\n" : data[end] == Unit{'\r'} ? u"\r" : u"\n";
    }
    begin = next;
  }
  // Growth by doubling can leave half the list unused.
  marks.shrink_to_fit();
  headers.shrink_to_fit();
  IndexMarks(hashes);
}

void Document::Impl::IndexMarks(std::span<const uint32_t> hashes) {
  const auto section_count = static_cast<uint32_t>(headers.size());
  size_t scanned_keys = 0;
  for (uint32_t ordinal = 0; ordinal < section_count; ++ordinal) {
    if (IsScanned(EntryCount(ordinal))) scanned_keys += EntryCount(ordinal);
  }
  key_hashes.clear();
  key_hashes.reserve(scanned_keys);
  key_hashes_start.resize(section_count);
  for (uint32_t ordinal = 0; ordinal < section_count; ++ordinal) {
    key_hashes_start[ordinal] = static_cast<uint32_t>(key_hashes.size());
    if (!IsScanned(EntryCount(ordinal))) continue;
    key_hashes.insert(key_hashes.end(), hashes.begin() + headers[ordinal] + 1,
                      hashes.begin() + EndOfSection(ordinal));
  }
  IndexLines(hashes);
}

void Document::Impl::IndexLines(std::span<const uint32_t> hashes) {
  auto hash_at = [&](uint32_t mark) { return hashes.empty() ? NameHashAt(mark) : hashes[mark]; };
  const auto section_count = static_cast<uint32_t>(headers.size());
  size_t indexed_keys = 0;
  for (uint32_t ordinal = 0; ordinal < section_count; ++ordinal) {
    if (!IsScanned(EntryCount(ordinal))) indexed_keys += EntryCount(ordinal);
  }
  sections.Reset(section_count);
  keys.Reset(indexed_keys);
  for (uint32_t ordinal = 0; ordinal < section_count; ++ordinal) {
    const uint32_t header = headers[ordinal];
    // A later section of a name already seen is never searched, so its
    // keys stay out of the index.
    const bool first_of_name = sections.InsertIfAbsent(
        hash_at(header), ordinal, [&](uint32_t other) { return IsHeaderOf(other, NameAt(header)); },
        HeaderHashes());
    if (!first_of_name || IsScanned(EntryCount(ordinal))) continue;
    for (uint32_t mark = header + 1; mark < EndOfSection(ordinal); ++mark) {
      keys.InsertIfAbsent(
          WithSection(hash_at(mark), ordinal), mark,
          [&](uint32_t other) { return IsEntryOf(other, ordinal, NameAt(mark)); }, KeyHashes());
    }
  }
  // Names repeated many times leave the tables sized for every line mostly
  // empty.
  sections.ShrinkToFit(HeaderHashes());
  keys.ShrinkToFit(KeyHashes());
}

void Document::Impl::MoveKeyHashStarts(uint32_t ordinal, uint32_t delta) {
  // Unsigned wrap-around makes one shift serve growth and shrinkage.
  for (size_t i = size_t{ordinal} + 1; i < key_hashes_start.size(); ++i) {
    key_hashes_start[i] += delta;
  }
}

void Document::Impl::ReplaceKeyHashes(uint32_t ordinal, uint32_t had) {
  const auto begin = key_hashes.begin() + key_hashes_start[ordinal];
  key_hashes.erase(begin, begin + had);
  std::vector<uint32_t> section;
  if (IsScanned(EntryCount(ordinal))) {
    for (uint32_t mark = headers[ordinal] + 1; mark < EndOfSection(ordinal); ++mark) {
      section.push_back(NameHashAt(mark));
    }
  }
  key_hashes.insert(key_hashes.begin() + key_hashes_start[ordinal], section.begin(), section.end());
  MoveKeyHashStarts(ordinal, static_cast<uint32_t>(section.size()) - had);
}

void Document::Impl::StartScanning(uint32_t ordinal) {
  ReplaceKeyHashes(ordinal, 0);
  const uint32_t* const hashes = key_hashes.data() + key_hashes_start[ordinal];
  const uint32_t first = headers[ordinal] + 1;
  for (uint32_t mark = first; mark < EndOfSection(ordinal); ++mark) {
    keys.Erase(WithSection(hashes[mark - first], ordinal), mark, KeyHashes());
  }
}

void Document::Impl::StopScanning(uint32_t ordinal) {
  const uint32_t begin = key_hashes_start[ordinal];
  const uint32_t header = headers[ordinal];
  const uint32_t end = EndOfSection(ordinal);
  // The hashes cover the entries the section had while it was scanned.
  const uint32_t scanned =
      (ordinal + 1 < key_hashes_start.size() ? key_hashes_start[ordinal + 1] : key_hashes.size()) -
      begin;
  for (uint32_t mark = header + 1; mark < end; ++mark) {
    const uint32_t i = mark - header - 1;
    const uint32_t hash = i < scanned ? key_hashes[begin + i] : NameHashAt(mark);
    keys.InsertIfAbsent(
        WithSection(hash, ordinal), mark,
        [&](uint32_t other) { return IsEntryOf(other, ordinal, NameAt(mark)); }, KeyHashes());
  }
  key_hashes.erase(key_hashes.begin() + begin, key_hashes.begin() + begin + scanned);
  MoveKeyHashStarts(ordinal, 0u - scanned);
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

Document Document::FromOwnedBytes(std::string bytes, const EncodingRules& rules) {
  const std::optional<AsciiLayout> ascii = AsciiLayoutOf(bytes, rules);
  if (!ascii) return FromBytes(bytes, rules);
  Document document(rules);
  Impl& impl = *document.impl_;
  bytes.erase(0, ascii->bom_size);
  impl.ascii = std::move(bytes);
  impl.ascii_form = true;
  impl.encoding = ascii->encoding;
  impl.FinishRead();
  return document;
}

Document Document::FromBytes(std::string_view bytes, const EncodingRules& rules) {
  Document document(rules);
  Impl& impl = *document.impl_;
  if (const std::optional<AsciiLayout> ascii = AsciiLayoutOf(bytes, rules)) {
    impl.ascii.assign(bytes.substr(ascii->bom_size));
    impl.ascii_form = true;
    impl.encoding = ascii->encoding;
    impl.FinishRead();
    return document;
  }
  DecodedText decoded = Decode(bytes, rules);
  impl.text = std::move(decoded.text);
  impl.encoding = decoded.encoding;
  const bool utf16 = impl.encoding == Encoding::kUtf16Le || impl.encoding == Encoding::kUtf16Be;
  if (utf16 && bytes.size() % 2 == 1) impl.stray_byte = static_cast<unsigned char>(bytes.back());
  impl.FinishRead();
  return document;
}

void Document::Impl::FinishRead() {
  if (TextSize() > kMaxTextUnits) {
    too_large = true;
    return;
  }
  Parse();
}

std::string Document::ToBytes() const {
  if (impl_->ascii_form) {
    // ASCII is the same bytes in every encoding such text is kept for.
    std::string bytes = impl_->encoding == Encoding::kUtf8Bom ? "\xEF\xBB\xBF" : "";
    return bytes.append(impl_->ascii);
  }
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
         impl.ascii.capacity() +
         (impl.marks.capacity() + impl.headers.capacity() + impl.key_hashes.capacity() +
          impl.key_hashes_start.capacity()) *
             sizeof(uint32_t) +
         impl.sections.MemoryUsage() + impl.keys.MemoryUsage();
}

bool Document::changed() const { return impl_->changed; }

std::optional<TextView> Document::FindValue(std::u16string_view section,
                                            std::u16string_view key) const {
  const Impl& impl = *impl_;
  const uint32_t ordinal = impl.FindHeader(TrimBlanks(section));
  if (ordinal == kNoLine) return std::nullopt;
  const uint32_t entry = impl.FindEntry(ordinal, TrimBlanks(key));
  if (entry == kNoLine) return std::nullopt;
  return impl.WithText(
      [&](auto all) { return ReadForm(AsTextView(EntryValue(all, impl.marks[entry]))); });
}

bool Document::VisitEntries(std::u16string_view section,
                            bool (*thunk)(void* context, const SectionEntry& entry),
                            void* context) const {
  const Impl& impl = *impl_;
  const uint32_t ordinal = impl.FindHeader(TrimBlanks(section));
  if (ordinal == kNoLine) return false;
  const size_t stop = impl.SectionTextEnd(ordinal);
  for (size_t begin = impl.AfterHeader(ordinal); begin < stop;) {
    Line line;
    begin = impl.WithText([&](auto all) { return ReadLine(all, begin, line); });
    if (!line.IsEntry()) continue;
    const SectionEntry entry{impl.Part(line, line.name_offset, line.name_length),
                             impl.Part(line, line.value_offset, line.value_length),
                             line.kind == LineKind::kEntry};
    if (!thunk(context, entry)) break;
  }
  return true;
}

namespace {

template <typename Unit>
std::basic_string_view<Unit> ReadFormOf(std::basic_string_view<Unit> raw) {
  std::basic_string_view<Unit> value = TrimBlanks(raw);
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == Unit{'"'} || value.front() == Unit{'\''})) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::u16string_view ReadForm(std::u16string_view raw) { return ReadFormOf(raw); }

TextView ReadForm(TextView raw) {
  return raw.Visit([](auto units) { return AsTextView(ReadFormOf(units)); });
}

}  // namespace orx::platform::ini
