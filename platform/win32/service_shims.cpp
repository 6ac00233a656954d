#define TOLVAREN_REAL_SERVICES
#include "platform/win32/failure_reason.h"

#include <cstdio>

namespace {
char reason[160];
}

const char* FailureReason() {
    if (reason[0]) return reason;
    DWORD error = GetLastError();
    std::snprintf(reason, sizeof reason, "cannot open the full-screen OpenGL window (error %lu)", error);
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
