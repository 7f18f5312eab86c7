// Formatting of random bytes as a version-4 GUID's registry text. Pure; the
// bytes come from the platform's generator (posix/guid_posix.cc).
#include "platform/guid.h"

namespace orx::platform {

GuidText FormatVersion4Guid(const std::array<uint8_t, 16>& random) {
  std::array<uint8_t, 16> bytes = random;
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 10xx
  constexpr char16_t kHex[] = u"0123456789ABCDEF";
  GuidText text{};
  size_t out = 0;
  text[out++] = u'{';
  for (size_t i = 0; i < bytes.size(); ++i) {
    // Hyphens close the groups of 4, 2, 2 and 2 bytes.
    if (i == 4 || i == 6 || i == 8 || i == 10) text[out++] = u'-';
    text[out++] = kHex[bytes[i] >> 4];
    text[out++] = kHex[bytes[i] & 0x0F];
  }
  text[out++] = u'}';
  text[out] = u'\0';
  return text;
}

}  // namespace orx::platform
