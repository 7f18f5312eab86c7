// Forwards to the engine's case folding, so the frame's callers never see a
// platform header and both sides fold alike by construction.
#include "frame/names.h"

#include "platform/ini/case_fold.h"

namespace orx::frame {

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return platform::ini::EqualsIgnoreCase(a, b);
}

}  // namespace orx::frame
