// The boundary every export body runs inside: a Status becomes the ABI's
// int32_t, and no exception leaves the library (an allocation failure
// becomes ERROR_NOT_ENOUGH_MEMORY, anything else ERROR_INTERNAL_ERROR).
#ifndef ORX_FRAME_EXPORT_GUARD_H_
#define ORX_FRAME_EXPORT_GUARD_H_

#include <cstdint>
#include <new>

#include "base/status.h"

namespace orx::frame {

template <typename Body>
int32_t GuardExport(Body body) noexcept {
  try {
    return ToAbi(body());
  } catch (const std::bad_alloc&) {
    return ToAbi(Status::kNotEnoughMemory);
  } catch (...) {
    return ToAbi(Status::kInternalError);
  }
}

}  // namespace orx::frame

#endif  // ORX_FRAME_EXPORT_GUARD_H_
