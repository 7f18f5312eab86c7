// The DLL's entry routine: process attach creates the library lock, process
// detach deletes it, thread notifications do nothing. It runs under the
// loader lock, so it only constructs and destroys: no waits, no loads.
#include <windows.h>

#include "frame/lifecycle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) orx::frame::AttachProcess();
  if (reason == DLL_PROCESS_DETACH) orx::frame::DetachProcess();
  return TRUE;
}
