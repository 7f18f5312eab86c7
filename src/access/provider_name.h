// Provider names become file names ("<name>.ini" in the data folder), so a
// name that could leave the folder or name no plain file is refused. The
// rule is the stricter of the two platforms' rules on every platform, so a
// data folder can move between them without a file one side cannot name.
#ifndef ORX_ACCESS_PROVIDER_NAME_H_
#define ORX_ACCESS_PROVIDER_NAME_H_

#include <string_view>

namespace orx::access {

// False for an empty name, "." and ".."; a name holding a control character
// (U+0000..U+001F, U+007F..U+009F), a lone surrogate, '/', '\\' or one of
// < > : " | ? *; a name ending in a dot or a space; and a name whose part
// before its first dot is a device name (CON, PRN, AUX, NUL, COM1..COM9,
// LPT1..LPT9, in any letter case).
bool IsSafeProviderName(const char16_t* name);
bool IsSafeProviderName(std::u16string_view name);

}  // namespace orx::access

#endif  // ORX_ACCESS_PROVIDER_NAME_H_
