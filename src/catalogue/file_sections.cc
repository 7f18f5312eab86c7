#include "catalogue/file_sections.h"

#include <algorithm>

#include "catalogue/property_id.h"

namespace orx::catalogue {

std::vector<std::u16string_view> SectionsOfFile(std::u16string_view file) {
  std::vector<std::u16string_view> sections;
  for (const PropertyClassInfo& info : PropertyClasses()) {
    for (const PropertyEntry* row = info.table; row->file != nullptr; ++row) {
      if (row->file != file) continue;
      if (std::find(sections.begin(), sections.end(), row->section) == sections.end()) {
        sections.emplace_back(row->section);
      }
    }
  }
  return sections;
}

}  // namespace orx::catalogue
