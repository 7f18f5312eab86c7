// The frame's string calls forward to the platform's stand-ins unchanged;
// they exist so that nothing above the frame includes a platform header.
#include "frame/strings.h"

#include "platform/string_table.h"

namespace orx::frame {

ModuleHandle basGetBaseLang() { return platform::basGetBaseLang(); }

uint32_t LoadStringW(ModuleHandle module, uint32_t id, char16_t* buffer, uint32_t size) {
  return platform::LoadStringW(module, id, buffer, size);
}

}  // namespace orx::frame
