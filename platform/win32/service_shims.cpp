// The two services routed through this folder, and the failure reason.
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#define TOLVAREN_REAL_SERVICES
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

namespace {
char reason[256];
}

// The display change's result is not an error code, so its failure is kept here; anything else
// is the system's last error, in the system's words.
const char* PlatformFailureReason() {
    if (reason[0]) return reason;
    DWORD error = GetLastError();
    char text[160] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                   sizeof text, nullptr);
    text[std::strcspn(text, "\r\n")] = '\0';
    std::snprintf(reason, sizeof reason, "cannot open the full-screen OpenGL window: %s (error %lu)",
                  text[0] ? text : "no reason given", error);
    return reason;
}

LONG WINAPI ChangeDisplaySettingsKeepingReason(DEVMODEA* mode, DWORD flags) {
    LONG result = ChangeDisplaySettingsA(mode, flags);
    if (mode && result != DISP_CHANGE_SUCCESSFUL) {
        std::snprintf(reason, sizeof reason,
                      "cannot switch the display to %lu x %lu at %lu bits per pixel (display change result %ld)",
                      mode->dmPelsWidth, mode->dmPelsHeight, mode->dmBitsPerPel, result);
    }
    return result;
}

BOOL WINAPI MakeCurrentWithSwapInterval(HDC dc, HGLRC context) {
    if (!wglMakeCurrent(dc, context)) return FALSE;
    if (!context) return TRUE;
    // Frames follow the display where the driver offers swap control (WGL_EXT_swap_control).
    typedef BOOL(WINAPI * SwapInterval)(int);
    auto setInterval = reinterpret_cast<SwapInterval>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (setInterval) setInterval(1);
    return TRUE;
}
