// Text crossing the C interface. orxChar is one UTF-16 code unit: char16_t
// on Linux, wchar_t on Windows (where wchar_t is 16 bits). Inside, the
// library works on char16_t only. These overloads accept orxChar pointers
// and nothing else, so a pointer of a wrong type is a compile error rather
// than a silent reinterpretation.
#ifndef ORX_FRAME_ABI_TEXT_H_
#define ORX_FRAME_ABI_TEXT_H_

#include <type_traits>

#include "orxProperty.h"

namespace orx::frame {

static_assert(sizeof(orxChar) == sizeof(char16_t) && alignof(orxChar) == alignof(char16_t),
              "orxChar must be one UTF-16 code unit");
static_assert(std::is_unsigned_v<orxChar> == std::is_unsigned_v<char16_t>,
              "orxChar must be unsigned like char16_t");

inline const char16_t* Internal(const orxChar* text) noexcept {
#if defined(_WIN32)
  return reinterpret_cast<const char16_t*>(text);
#else
  return text;
#endif
}

inline char16_t* Internal(orxChar* text) noexcept {
#if defined(_WIN32)
  return reinterpret_cast<char16_t*>(text);
#else
  return text;
#endif
}

}  // namespace orx::frame

#endif  // ORX_FRAME_ABI_TEXT_H_
