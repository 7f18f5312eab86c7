// Names as the profile engine sees them. Comparison without regard to letter
// case uses the engine's own folding; the task registry uses it to tell
// whether a task id is listed already, so that an id counts as listed
// exactly when a section lookup under it would find the task. Section-name
// questions (may this name be written, does it name one of these sections)
// are answered by the engine's own document, so trimming and folding are
// the engine's by construction.
#ifndef ORX_FRAME_NAMES_H_
#define ORX_FRAME_NAMES_H_

#include <memory>
#include <span>
#include <string_view>

#include "base/status.h"
#include "platform/ini/text_view.h"

namespace orx::platform::ini {
class Document;
}

namespace orx::frame {

// True when `a` and `b` have the same length and each pair of UTF-16 units
// folds to the same unit.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// The same for text a document handed out, in either of its forms.
bool EqualsIgnoreCaseText(platform::ini::TextView a, platform::ini::TextView b);
template <typename A, typename B>
requires platform::ini::HasTextView<A, B>
bool EqualsIgnoreCase(const A& a, const B& b) {
  return EqualsIgnoreCaseText(platform::ini::TextView(a), platform::ini::TextView(b));
}

// kOk when a section can be written under `name`; otherwise the status an
// edit of that section returns (kInvalidParameter for a line break or ']',
// kNoUnicodeTranslation for a lone surrogate).
Status CheckSectionName(std::u16string_view name);

// A fixed set of section names, asked whether a name given to the engine
// would reach one of them (blanks trimmed, letter case ignored).
class SectionNameSet {
 public:
  explicit SectionNameSet(std::span<const std::u16string_view> names);
  ~SectionNameSet();
  SectionNameSet(const SectionNameSet&) = delete;
  SectionNameSet& operator=(const SectionNameSet&) = delete;

  bool Contains(std::u16string_view name) const;

 private:
  std::unique_ptr<platform::ini::Document> sections_;
};

}  // namespace orx::frame

#endif  // ORX_FRAME_NAMES_H_
