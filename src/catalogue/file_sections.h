// The sections the catalogue places in one settings file, gathered from the
// class tables themselves, so a section added to a table is known here
// without a second list.
#ifndef ORX_CATALOGUE_FILE_SECTIONS_H_
#define ORX_CATALOGUE_FILE_SECTIONS_H_

#include <string_view>
#include <vector>

namespace orx::catalogue {

// Every distinct section name of the rows whose file is `file` (compared
// exactly), over all eleven tables, in table order; placeholders such as the
// task rows' section count as names.
std::vector<std::u16string_view> SectionsOfFile(std::u16string_view file);

}  // namespace orx::catalogue

#endif  // ORX_CATALOGUE_FILE_SECTIONS_H_
