// The POSIX GUID generator over a replaceable random source, so tests can
// make the source fail, return short reads or be interrupted. The library
// uses DefaultGuidGenerator (platform/guid.h), which draws from getrandom.
#ifndef ORX_PLATFORM_POSIX_GUID_POSIX_H_
#define ORX_PLATFORM_POSIX_GUID_POSIX_H_

#include <sys/types.h>

#include <memory>

#include "platform/guid.h"

namespace orx::platform {

// getrandom's shape: fills up to `length` bytes and returns how many, or -1
// with errno set.
using RandomSource = ssize_t (*)(void* buffer, size_t length, unsigned int flags);

std::unique_ptr<GuidGenerator> NewPosixGuidGenerator(RandomSource source);

}  // namespace orx::platform

#endif  // ORX_PLATFORM_POSIX_GUID_POSIX_H_
