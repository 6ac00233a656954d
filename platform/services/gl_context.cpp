// The device context's pixel format, the OpenGL context and the present. On X11 the visual is
// fixed when a window is made, so the real window is made with the pixel format.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/posix/stderr_capture.h"
#include "platform/present_pacing.h"
#include "platform/services/driver.h"
#include "platform/services/services.h"

namespace services {
namespace {
struct Pacing {
    PresentPacing schedule;  // in nanoseconds of the steady clock
    bool off;                // for the frame benchmark only: present as fast as frames come
};
Pacing pacing;

// What the OpenGL library wrote while the window and context were made: its own words on why it
// cannot serve, kept to go into the program's line. Once the context is current they are dropped:
// Mesa on a machine without a GPU, and libdecor without its plugins, report the paths they tried
// and left, which a user who got the picture need not read.
char openGlSaid[512];

void KeepWhatOpenGlSays(posix::StderrCapture* capture) {
    size_t used = std::strlen(openGlSaid);
    posix::EndCapture(capture, openGlSaid + used, sizeof openGlSaid - used);
}

const char* WhatOpenGlSaid() {
    static char said[320];
    char first[sizeof openGlSaid];
    std::snprintf(first, sizeof first, "%s", openGlSaid);
    const char* line = posix::FirstLine(first);
    std::snprintf(said, sizeof said, line[0] ? " (the OpenGL library says: %.260s)" : "", line);
    return said;
}

uint64_t Now() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

void WaitUntil(uint64_t when) {
    uint64_t now = Now();
    if (when > now) std::this_thread::sleep_for(std::chrono::nanoseconds(when - now));
}

uint64_t RefreshPeriod() {
    int rate = driver::RefreshRate();
    return 1000000000ull / uint64_t(rate > 0 ? rate : 60);
}

// The window the program asked for: a picture's covers the monitor from the start, with a window
// manager or without, in a mode of the monitor's shape where there is one; a full-screen one is on
// the program's monitor, whose mode it switches.
driver::WindowPlan Plan(const PIXELFORMATDESCRIPTOR& request) {
    const FullscreenWindow& window = B().window;
    bool deep = request.cColorBits > 16, overTheDesktop = window.picture && window.shaped.width == 0;
    driver::Mode mode = window.picture ? window.shaped : window.mode;
    Size size = overTheDesktop ? MonitorSize() : window.picture ? Size{mode.width, mode.height} : window.asked;
    driver::WindowPlan plan = {window.title, {B().system.origin.x, B().system.origin.y, size.width, size.height},
                               driver::Fullscreen::No, mode, deep ? 8 : 5, deep ? 8 : 6, deep ? 8 : 5,
                               request.cDepthBits, (request.dwFlags & PFD_DOUBLEBUFFER) != 0};
    if (window.fullscreenPending)
        plan.fullscreen = overTheDesktop ? driver::Fullscreen::OverTheDesktop : driver::Fullscreen::SwitchedMode;
    return plan;
}

bool IsDeviceContext(HDC dc) { return dc == DeviceContextHandle() && driver::HasWindow(); }
}  // namespace

void SetPresentPacing(bool on) { pacing.off = !on; }

}  // namespace services

using namespace services;

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    if (dc != DeviceContextHandle() || format != 1 || driver::HasWindow()) return FALSE;
    openGlSaid[0] = '\0';
    posix::StderrCapture capture = posix::CaptureStderr();
    bool made = driver::CreateWindow(Plan(*request));
    KeepWhatOpenGlSays(&capture);
    if (!made) {
        SetFailure("cannot create an OpenGL window with that pixel format: %s%s", driver::LastError(),
                   WhatOpenGlSaid());
        return FALSE;
    }
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (!IsDeviceContext(dc)) return nullptr;
    posix::StderrCapture capture = posix::CaptureStderr();
    void* context = driver::CreateContext();
    KeepWhatOpenGlSays(&capture);
    if (!context) SetFailure("cannot create an OpenGL context: %s%s", driver::LastError(), WhatOpenGlSaid());
    return reinterpret_cast<HGLRC>(context);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (!context) {
        EndPicture();
        return driver::HasWindow() ? driver::MakeCurrent(nullptr) : TRUE;
    }
    if (!IsDeviceContext(dc)) return FALSE;
    if (!driver::MakeCurrent(context)) {
        SetFailure("cannot make the OpenGL context current: %s", driver::LastError());
        return FALSE;
    }
    if (B().window.picture && !StartPicture(B().window.asked) && !SwitchTheModeInstead()) return FALSE;
    driver::SetSwapInterval(1);
    StartPacing(&pacing.schedule, RefreshPeriod());
    openGlSaid[0] = '\0';
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (!context) return FALSE;
    driver::DeleteContext(context);
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    if (!IsDeviceContext(dc)) return FALSE;
    ShowPicture();  // the copy is not timed: a slow one is no driver keeping to the display
    uint64_t start = Now();
    PresentPicture();
    uint64_t presented = Now();
    DrawIntoPicture();
    uint64_t wait = PacePresent(&pacing.schedule, start, presented);
    if (!pacing.off) WaitUntil(wait);
    return TRUE;
}
