// New GUIDs for task ids, in the registry text form: an opening brace, 8, 4,
// 4, 4 and 12 upper-case hexadecimal digits separated by hyphens, and a
// closing brace, 38 characters in all. The GUIDs are random (version 4,
// variant 10xx), drawn from the system's random source.
#ifndef ORX_PLATFORM_GUID_H_
#define ORX_PLATFORM_GUID_H_

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/result.h"

namespace orx::platform {

inline constexpr size_t kGuidTextLength = 38;

// The registry text and its terminator.
using GuidText = std::array<char16_t, kGuidTextLength + 1>;

class GuidGenerator {
 public:
  virtual ~GuidGenerator() = default;

  // A fresh random GUID's registry text, zero-terminated. When the random
  // source fails, returns its error instead and no GUID: 50 when the system
  // has no such source, 5 when the process may not use it, 31 for any other
  // failure. Thread-safe.
  virtual Result<GuidText> NewGuid() = 0;
};

// The process-wide generator over the system's random source. Never
// destroyed.
GuidGenerator& DefaultGuidGenerator();

// The registry text of the version-4 GUID made from 16 random bytes: the
// version and variant bits are set over what `random` holds there, all the
// other bits are taken as they are.
GuidText FormatVersion4Guid(const std::array<uint8_t, 16>& random);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_GUID_H_
