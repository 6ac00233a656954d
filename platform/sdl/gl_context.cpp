// The device context, pixel format and OpenGL context services, and the present. On X11 the
// visual is fixed when a window is made, so the SDL window is made with the pixel format.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/posix/stderr_capture.h"
#include "platform/present_pacing.h"
#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
struct Pacing {
    PresentPacing schedule;  // in performance-counter ticks
    bool off;                // for the frame benchmark only: present as fast as frames come
};
Pacing pacing;

// What the OpenGL library wrote while the window and context were made: its own words on why it
// cannot serve, kept to go into the program's line, or passed on once the context is current.
char openGlSaid[512];

void SetPixelFormatAttributes(const PIXELFORMATDESCRIPTOR& request) {
    bool deep = request.cColorBits > 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

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

void WaitUntil(Uint64 when) {
    Uint64 now = SDL_GetPerformanceCounter();
    if (when <= now) return;
    std::this_thread::sleep_for(std::chrono::nanoseconds((when - now) * 1000000000ull / SDL_GetPerformanceFrequency()));
}

Uint64 RefreshPeriod() {
    SDL_DisplayMode mode;
    int rate = 0;
    if (W().sdl && SDL_GetWindowDisplayMode(W().sdl, &mode) == 0) rate = mode.refresh_rate;
    return SDL_GetPerformanceFrequency() / Uint64(rate > 0 ? rate : 60);
}

bool IsDeviceContext(HDC dc) { return dc == DeviceContextHandle() && W().sdl; }
}  // namespace

void SetPresentPacing(bool on) { pacing.off = !on; }

}  // namespace sdl_layer

using namespace sdl_layer;

HDC WINAPI GetDC(HWND window) { return IsOurWindow(window) ? DeviceContextHandle() : nullptr; }
int WINAPI ReleaseDC(HWND window, HDC dc) { return IsOurWindow(window) && dc == DeviceContextHandle(); }

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc != DeviceContextHandle() || (request->dwFlags & needed) != needed ||
        request->iPixelType != PFD_TYPE_RGBA) {
        SetFailure("no pixel format matches the request");
        return 0;
    }
    return 1;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    FullscreenWindow& window = B().window;
    if (dc != DeviceContextHandle() || format != 1 || W().sdl) return FALSE;
    SetPixelFormatAttributes(*request);
    // Borderless from its creation: a window manager never gives it a frame, even for a moment.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (window.fullscreenPending) flags |= window.picture ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    openGlSaid[0] = '\0';
    posix::StderrCapture capture = posix::CaptureStderr();
    // On the program's monitor: a full-screen window switches the mode of the monitor it is on.
    POINT origin = B().system.origin;
    // A picture's window covers the monitor from the start, with a window manager or without.
    Size size = window.picture ? MonitorSize() : window.asked;
    W().sdl = SDL_CreateWindow(window.title, origin.x, origin.y, size.width, size.height, flags);
    KeepWhatOpenGlSays(&capture);
    if (!W().sdl) {
        SetFailure("cannot create an OpenGL window with that pixel format: %s%s", SDL_GetError(), WhatOpenGlSaid());
        return FALSE;
    }
    GiveWindowItsIcon(W().sdl);
    if (window.fullscreenPending && !window.picture) SDL_SetWindowDisplayMode(W().sdl, &W().fullscreenMode);
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (!IsDeviceContext(dc)) return nullptr;
    posix::StderrCapture capture = posix::CaptureStderr();
    SDL_GLContext context = SDL_GL_CreateContext(W().sdl);
    KeepWhatOpenGlSays(&capture);
    if (!context) SetFailure("cannot create an OpenGL context: %s%s", SDL_GetError(), WhatOpenGlSaid());
    return reinterpret_cast<HGLRC>(context);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    SDL_Window* window = W().sdl;
    if (!context) {
        EndPicture();
        return window ? SDL_GL_MakeCurrent(window, nullptr) == 0 : TRUE;
    }
    if (!IsDeviceContext(dc)) return FALSE;
    if (SDL_GL_MakeCurrent(window, reinterpret_cast<SDL_GLContext>(context)) != 0) {
        SetFailure("cannot make the OpenGL context current: %s", SDL_GetError());
        return FALSE;
    }
    if (B().window.picture && !StartPicture(B().window.asked) && !SwitchTheModeInstead()) return FALSE;
    SDL_GL_SetSwapInterval(1);
    StartPacing(&pacing.schedule, RefreshPeriod());
    std::fputs(openGlSaid, stderr);  // all went well: what the library said is its own to say
    openGlSaid[0] = '\0';
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (!context) return FALSE;
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    if (!IsDeviceContext(dc)) return FALSE;
    ShowPicture(W().sdl);  // the copy is not timed: a slow one is no driver keeping to the display
    Uint64 start = SDL_GetPerformanceCounter();
    SDL_GL_SwapWindow(W().sdl);
    Uint64 presented = SDL_GetPerformanceCounter();
    DrawIntoPicture();
    Uint64 wait = PacePresent(&pacing.schedule, start, presented);
    if (!pacing.off) WaitUntil(wait);
    return TRUE;
}
