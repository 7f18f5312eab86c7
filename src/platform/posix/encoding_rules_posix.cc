// POSIX keeps the engine's default encoding rules: no other program's reader
// shares the files here, so BOM-less UTF-8 is read and written as it is.
#include "platform/file_system.h"

namespace orx::platform {

const ini::EncodingRules& PlatformEncodingRules() { return ini::DefaultEncodingRules(); }

}  // namespace orx::platform
