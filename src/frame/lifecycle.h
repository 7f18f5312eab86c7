// The library's lifecycle: the library lock and the two lifecycle calls.
#ifndef ORX_FRAME_LIFECYCLE_H_
#define ORX_FRAME_LIFECYCLE_H_

namespace orx::frame {

// Create and delete the library lock. The loader's process attach and
// detach call them on Windows (dll_main_win32.cc); elsewhere the library's
// load and unload do. Neither waits or loads anything, so both are safe
// under the loader lock. Attaching twice keeps the one lock.
void AttachProcess();
void DetachProcess();

// Asks the data-folder library for the folder and sets DataFolder, under the
// library lock; the data-folder library is released after the lock is left.
void InitLibrary();

// Waits for an InitLibrary running on another thread; changes nothing.
void FreeLibrary();

}  // namespace orx::frame

#endif  // ORX_FRAME_LIFECYCLE_H_
