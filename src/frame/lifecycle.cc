// The library lock exists from process attach to process detach. On Windows
// the DLL's entry routine creates and deletes it (dll_main_win32.cc), and a
// program linking the objects statically gets attach_static_win32.cc; on
// Linux a namespace-scope object of this file plays the loader's part at load
// and unload. The lock guards only the initialisation of DataFolder.
#include "frame/lifecycle.h"

#include <mutex>
#include <optional>

#include "frame/settings_path.h"
#include "platform/data_folder.h"

namespace orx::frame {
namespace {

std::optional<std::mutex> library_lock;

#if !defined(_WIN32)
struct AttachedWhileLoaded {
  AttachedWhileLoaded() { AttachProcess(); }
  ~AttachedWhileLoaded() { DetachProcess(); }
} attached_while_loaded;
#endif

}  // namespace

void AttachProcess() {
  if (!library_lock) library_lock.emplace();
}

void DetachProcess() { library_lock.reset(); }

void InitLibrary() {
  {
    std::lock_guard<std::mutex> lock(*library_lock);
    IgnoreStatus(Status{platform::cmnbInit(0)});
    SetDataFolder(platform::fsGetOrmixDataPath());
  }
  platform::cmnbFree(0);
}

void FreeLibrary() { std::lock_guard<std::mutex> lock(*library_lock); }

}  // namespace orx::frame
