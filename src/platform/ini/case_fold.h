// The one rule by which section and key names are compared without regard to
// case: the simple Unicode upper-case mapping of each UTF-16 code unit.
#ifndef ORX_PLATFORM_INI_CASE_FOLD_H_
#define ORX_PLATFORM_INI_CASE_FOLD_H_

#include <string_view>

namespace orx::platform::ini {

char16_t FoldCase(char16_t unit);

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace orx::platform::ini

#endif  // ORX_PLATFORM_INI_CASE_FOLD_H_
