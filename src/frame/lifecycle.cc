// The library lock is a namespace-scope mutex: it is constructed when the
// library is loaded and destroyed when it is unloaded, the lifetime the
// loader's attach and detach notifications give it on Windows. It guards only
// the initialisation of DataFolder.
#include "frame/lifecycle.h"

#include <mutex>

#include "frame/settings_path.h"
#include "platform/data_folder.h"

namespace orx::frame {
namespace {

std::mutex library_lock;

}  // namespace

void InitLibrary() {
  {
    std::lock_guard<std::mutex> lock(library_lock);
    IgnoreStatus(Status{platform::cmnbInit(0)});
    SetDataFolder(platform::fsGetOrmixDataPath());
  }
  platform::cmnbFree(0);
}

void FreeLibrary() { std::lock_guard<std::mutex> lock(library_lock); }

}  // namespace orx::frame
