// The frame's GUID call over the platform generator, in the shape of a
// fixed caller buffer.
#include "frame/guid.h"

#include <algorithm>

#include "platform/guid.h"

namespace orx::frame {

static_assert(kTaskGuidLength == platform::kGuidTextLength);

Status NewTaskGuid(char16_t (&text)[kTaskGuidLength + 1]) {
  Result<platform::GuidText> guid = platform::DefaultGuidGenerator().NewGuid();
  if (!guid.ok()) {
    text[0] = u'\0';
    return guid.status();
  }
  std::copy(guid->begin(), guid->end(), text);
  return Status::kOk;
}

}  // namespace orx::frame
