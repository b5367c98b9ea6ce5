#pragma once

// The platform services of the system the program is built for.
#if defined(_WIN32)
#include "platform/win32/win32_services.h"
namespace zarn::platform {
using NativeServices = Win32Services;
}
#else
#include "platform/desktop/desktop_services.h"
namespace zarn::platform {
using NativeServices = DesktopServices;
}
#endif
