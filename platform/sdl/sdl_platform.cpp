// The window-system services over SDL2: one full-screen OpenGL window, its cursor and its events.
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "platform/sdl/sdl_layer.h"

namespace {
int windowToken, deviceContextToken, instanceToken, iconToken;
char failure[512];
}  // namespace

namespace sdl_layer {

Layer& L() {
    static Layer layer;
    return layer;
}

HWND WindowHandle() { return reinterpret_cast<HWND>(&windowToken); }
HDC DeviceContextHandle() { return reinterpret_cast<HDC>(&deviceContextToken); }

void SetFailure(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(failure, sizeof failure, format, args);  // NOLINT(clang-analyzer-valist.Uninitialized): started above
    va_end(args);
}

StderrCapture CaptureStderr() {
    StderrCapture capture = {-1, {-1, -1}};
    if (pipe2(capture.pipe, O_CLOEXEC | O_NONBLOCK) != 0) return capture;  // full, a writer loses the rest
    std::fflush(stderr);
    capture.saved = dup(STDERR_FILENO);
    dup2(capture.pipe[1], STDERR_FILENO);
    return capture;
}

void EndCapture(StderrCapture* capture, char* text, size_t size) {
    text[0] = '\0';
    if (capture->saved < 0) return;
    std::fflush(stderr);
    dup2(capture->saved, STDERR_FILENO);
    close(capture->saved);
    ssize_t length = read(capture->pipe[0], text, size - 1);
    text[length > 0 ? length : 0] = '\0';
    close(capture->pipe[0]);
    close(capture->pipe[1]);
}

void SetPresentPacing(bool on) { L().unpaced = !on; }

bool EnsureVideo() {
    Layer& l = L();
    if (l.videoUp) return true;
    if (!ChooseDisplay()) return false;
    if (l.x11) WatchDesktop(l.displayName);  // before SDL starts threads of its own
    CatchEndRequests(true);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // ours end the program through its tear-down
    // Switching to another program leaves the window as it is; only minimising stops the frames.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");  // a full-screen window needs no decorations
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        SetFailure("cannot start the video system on %s: %s", l.displayName, SDL_GetError());
        QuitVideo();
        return false;
    }
    if (l.x11) CatchWindowSystemErrors();
    l.videoUp = true;
    return true;
}

// SDL gives the display its desktop mode back as its video system ends.
void QuitVideo() {
    Layer& l = L();
    if (l.videoUp) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    l.videoUp = false;
    l.relative = false;
    StopWatching(true);
    CatchEndRequests(false);
    ReleaseDisplay();
}

namespace {
// Where the pointer stands. A Wayland client learns that only once the pointer is over its window
// (until then SDL answers 0, 0): where it cannot be known, it stands at the centre.
POINT PointerPosition() {
    Layer& l = L();
    if (!SDL_GetMouseFocus() && std::strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0)
        return {l.width / 2, l.height / 2};
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}
}  // namespace

void ApplyCursorState() {
    Layer& l = L();
    if (!l.videoUp) return;
    bool hidden = l.cursorCount < 0;
    bool relative = hidden && l.window && (SDL_GetWindowFlags(l.window) & SDL_WINDOW_SHOWN);
    if (relative && !l.relative) l.cursor = PointerPosition();  // the first frame turns by it
    if (relative != l.relative) SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
    // Leaving relative mode, SDL puts the pointer where it last saw it: it goes where the
    // program left it instead, as on Windows.
    if (!relative && l.relative) SDL_WarpMouseGlobal(l.cursor.x, l.cursor.y);
    l.relative = relative;
    SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE);
}

// Like a real cursor, the tracked one stops at the edges of the screen.
void MoveCursorBy(int dx, int dy) {
    Layer& l = L();
    l.cursor.x = SDL_clamp(l.cursor.x + dx, 0, l.width - 1);
    l.cursor.y = SDL_clamp(l.cursor.y + dy, 0, l.height - 1);
}

namespace {
bool IsWindow(HWND window) { return window == WindowHandle() && L().windowCreated; }

// The display's mode of exactly this size with at least this many bits per pixel.
bool FindMode(int width, int height, int bits, SDL_DisplayMode* found) {
    for (int i = 0, count = SDL_GetNumDisplayModes(0); i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w == width && mode.h == height && int(SDL_BITSPERPIXEL(mode.format)) >= bits) {
            *found = mode;
            return true;
        }
    }
    return false;
}

