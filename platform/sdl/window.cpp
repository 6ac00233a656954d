// The module, window class, display mode and window services: one full-screen window, whose SDL
// window is made with the pixel format (gl_context.cpp).
#include <cstdio>
#include <cstring>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
int instanceToken, iconToken, cursorToken;

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

LONG RefuseMode(int width, int height, int bits) {
    SDL_DisplayMode desktop = {};
    SDL_GetDesktopDisplayMode(0, &desktop);
    int depth = SDL_BITSPERPIXEL(desktop.format) ? int(SDL_BITSPERPIXEL(desktop.format)) : B().system.depth;
    SetFailure("cannot switch the display to %d x %d at %d bits per pixel: the display offers no such mode "
               "(its desktop is %d x %d at %d)",
               width, height, bits, desktop.w, desktop.h, depth);
    return DISP_CHANGE_BADMODE;
}

// Hidden first, so that no window is ever seen on the desktop: hiding a full-screen window gives
// the display its desktop mode back.
LONG RestoreDesktopMode() {
    FullscreenWindow& window = B().window;
    window.fullscreenPending = false;
    if (W().sdl) {
        UnmapBeforeTheModeReturns(W().sdl);
        SDL_HideWindow(W().sdl);
        SDL_SetWindowFullscreen(W().sdl, 0);
    }
    return DISP_CHANGE_SUCCESSFUL;
}
}  // namespace

bool IsOurWindow(HWND window) { return window == WindowHandle() && B().window.created; }

// Without framebuffer objects there is no picture: the display switches as on a bare X server.
bool SwitchTheModeInstead() {
    FullscreenWindow& window = B().window;
    window.picture = false;
    if (W().fullscreenMode.w == 0) {
        SetFailure("cannot show a %d x %d picture: OpenGL here has no framebuffer objects, and the display offers "
                   "no such mode", window.asked.width, window.asked.height);
        return false;
    }
    return SDL_SetWindowDisplayMode(W().sdl, &W().fullscreenMode) == 0 &&
           SDL_SetWindowFullscreen(W().sdl, SDL_WINDOW_FULLSCREEN) == 0;
}

}  // namespace sdl_layer

using namespace sdl_layer;

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&instanceToken);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return reinterpret_cast<HICON>(&iconToken); }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&cursorToken); }

WORD WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    WindowClass& registered = B().windowClass;
    if (!B().system.started || registered.registered || !windowClass->lpfnWndProc || !windowClass->lpszClassName) {
        SetFailure("cannot register the window class");
        return 0;
    }
    std::snprintf(registered.name, sizeof registered.name, "%s", windowClass->lpszClassName);
    registered.proc = windowClass->lpfnWndProc;
    registered.registered = true;
    return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    WindowClass& registered = B().windowClass;
    if (!registered.registered || std::strcmp(className, registered.name) != 0 || B().window.created) return FALSE;
    registered = WindowClass{};
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (!mode) return RestoreDesktopMode();
    FullscreenWindow& window = B().window;
    if (!B().system.started) return DISP_CHANGE_FAILED;
    int width = int(mode->dmPelsWidth), height = int(mode->dmPelsHeight), bits = int(mode->dmBitsPerPel);
    // Where the picture stands in for the switch, the monitor need not offer the mode.
    W().fullscreenMode = SDL_DisplayMode{};
    window.picture = PictureWanted();
    if (!FindMode(width, height, bits, &W().fullscreenMode) && !window.picture)
        return RefuseMode(width, height, bits);
    RememberPointerBeforeTheSwitch({width, height});
    window.fullscreenPending = true;  // the switch happens when the full-screen window appears
    if (W().sdl && !window.picture && SDL_SetWindowDisplayMode(W().sdl, &W().fullscreenMode) != 0)
        return DISP_CHANGE_FAILED;
    return DISP_CHANGE_SUCCESSFUL;
}

// The layer draws no window decorations, so a client rectangle is also the outer one.
BOOL WINAPI AdjustWindowRectEx(LPRECT, DWORD, BOOL, DWORD) { return TRUE; }

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int, int, int width, int height,
                            HWND, HMENU, HINSTANCE, LPVOID) {
    FullscreenWindow& window = B().window;
    if (!B().windowClass.registered || std::strcmp(className, B().windowClass.name) != 0 || window.created ||
        width <= 0 || height <= 0) {
        SetFailure("cannot create the window");
        return nullptr;
    }
    std::snprintf(window.title, sizeof window.title, "%s", windowName ? windowName : "");
    window.asked = window.client = {width, height};
    window.created = true;
    window.minimised = false;
    return WindowHandle();
}

BOOL WINAPI DestroyWindow(HWND handle) {
    FullscreenWindow& window = B().window;
    if (!IsOurWindow(handle)) return FALSE;
    SDL_Window* sdl = W().sdl;
    W().sdl = nullptr;
    window.created = false;
    if (sdl) DestroySdlWindow(sdl);
    ApplyCursorState();
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    SDL_Window* sdl = W().sdl;
    if (!IsOurWindow(handle) || !sdl) return FALSE;
    bool wasVisible = SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN;
    if (showCommand == SW_HIDE)
        SDL_HideWindow(sdl);
    else
        SDL_ShowWindow(sdl);
    ApplyCursorState();
    return wasVisible;
}

BOOL WINAPI SetForegroundWindow(HWND handle) {
    if (!IsOurWindow(handle) || !W().sdl) return FALSE;
    SDL_RaiseWindow(W().sdl);
    return TRUE;
}

HWND WINAPI SetFocus(HWND handle) {
    if (!IsOurWindow(handle) || !W().sdl) return nullptr;
    SDL_SetWindowInputFocus(W().sdl);
    return handle;
}
