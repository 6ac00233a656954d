// What the SDL2-backed services share between their files; private to this backend, its entry,
// its tests and the frame benchmark.
#pragma once

#ifndef TOLVAREN_SDL_BACKEND
#error "platform/sdl/sdl_layer.h is private to the SDL backend: include platform/platform.h"
#endif

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/platform.h"

namespace sdl_layer {

struct Layer {
    bool videoUp;
    bool classRegistered;
    char className[64];
    WNDPROC windowProc;
    bool windowCreated;  // recorded by CreateWindowExA; the SDL window comes with the pixel format
    char title[128];
    int width, height;
    SDL_Window* window;
    bool fullscreenPending;
    SDL_DisplayMode fullscreenMode;
    int cursorCount;     // the display counter: the cursor is hidden while it is below zero
    bool relative;       // hidden over our window: positions come from relative motion
    POINT cursor;        // the position reported while relative
    bool minimised;
    bool quitPosted;
    int quitCode;
    Uint64 nextPresent;    // performance-counter time before which no frame is presented
    Uint64 presentPeriod;  // one refresh of the display, in performance-counter ticks
    bool unpaced;          // for the frame benchmark only: present as fast as frames come
};

Layer& L();

// Fake handles; there is one window, one device context and one instance.
HWND WindowHandle();
HDC DeviceContextHandle();

bool EnsureVideo();
void ApplyCursorState();  // relative mode and visibility from the counter and the window
void MoveCursorBy(int dx, int dy);

// Presents at most once per refresh unless turned off; only the frame benchmark turns it off.
void SetPresentPacing(bool on);

// While on, a fatal signal first gives the desktop its display mode and cursor back.
void GuardDesktopAgainstCrashes(bool on);

// Keeps the reason for the last failure, which PlatformFailureReason() then answers.
void SetFailure(const char* format, ...);

// Turns one SDL event into the message the window procedure expects; false when it makes none.
bool TranslateEvent(const SDL_Event& event, MSG* msg);

}  // namespace sdl_layer
