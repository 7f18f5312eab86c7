// A section's entries as one comparable text, "key=raw|" per entry, for
// tests that compare two documents' sections; and whether a section exists.
#ifndef ORX_TESTS_PLATFORM_INI_ENTRIES_H_
#define ORX_TESTS_PLATFORM_INI_ENTRIES_H_

#include <string>
#include <string_view>

#include "platform/ini/document.h"

namespace orx::platform::ini {

inline std::u16string Entries(const Document& document, std::u16string_view section) {
  std::u16string listed;
  document.ForEachEntry(section, [&](const SectionEntry& entry) {
    entry.key.AppendTo(listed);
    listed += u'=';
    entry.raw_value.AppendTo(listed);
    listed += u'|';
    return true;
  });
  return listed;
}

// Whether a section of that name is there, as a section read sees it.
inline bool HasSection(const Document& document, std::u16string_view section) {
  return document.ForEachEntry(section, [](const SectionEntry&) { return false; });
}

}  // namespace orx::platform::ini

#endif  // ORX_TESTS_PLATFORM_INI_ENTRIES_H_
