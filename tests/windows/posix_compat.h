// Test-only: the POSIX calls the portable suites make (setenv, unsetenv,
// mkdtemp), over the C runtime's Windows equivalents. Force-included into the
// Windows test program, so the shared suites stay as they are. _putenv_s
// changes the process environment the library reads with
// GetEnvironmentVariableW too.
#ifndef ORX_TESTS_WINDOWS_POSIX_COMPAT_H_
#define ORX_TESTS_WINDOWS_POSIX_COMPAT_H_

#ifdef __cplusplus
#include <direct.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name) != nullptr) return 0;
  return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

inline char* mkdtemp(char* pattern) {
  if (_mktemp_s(pattern, strlen(pattern) + 1) != 0) return nullptr;
  return _mkdir(pattern) == 0 ? pattern : nullptr;
}
#endif

#endif  // ORX_TESTS_WINDOWS_POSIX_COMPAT_H_
