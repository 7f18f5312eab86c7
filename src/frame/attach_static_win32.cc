// For Windows programs that link the library's objects instead of loading
// orxProperty.dll (the unit tests): no loader calls DllMain for them, so this
// object attaches the process at start-up and detaches it at exit.
#include "frame/lifecycle.h"

namespace {

struct AttachedWhileRunning {
  AttachedWhileRunning() { orx::frame::AttachProcess(); }
  ~AttachedWhileRunning() { orx::frame::DetachProcess(); }
} attached_while_running;

}  // namespace
