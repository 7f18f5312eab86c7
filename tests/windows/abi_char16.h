// Test-only: the shared suites call the exports with char16_t text, as
// orxChar is on Linux. On Windows orxChar is wchar_t, the same UTF-16 unit
// under another type, so this header (force-included into the Windows test
// program) routes each export taking text through Call, which passes
// char16_t pointers on as orxChar and everything else as it is. The
// namespace stays outside orx::, where the suites' own "testing::" would
// otherwise find it.
#ifndef ORX_TESTS_WINDOWS_ABI_CHAR16_H_
#define ORX_TESTS_WINDOWS_ABI_CHAR16_H_

#include <cstddef>

#include "orxProperty.h"

namespace orx_windows_abi {

template <typename T>
T Units(T value) {
  return value;
}
inline const orxChar* Units(const char16_t* text) { return reinterpret_cast<const orxChar*>(text); }
inline orxChar* Units(char16_t* text) { return reinterpret_cast<orxChar*>(text); }

template <typename Function, typename... Args>
int32_t Call(Function* function, Args... args) {
  return function(Units(args)...);
}

}  // namespace orx_windows_abi

// The parenthesised name is the export itself: a function-like macro does
// not expand there.
#define ORX_CHAR16_CALL(name, ...) ::orx_windows_abi::Call(&(name), __VA_ARGS__)
#define orxGetProperty(...) ORX_CHAR16_CALL(orxGetProperty, __VA_ARGS__)
#define orxGetTaskProperty(...) ORX_CHAR16_CALL(orxGetTaskProperty, __VA_ARGS__)
#define orxGetTaskPropertyInt(...) ORX_CHAR16_CALL(orxGetTaskPropertyInt, __VA_ARGS__)
#define orxGetProviderProperty(...) ORX_CHAR16_CALL(orxGetProviderProperty, __VA_ARGS__)
#define orxGetProviderPropertyInt(...) ORX_CHAR16_CALL(orxGetProviderPropertyInt, __VA_ARGS__)
#define orxSetProperty(...) ORX_CHAR16_CALL(orxSetProperty, __VA_ARGS__)
#define orxSetTaskProperty(...) ORX_CHAR16_CALL(orxSetTaskProperty, __VA_ARGS__)
#define orxSetTaskPropertyInt(...) ORX_CHAR16_CALL(orxSetTaskPropertyInt, __VA_ARGS__)
#define orxSetProviderProperty(...) ORX_CHAR16_CALL(orxSetProviderProperty, __VA_ARGS__)
#define orxSetProviderPropertyInt(...) ORX_CHAR16_CALL(orxSetProviderPropertyInt, __VA_ARGS__)
#define orxCreateTask(...) ORX_CHAR16_CALL(orxCreateTask, __VA_ARGS__)
#define orxDeleteTask(...) ORX_CHAR16_CALL(orxDeleteTask, __VA_ARGS__)
#define orxDeleteTaskDefinition(...) ORX_CHAR16_CALL(orxDeleteTaskDefinition, __VA_ARGS__)
#define orxFindTaskByName(...) ORX_CHAR16_CALL(orxFindTaskByName, __VA_ARGS__)
#define orxGetFirstTask(...) ORX_CHAR16_CALL(orxGetFirstTask, __VA_ARGS__)
#define orxCopyTaskDefinition(...) ORX_CHAR16_CALL(orxCopyTaskDefinition, __VA_ARGS__)

#endif  // ORX_TESTS_WINDOWS_ABI_CHAR16_H_