void SetPixelFormatAttributes(const PIXELFORMATDESCRIPTOR& request) {
    bool deep = request.cColorBits > 16;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

// The OpenGL library tells why it cannot serve on stderr, in its own words: they are kept, to go
// into the program's line, or to be passed on once the context is current.
void KeepWhatOpenGlSays(StderrCapture* capture) {
    Layer& l = L();
    size_t used = std::strlen(l.openGlSaid);
    EndCapture(capture, l.openGlSaid + used, sizeof l.openGlSaid - used);
}

const char* WhatOpenGlSaid() {
    static char said[320];
    const char* text = L().openGlSaid;
    int length = int(std::strcspn(text, "\r\n"));
    std::snprintf(said, sizeof said, length ? " (the OpenGL library says: %.*s)" : "", length, text);
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
    if (L().window && SDL_GetWindowDisplayMode(L().window, &mode) == 0) rate = mode.refresh_rate;
    return SDL_GetPerformanceFrequency() / Uint64(rate > 0 ? rate : 60);
}
}  // namespace
}  // namespace sdl_layer

using namespace sdl_layer;

const char* PlatformFailureReason() { return failure[0] ? failure : "unknown failure"; }

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&instanceToken);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return reinterpret_cast<HICON>(&iconToken); }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&iconToken); }

WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    Layer& l = L();
    if (!EnsureVideo()) return 0;
    if (l.classRegistered || !windowClass->lpfnWndProc || !windowClass->lpszClassName) {
        SetFailure("cannot register the window class");
        return 0;
    }
    std::snprintf(l.className, sizeof l.className, "%s", windowClass->lpszClassName);
    l.windowProc = windowClass->lpfnWndProc;
    l.classRegistered = true;
    return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    Layer& l = L();
    if (!l.classRegistered || std::strcmp(className, l.className) != 0 || l.windowCreated) return FALSE;
    l.classRegistered = false;
    QuitVideo();  // nothing is left to show: the display and the cursor go back to the desktop
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    Layer& l = L();
    if (!mode) {
        l.fullscreenPending = false;
        // Hidden first, so that no window is ever seen on the desktop: hiding a full-screen
        // window gives the display its desktop mode back.
        if (l.window) {
            if (l.x11) UnmapBeforeTheModeReturns(l.window);
            SDL_HideWindow(l.window);
            SDL_SetWindowFullscreen(l.window, 0);
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!EnsureVideo()) return DISP_CHANGE_FAILED;
    int width = int(mode->dmPelsWidth), height = int(mode->dmPelsHeight), bits = int(mode->dmBitsPerPel);
    if (!FindMode(width, height, bits, &l.fullscreenMode)) {
        SDL_DisplayMode desktop = {};
        SDL_GetDesktopDisplayMode(0, &desktop);
        int depth = SDL_BITSPERPIXEL(desktop.format) ? int(SDL_BITSPERPIXEL(desktop.format)) : l.displayDepth;
        SetFailure("cannot switch the display to %d x %d at %d bits per pixel: the display offers no such mode "
                   "(its desktop is %d x %d at %d)",
                   width, height, bits, desktop.w, desktop.h, depth);
        return DISP_CHANGE_BADMODE;
    }
    l.fullscreenPending = true;  // the switch happens when the full-screen window appears
    if (l.window && SDL_SetWindowDisplayMode(l.window, &l.fullscreenMode) != 0) return DISP_CHANGE_FAILED;
    return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL show) {
    L().cursorCount += show ? 1 : -1;
    ApplyCursorState();
    return L().cursorCount;
}

// The layer draws no window decorations, so a client rectangle is also the outer one.
BOOL WINAPI AdjustWindowRectEx(LPRECT, DWORD, BOOL, DWORD) { return TRUE; }

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int, int, int width, int height,
                            HWND, HMENU, HINSTANCE, LPVOID) {
    Layer& l = L();
    if (!l.classRegistered || std::strcmp(className, l.className) != 0 || l.windowCreated || width <= 0 ||
        height <= 0) {
        SetFailure("cannot create the window");
        return nullptr;
    }
    std::snprintf(l.title, sizeof l.title, "%s", windowName ? windowName : "");
    l.width = width;
    l.height = height;
    l.windowCreated = true;
    l.minimised = false;
    return WindowHandle();
}

