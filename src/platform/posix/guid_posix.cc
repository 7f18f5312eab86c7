// GUIDs from getrandom. The call blocks only until the kernel's pool is
// first initialised at boot; later it returns at once. Interrupted and short
// reads are continued, so the 16 bytes are always wholly random.
#include "platform/posix/guid_posix.h"

#include <sys/random.h>

#include <cerrno>

#include "platform/posix/errno_to_win32.h"

namespace orx::platform {
namespace {

// A source that returns no bytes has no errno to report.

class PosixGuidGenerator final : public GuidGenerator {
 public:
  explicit PosixGuidGenerator(RandomSource source) : source_(source) {}

  Result<GuidText> NewGuid() override {
    std::array<uint8_t, 16> random{};
    size_t filled = 0;
    while (filled < random.size()) {
      const ssize_t count = source_(random.data() + filled, random.size() - filled, 0);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) return Win32FromErrno(errno);
      // A source that makes no progress would loop for ever.
      if (count == 0) return Status::kGenFailure;
      filled += static_cast<size_t>(count);
    }
    return FormatVersion4Guid(random);
  }

 private:
  const RandomSource source_;
};

}  // namespace

std::unique_ptr<GuidGenerator> NewPosixGuidGenerator(RandomSource source) {
  return std::make_unique<PosixGuidGenerator>(source);
}

GuidGenerator& DefaultGuidGenerator() {
  static GuidGenerator* const generator = NewPosixGuidGenerator(&getrandom).release();
  return *generator;
}

}  // namespace orx::platform
