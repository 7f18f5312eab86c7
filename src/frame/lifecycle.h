// The library's lifecycle: the library lock and the two lifecycle calls.
#ifndef ORX_FRAME_LIFECYCLE_H_
#define ORX_FRAME_LIFECYCLE_H_

namespace orx::frame {

// Asks the data-folder library for the folder and sets DataFolder, under the
// library lock; the data-folder library is released after the lock is left.
void InitLibrary();

// Waits for an InitLibrary running on another thread; changes nothing.
void FreeLibrary();

}  // namespace orx::frame

#endif  // ORX_FRAME_LIFECYCLE_H_
