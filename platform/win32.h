// The one place that decides where the Win32 API comes from: the real <windows.h> when
// the module is built for Windows, the stand-in's declarations everywhere else.
#pragma once

#if defined(_WIN32)
#include <windows.h>
// The host calls gauge routines, the gauge callback and the Linkage entries, and offers
// its service table's entries, with the Win32 standard calling convention.
#define HOST_CALL __stdcall
#else
#include "standin/win32_standin.h"
#define HOST_CALL
#endif
