// The Windows API as the Win32 layer includes it. <windows.h> defines
// ReplaceFile as a macro for ReplaceFileW, which would rename the layer's
// own ReplaceFile (platform/file_system.h); the layer calls ReplaceFileW by
// its full name instead.
#ifndef ORX_PLATFORM_WIN32_WINDOWS_API_H_
#define ORX_PLATFORM_WIN32_WINDOWS_API_H_

#include <windows.h>
#undef ReplaceFile

#endif  // ORX_PLATFORM_WIN32_WINDOWS_API_H_
