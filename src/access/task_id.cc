// The reserved names are gathered from the catalogue once and matched by the
// engine's own lookup, so a spelling the engine would fold or trim onto a
// reserved section ("SCANNER", "Scanner ", a long s for the s) is caught.
#include "access/task_id.h"

#include <vector>

#include "catalogue/file_sections.h"
#include "catalogue/property_names.h"
#include "frame/names.h"

namespace orx::access {
namespace {

// Never destroyed, so exports running while the process exits still find it.
const frame::SectionNameSet& LibrarySections() {
  static const auto* sections = [] {
    const std::vector<std::u16string_view> names = catalogue::SectionsOfFile(catalogue::kMainFile);
    return new frame::SectionNameSet(names);
  }();
  return *sections;
}

}  // namespace

bool NamesLibrarySection(std::u16string_view task) { return LibrarySections().Contains(task); }

Status CheckNewTaskId(const char16_t* task) {
  if (task == nullptr || NamesLibrarySection(task)) return Status::kInvalidParameter;
  return frame::CheckSectionName(task);
}

}  // namespace orx::access