BOOL WINAPI DestroyWindow(HWND window) {
    Layer& l = L();
    if (!IsWindow(window)) return FALSE;
    if (l.window) DestroySdlWindow(l.window);
    l.window = nullptr;
    l.windowCreated = false;
    ApplyCursorState();
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand) {
    Layer& l = L();
    if (!IsWindow(window) || !l.window) return FALSE;
    bool wasVisible = SDL_GetWindowFlags(l.window) & SDL_WINDOW_SHOWN;
    if (showCommand == SW_HIDE)
        SDL_HideWindow(l.window);
    else
        SDL_ShowWindow(l.window);
    ApplyCursorState();
    return wasVisible;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    if (!IsWindow(window) || !L().window) return FALSE;
    SDL_RaiseWindow(L().window);
    return TRUE;
}

HWND WINAPI SetFocus(HWND window) {
    if (!IsWindow(window) || !L().window) return nullptr;
    SDL_SetWindowInputFocus(L().window);
    return window;
}

HDC WINAPI GetDC(HWND window) { return IsWindow(window) ? DeviceContextHandle() : nullptr; }
int WINAPI ReleaseDC(HWND window, HDC dc) { return IsWindow(window) && dc == DeviceContextHandle(); }

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (dc != DeviceContextHandle() || (request->dwFlags & needed) != needed ||
        request->iPixelType != PFD_TYPE_RGBA) {
        SetFailure("no pixel format matches the request");
        return 0;
    }
    return 1;
}

// On X11 the visual is fixed when the window is made, so the real window is made here.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    Layer& l = L();
    if (dc != DeviceContextHandle() || format != 1 || l.window) return FALSE;
    SetPixelFormatAttributes(*request);
    // Borderless from its creation: a window manager never gives it a frame, even for a moment.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (l.fullscreenPending) flags |= SDL_WINDOW_FULLSCREEN;
    l.openGlSaid[0] = '\0';
    StderrCapture capture = CaptureStderr();
    l.window = SDL_CreateWindow(l.title, 0, 0, l.width, l.height, flags);
    KeepWhatOpenGlSays(&capture);
    if (!l.window) {
        SetFailure("cannot create an OpenGL window with that pixel format: %s%s", SDL_GetError(), WhatOpenGlSaid());
        return FALSE;
    }
    if (l.fullscreenPending) SDL_SetWindowDisplayMode(l.window, &l.fullscreenMode);
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    Layer& l = L();
    if (dc != DeviceContextHandle() || !l.window) return nullptr;
    StderrCapture capture = CaptureStderr();
    SDL_GLContext context = SDL_GL_CreateContext(l.window);
    KeepWhatOpenGlSays(&capture);
    if (!context) SetFailure("cannot create an OpenGL context: %s%s", SDL_GetError(), WhatOpenGlSaid());
    return reinterpret_cast<HGLRC>(context);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    Layer& l = L();
    if (!context) return l.window ? SDL_GL_MakeCurrent(l.window, nullptr) == 0 : TRUE;
    if (dc != DeviceContextHandle() || !l.window) return FALSE;
    if (SDL_GL_MakeCurrent(l.window, reinterpret_cast<SDL_GLContext>(context)) != 0) {
        SetFailure("cannot make the OpenGL context current: %s", SDL_GetError());
        return FALSE;
    }
    SDL_GL_SetSwapInterval(1);
    StartPacing(&l.pacing, RefreshPeriod());
    std::fputs(l.openGlSaid, stderr);  // all went well: what the library said is its own to say
    l.openGlSaid[0] = '\0';
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    if (!context) return FALSE;
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    Layer& l = L();
    if (dc != DeviceContextHandle() || !l.window) return FALSE;
    Uint64 start = SDL_GetPerformanceCounter();
    SDL_GL_SwapWindow(l.window);
    Uint64 wait = PacePresent(&l.pacing, start, SDL_GetPerformanceCounter());
    if (!l.unpaced) WaitUntil(wait);
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    Layer& l = L();
    if (l.relative) {
        AbsorbMotion();
        *point = l.cursor;
        return TRUE;
    }
    if (!EnsureVideo()) return FALSE;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    *point = {x, y};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    Layer& l = L();
    if (l.relative) {
        l.cursor = {x, y};
        MoveCursorBy(0, 0);
        return TRUE;
    }
    if (!EnsureVideo()) return FALSE;
    return SDL_WarpMouseGlobal(x, y) == 0;
}
