// Provider names become file names ("<name>.ini" in the data folder), so a
// name that could leave the folder or name no plain file is refused.
#ifndef ORX_ACCESS_PROVIDER_NAME_H_
#define ORX_ACCESS_PROVIDER_NAME_H_

namespace orx::access {

// False for an empty name, "." and "..", and a name holding '/', '\\', ':',
// a control character (U+0000..U+001F, U+007F) or a lone surrogate.
bool IsSafeProviderName(const char16_t* name);

}  // namespace orx::access

#endif  // ORX_ACCESS_PROVIDER_NAME_H_
