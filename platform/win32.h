// The one place that decides where the Win32 API comes from: the real <windows.h> when
// the module is built for Windows, the stand-in's declarations everywhere else.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "standin/native/win32_standin.h"
#endif
