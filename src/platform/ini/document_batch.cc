// Many key edits on one section in one pass. The section's lines are copied
// into a linked list of views, the edits run on that list with the rules of
// the single edits, and the section's new text goes into the document in one
// splice. One edit at a time would splice the whole text and move every later
// record for each edit, which made thousands of edits on a large file slow.
#include <cassert>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ini/case_fold.h"
#include "platform/ini/document.h"
#include "platform/ini/document_impl.h"
#include "platform/ini/name_hash.h"

namespace orx::platform::ini {
namespace {

struct NameHasher {
  size_t operator()(std::u16string_view name) const { return NameHash(name); }
};
struct NameEquals {
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    return EqualsIgnoreCase(a, b);
  }
};

// The working copy of one section. Node 0 is the header; removed nodes are
// unlinked. Views point into the document's text, which stays untouched
// until the end, or into `owned_`, whose strings never move.
class SectionCopy {
 public:
  // The lines of `text`, a section from its header on; `at_file_end` when
  // its last line is the file's last line.
  SectionCopy(std::u16string_view text, std::u16string_view line_end, bool at_file_end)
      : line_end_(line_end), at_file_end_(at_file_end) {
    std::vector<Line> lines;
    SplitLines(text, lines);
    const uint32_t first = 0;
    const uint32_t end = static_cast<uint32_t>(lines.size());
    nodes_.reserve(end - first);
    for (uint32_t i = first; i < end; ++i) {
      const Line& line = lines[i];
      Node node;
      node.content = text.substr(line.begin, line.length);
      node.end = text.substr(line.begin + size_t{line.length}, line.line_end);
      node.line = line;
      Append(node);
      if (line.kind == LineKind::kEntry) firsts_[Name(nodes_.back())].nodes.push_back(i - first);
      if (line.IsEntry()) last_entry_ = i - first;
    }
  }

  void Set(std::u16string_view key, std::u16string_view value) {
    const std::u16string stored = StoredForm(value);
    Duplicates* duplicates = Find(key);
    if (duplicates != nullptr && duplicates->head < duplicates->nodes.size()) {
      Node& node = nodes_[duplicates->nodes[duplicates->head]];
      if (RawValue(node) == stored) return;
      // The key keeps its spelling in the file, the line its line end.
      SetContent(node, EntryLine(Name(node), stored));
      changed_ = true;
      return;
    }
    // After the section's last entry, before comments and blank lines that
    // trail it; a file's last line gets a line end before a line follows it.
    const uint32_t after = last_entry_;
    if (at_file_end_ && after == tail_ && nodes_[after].end.empty()) nodes_[after].end = line_end_;
    Node node;
    node.end = line_end_;
    node.prev = after;
    node.next = nodes_[after].next;
    const uint32_t id = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(node);
    SetContent(nodes_[id], EntryLine(key, stored));
    if (nodes_[id].next != kNoLine) nodes_[nodes_[id].next].prev = id;
    nodes_[after].next = id;
    if (after == tail_) tail_ = id;
    last_entry_ = id;
    if (duplicates == nullptr) duplicates = &firsts_[Name(nodes_[id])];
    duplicates->nodes.push_back(id);
    changed_ = true;
  }

  void Delete(std::u16string_view key) {
    Duplicates* duplicates = Find(key);
    if (duplicates == nullptr || duplicates->head == duplicates->nodes.size()) return;
    // Later keys of a name come after earlier ones, so the next one of the
    // list is the first of its name now.
    const uint32_t id = duplicates->nodes[duplicates->head++];
    const Node& node = nodes_[id];
    nodes_[node.prev].next = node.next;
    if (node.next != kNoLine) nodes_[node.next].prev = node.prev;
    if (id == tail_) tail_ = node.prev;
    if (id == last_entry_) {
      uint32_t previous = node.prev;
      while (previous != 0 && !nodes_[previous].line.IsEntry()) previous = nodes_[previous].prev;
      last_entry_ = previous;
    }
    changed_ = true;
  }

  // True once an edit changed the text, even if a later one changed it back.
  bool changed() const { return changed_; }

  std::u16string Text() const {
    std::u16string text;
    for (uint32_t id = 0; id != kNoLine; id = nodes_[id].next) {
      text += nodes_[id].content;
      text += nodes_[id].end;
    }
    return text;
  }

 private:
  struct Node {
    std::u16string_view content;  // without the line end
    std::u16string_view end;
    Line line;  // kind, name and value of `content`; offsets relative to it
    uint32_t prev = kNoLine;
    uint32_t next = kNoLine;
  };
  // The entry lines of one name in file order; those before `head` are gone.
  struct Duplicates {
    std::vector<uint32_t> nodes;
    size_t head = 0;
  };

  static std::u16string_view Name(const Node& node) {
    return node.content.substr(node.line.name_offset, node.line.name_length);
  }
  static std::u16string_view RawValue(const Node& node) {
    return node.content.substr(node.line.value_offset, node.line.value_length);
  }

  void Append(Node node) {
    const uint32_t id = static_cast<uint32_t>(nodes_.size());
    if (id > 0) {
      node.prev = tail_;
      nodes_[tail_].next = id;
    }
    nodes_.push_back(node);
    tail_ = id;
  }

  void SetContent(Node& node, std::u16string content) {
    owned_.push_back(std::move(content));
    node.content = owned_.back();
    ClassifyLine(node.content, node.line);
  }

