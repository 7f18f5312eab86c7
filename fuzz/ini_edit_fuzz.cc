// Edits on arbitrary files. The input holds a few edits, then the file.
// After each edit the document is serialised and parsed again, and:
//   - a refused edit changed nothing;
//   - the edit is visible: a set value reads back exactly, a deleted key
//     has one occurrence fewer, a deleted section one header fewer (headers
//     are counted by a separate, plain reading of the text);
//   - every other probed key reads as before the edit;
//   - the edited document answers as the fresh parse does.
// Then the key edits, all on the first edit's section, go once one by one
// and once as a batch: same status for the first refusal, and on success
// the same bytes, "changed" answer and lookups; a refused batch changes
// nothing.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/encoding.h"
#include "platform/ini/line.h"

namespace orx::platform::ini {
namespace {

using namespace std::string_view_literals;

void Require(bool condition) {
  if (!condition) std::abort();
}

const std::array<std::u16string_view, 26> kNames = {
    u""sv,     u"S"sv,        u"s"sv,    u" S "sv,  u"\tS\v"sv, u"\u00C4"sv, u"\u00E4"sv,
    u"\u03A3", u"\u03C2",     u"k",      u"K",      u"a b",     u"'q'",      u"\"q\"",
    u" v ",    u";c",         u"[x",     u"a]b",    u"a=b",     u"x\r\ny",   u"\n",
    u"\xD800", u"\U0001F600", u"\u2764", u"\u20AC", u"#h",
};

enum Kind { kSet, kDeleteKey, kDeleteSection };

struct Op {
  Kind kind;
  std::u16string section, key, value;
};

// Two bytes pick a name: from the list above, or a piece of the file's text,
// which is how names that are really in the file get tried.
std::u16string PickName(uint8_t a, uint8_t b, std::u16string_view text) {
  if (a < 0x80 || text.empty()) return std::u16string(kNames[(a ^ b) % kNames.size()]);
  const size_t start = (size_t{b} * 131 + a) % text.size();
  return std::u16string(text.substr(start, a & 0x0F));
}

// Headers named `name`, found by a reading of the text that shares nothing
// with the document but the case rule: '[' as first non-blank, name to the
// first ']'.
size_t CountHeaders(std::u16string_view text, std::u16string_view name) {
  size_t count = 0;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find_first_of(u"\r\n", begin);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = text.substr(begin, end - begin);
    while (!line.empty() && (line[0] == u' ' || line[0] == u'\t' || line[0] == u'\v')) {
      line.remove_prefix(1);
    }
    if (!line.empty() && line[0] == u'[') {
      count += EqualsIgnoreCase(TrimBlanks(line.substr(1, line.find(u']') - 1)), name);
    }
    if (end == text.size()) break;
    begin = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
  }
  return count;
}

size_t CountKeys(const Document& document, std::u16string_view section, std::u16string_view key) {
  size_t count = 0;
  document.ForEachEntry(section, [&](const SectionEntry& entry) {
    count += entry.has_equals && EqualsIgnoreCase(entry.key, TrimBlanks(key));
    return true;
  });
  return count;
}

std::u16string Entries(const Document& document, std::u16string_view section) {
  std::u16string listed;
  document.ForEachEntry(section, [&](const SectionEntry& entry) {
    entry.key.AppendTo(listed);
    listed += entry.has_equals ? u'=' : u'|';
    entry.raw_value.AppendTo(listed);
    listed += u'\n';
    return true;
  });
  return listed;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return EqualsIgnoreCase(TrimBlanks(a), TrimBlanks(b));
}

void CheckEdit(const Op& op, const Document& before, Document& document) {
  Status status = Status::kOk;
  switch (op.kind) {
    case kSet:
      status = document.SetValue(op.section, op.key, op.value);
      break;
    case kDeleteKey:
      status = document.DeleteKey(op.section, op.key);
      break;
    case kDeleteSection:
      status = document.DeleteSection(op.section);
      break;
  }
  if (status != Status::kOk) {
    Require(document.ToBytes() == before.ToBytes() && document.changed() == before.changed());
    return;
  }
  const std::string bytes = document.ToBytes();
  const Document reparsed = Document::FromBytes(bytes);
  const std::u16string text = Decode(bytes).text;
  switch (op.kind) {
    case kSet:
      Require(reparsed.FindValue(op.section, op.key) == std::u16string_view(op.value));
      break;
    case kDeleteKey: {
      const size_t had = CountKeys(before, op.section, op.key);
      Require(CountKeys(reparsed, op.section, op.key) == (had > 0 ? had - 1 : 0));
      break;
    }
    case kDeleteSection: {
      const size_t had = CountHeaders(Decode(before.ToBytes()).text, TrimBlanks(op.section));
      Require(CountHeaders(text, TrimBlanks(op.section)) == (had > 0 ? had - 1 : 0));
      break;
    }
  }

  // Probes: every name the edits use, and every key the probed sections
  // list before the edit.
  std::vector<std::u16string> sections = {u"", u"S", op.section};
  std::vector<std::u16string> keys = {op.key, u"k"};
  for (const std::u16string& section : sections) {
    before.ForEachEntry(section, [&](const SectionEntry& entry) {
      keys.push_back(entry.key.ToU16());
      return keys.size() < 64;
    });
  }
  for (const std::u16string& section : sections) {
    Require(Entries(document, section) == Entries(reparsed, section));
    for (const std::u16string& key : keys) {
      const auto value = reparsed.FindValue(section, key);
      Require(document.FindValue(section, key) == value);
      const bool touched =
          SameName(section, op.section) && (op.kind == kDeleteSection || SameName(key, op.key));
      if (!touched) Require(before.FindValue(section, key) == value);
    }
  }
}

void CheckBatch(std::string_view file, const std::vector<Op>& ops) {
  if (ops.empty()) return;
  const std::u16string& section = ops.front().section;
  std::vector<KeyEdit> edits;
  Document single = Document::FromBytes(file);
  Status first_refusal = Status::kOk;
  for (const Op& op : ops) {
    if (op.kind == kDeleteSection) continue;
    edits.push_back(
        {op.key, op.kind == kSet ? std::optional<std::u16string_view>(op.value) : std::nullopt});
    const Status status = op.kind == kSet ? single.SetValue(section, op.key, op.value)
                                          : single.DeleteKey(section, op.key);
    if (status != Status::kOk) {
      first_refusal = status;
      break;
    }
  }
  const Document original = Document::FromBytes(file);
  Document batch = original;
  Require(batch.ApplyToSection(section, edits) == first_refusal);
  const Document& expected = first_refusal == Status::kOk ? single : original;
  Require(batch.ToBytes() == expected.ToBytes() && batch.changed() == expected.changed());
  std::vector<std::u16string> keys = {u"k"};
  for (const Op& op : ops) keys.push_back(op.key);
  for (const std::u16string& probe : {section, std::u16string(u"S")}) {
    Require(Entries(batch, probe) == Entries(expected, probe));
    for (const std::u16string& key : keys) {
      Require(batch.FindValue(probe, key) == expected.FindValue(probe, key));
    }
  }
}

}  // namespace
}  // namespace orx::platform::ini

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orx::platform::ini;
  constexpr size_t kOpBytes = 7;
  if (size < 1) return 0;
  const size_t op_count = std::min<size_t>(data[0] % 6 + 1, (size - 1) / kOpBytes);
  const uint8_t* ops = data + 1;
  const size_t file_offset = 1 + op_count * kOpBytes;
  const std::string_view file(reinterpret_cast<const char*>(data) + file_offset,
                              size - file_offset);
  const std::u16string text = Decode(file).text;
  Document document = Document::FromBytes(file);
  std::vector<Op> all_ops;
  for (size_t i = 0; i < op_count; ++i) {
    const uint8_t* op_bytes = ops + i * kOpBytes;
    const Op op{static_cast<Kind>(op_bytes[0] % 3), PickName(op_bytes[1], op_bytes[2], text),
                PickName(op_bytes[3], op_bytes[4], text), PickName(op_bytes[5], op_bytes[6], text)};
    const Document before = document;
    CheckEdit(op, before, document);
    all_ops.push_back(op);
  }
  CheckBatch(file, all_ops);
  return 0;
}
