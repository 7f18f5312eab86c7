// Shortening is by a 64-bit FNV-1a hash of the full name. It needs no key:
// it only keeps the names of different settings files apart, and a crafted
// collision would at worst make two files share one lock file.
#include "platform/posix/companion_names.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace orx::platform {
namespace {

constexpr size_t kNameMax = NAME_MAX;
constexpr std::string_view kLockSuffix = ".lock";
constexpr std::string_view kPlainMarker = ".tmp-";
constexpr std::string_view kHashedMarker = ".tmp~";
// "~" and 16 hex digits.
constexpr size_t kHashTagLength = 17;

uint64_t HashOf(std::string_view name) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : name) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// `name` cut to fit `room` bytes together with the hash tag. The cut backs
// off to the start of a UTF-8 sequence so the result stays valid text.
std::string Shortened(std::string_view name, size_t room) {
  size_t cut = room - kHashTagLength;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  char tag[kHashTagLength + 1];
  std::snprintf(tag, sizeof tag, "~%016llx", static_cast<unsigned long long>(HashOf(name)));
  std::string shortened(name.substr(0, cut));
  shortened += tag;
  return shortened;
}

}  // namespace

std::string_view NameOf(std::string_view path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string LockFileName(std::string_view name) {
  const size_t room = kNameMax - kLockSuffix.size();
  std::string lock = name.size() <= room ? std::string(name) : Shortened(name, room);
  lock += kLockSuffix;
  return lock;
}

std::string TemporaryPrefix(std::string_view name) {
  const size_t room = kNameMax - 1 - kPlainMarker.size() - kLongestTemporarySuffix;
  std::string prefix = ".";
  if (name.size() <= room) {
    prefix += name;
    prefix += kPlainMarker;
  } else {
    prefix += Shortened(name, room);
    prefix += kHashedMarker;
  }
  return prefix;
}

}  // namespace orx::platform