  Duplicates* Find(std::u16string_view key) {
    const auto found = firsts_.find(key);
    return found == firsts_.end() ? nullptr : &found->second;
  }

  std::vector<Node> nodes_;
  std::deque<std::u16string> owned_;
  std::unordered_map<std::u16string_view, Duplicates, NameHasher, NameEquals> firsts_;
  std::u16string_view line_end_;
  bool at_file_end_;
  uint32_t tail_ = 0;
  uint32_t last_entry_ = 0;  // the header while the section has no entry
  bool changed_ = false;
};

// Whether an edit of these lines could leave a bare CR right before a LF,
// which a reader takes for one CRLF: the lines and the document's line end
// hold both a bare CR and a bare LF. Edits of such mixed sections go one by
// one, each seeing the lines as the text has them.
bool MayJoinLineEnds(std::u16string_view lines, std::u16string_view line_end) {
  bool bare_cr = line_end == u"\r";
  bool bare_lf = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == u'\r' && (i + 1 == lines.size() || lines[i + 1] != u'\n')) bare_cr = true;
    if (lines[i] == u'\n' && (i == 0 || lines[i - 1] != u'\r')) bare_lf = true;
  }
  return bare_cr && bare_lf;
}

}  // namespace

void Document::Impl::ReplaceSectionLines(uint32_t ordinal, std::u16string_view content) {
  const uint32_t first = headers[ordinal];
  const uint32_t end = EndOfSection(ordinal);
  const uint32_t had = IsScanned(EntryCount(ordinal)) ? EntryCount(ordinal) : 0;
  const size_t begin = marks[first];
  const size_t stop = SectionTextEnd(ordinal);
  text.replace(begin, stop - begin, content);
  // Edits make no headers: the section's first line is its only one.
  std::vector<uint32_t> section;
  for (size_t at = 0; at < content.size();) {
    Line line;
    const size_t next = ReadLine(content, at, line);
    if (line.kind == LineKind::kHeader || line.kind == LineKind::kEntry) {
      section.push_back(static_cast<uint32_t>(begin + at));
    }
    at = next;
  }
  MoveMarksFrom(end, stop - begin, content.size());
  marks.erase(marks.begin() + first, marks.begin() + end);
  marks.insert(marks.begin() + first, section.begin(), section.end());
  // Unsigned wrap-around makes one shift serve growth and shrinkage.
  const uint32_t shift = static_cast<uint32_t>(section.size()) - (end - first);
  for (size_t i = ordinal + 1; i < headers.size(); ++i) headers[i] += shift;
  changed = true;
  ReplaceKeyHashes(ordinal, had);
  IndexLines();
}

Status Document::ApplyToSection(std::u16string_view section, std::span<const KeyEdit> edits) {
  Impl& impl = *impl_;
  section = TrimBlanks(section);
  // Room for every value set, as each single edit would ask for its own.
  size_t growth = 0;
  for (const KeyEdit& edit : edits) {
    const std::u16string_view key = TrimBlanks(edit.key);
    if (const Status status = CheckEdit(section, key, edit.value); status != Status::kOk) {
      return status;
    }
    if (edit.value) growth += SetGrowth(section, key, *edit.value);
    if (!impl.HasRoomFor(growth)) return Status::kNotEnoughMemory;
  }
  const uint32_t ordinal = impl.FindHeader(section);
  // The batch reads the section's UTF-16 lines: its text is widened first,
  // while single edits keep ASCII text as it is.
  if (ordinal != kNoLine) impl.Widen();
  const std::u16string_view lines =
      ordinal == kNoLine ? std::u16string_view()
                         : std::u16string_view(impl.text).substr(
                               impl.marks[impl.headers[ordinal]],
                               impl.SectionTextEnd(ordinal) - impl.marks[impl.headers[ordinal]]);
  // A Windows-1252 document may have to move to UTF-8 after any one edit,
  // even when a later edit would make that unnecessary again; only the single
  // edits see each state in between. So do sections whose line ends may
  // join. A missing section is created by the first value set, after which
  // the rest can go as a batch.
  const bool joining = MayJoinLineEnds(lines, impl.line_end);
  if (impl.encoding == Encoding::kWindows1252 || ordinal == kNoLine || joining) {
    for (size_t i = 0; i < edits.size(); ++i) {
      const KeyEdit& edit = edits[i];
      IgnoreStatus(edit.value ? SetValue(section, edit.key, *edit.value)
                              : DeleteKey(section, edit.key));
      // Checked above: only a failure to allocate is left, and that throws.
      if (!joining && impl.encoding != Encoding::kWindows1252 &&
          impl.FindHeader(section) != kNoLine) {
        return ApplyToSection(section, edits.subspan(i + 1));
      }
    }
    return Status::kOk;
  }
  SectionCopy copy(lines, impl.line_end,
                   lines.data() + lines.size() == impl.text.data() + impl.text.size());
  for (const KeyEdit& edit : edits) {
    const std::u16string_view key = TrimBlanks(edit.key);
    if (edit.value) {
      copy.Set(key, *edit.value);
    } else {
      copy.Delete(key);
    }
  }
  if (!copy.changed()) return Status::kOk;
  impl.ReplaceSectionLines(ordinal, copy.Text());
  impl.KeepEncodingFaithful();
  return Status::kOk;
}

}  // namespace orx::platform::ini
