// The library's load and unload notification, compiled into the Windows module only.
// The module has nothing to set up or tear down, for any reason.
#include "platform/win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/) {
  return TRUE;
}
