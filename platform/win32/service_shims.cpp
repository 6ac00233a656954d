// The services routed through this folder, and the failure reason.
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#define TOLVAREN_REAL_SERVICES
#include "platform/platform.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "platform/present_pacing.h"

namespace {
char reason[256];
PresentPacing pacing;

uint64_t Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return uint64_t(now.QuadPart);
}

uint64_t Frequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return uint64_t(frequency.QuadPart);
}

void StartPacingToTheDisplay() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    DWORD rate = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) ? mode.dmDisplayFrequency : 0;
    StartPacing(&pacing, Frequency() / (rate > 1 ? rate : 60));  // 0 and 1 mean the hardware's default
    timeBeginPeriod(1);  // waits to the millisecond
}

// Whole milliseconds, rounded up: the schedule is absolute, so a late wake-up is not carried on.
void WaitUntil(uint64_t when) {
    uint64_t now = Now();
    if (when > now) Sleep(DWORD(((when - now) * 1000 + Frequency() - 1) / Frequency()));
}
}  // namespace

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
    StartPacingToTheDisplay();
    return TRUE;
}

BOOL WINAPI SwapBuffersPaced(HDC dc) {
    uint64_t start = Now();
    BOOL presented = SwapBuffers(dc);
    WaitUntil(PacePresent(&pacing, start, Now()));
    return presented;
}
