// The two lifecycle exports.
#include "frame/lifecycle.h"
#include "orxProperty.h"

extern "C" {

// Both lifecycle calls report nothing, whatever happens below them.
ORX_API int32_t ORX_CALL orxPropertyInitLibrary(void) {
  try {
    orx::frame::InitLibrary();
  } catch (...) {
    // An allocation failure leaves the previous DataFolder in place.
  }
  return ORX_STATUS_SUCCESS;
}

ORX_API int32_t ORX_CALL orxPropertyFreeLibrary(void) {
  orx::frame::FreeLibrary();
  return ORX_STATUS_SUCCESS;
}

}  // extern "C"
