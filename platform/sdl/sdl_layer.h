// What the SDL2-backed services share between their files; private to this backend, its entry,
// its tests and the frame benchmark.
#pragma once

#ifndef TOLVAREN_SDL_BACKEND
#error "platform/sdl/sdl_layer.h is private to the SDL backend: include platform/platform.h"
#endif

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/platform.h"
#include "platform/present_pacing.h"

namespace sdl_layer {

struct Layer {
    bool videoUp;
    bool x11;              // SDL runs on an X server
    char displayName[64];  // DISPLAY or WAYLAND_DISPLAY, as the user's messages name it
    int displayDepth;      // the X screen's colour depth, for when SDL cannot tell it
    bool failed;           // the window system failed the running program: it ends with 1
    char openGlSaid[512];  // what the OpenGL library wrote while the window and context were made
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
    PresentPacing pacing;  // in performance-counter ticks
    bool unpaced;          // for the frame benchmark only: present as fast as frames come
    // Quick taps: a release that comes before the poll has once found the queue empty since the
    // key's press is held back until it has, so that every press reaches an idle turn.
    bool pressedSinceIdle[256];
    bool releaseHeld[256];
    LPARAM heldRelease[256];
};

Layer& L();

// Fake handles; there is one window, one device context and one instance.
HWND WindowHandle();
HDC DeviceContextHandle();

bool EnsureVideo();
void QuitVideo();  // the desktop's mode and cursor return; also what the entry calls last
void ApplyCursorState();  // relative mode and visibility from the counter and the window
void MoveCursorBy(int dx, int dy);
void AbsorbMotion();  // what has arrived up to now moves the tracked cursor

// Presents at most once per refresh unless turned off; only the frame benchmark turns it off.
void SetPresentPacing(bool on);

// Before the video system starts: which display, whether it takes us, and whether the program
// already runs there. False with the failure set.
bool ChooseDisplay();
void ReleaseDisplay();

// On X11, a process that gives the desktop its mode back should the program die without doing
// so; started while the process still has one thread.
void WatchDesktop(const char* display);
void StopWatching(bool restored);

// Requests to end by signal, and errors of the window system, become a close request that the
// next poll hands out (once each); after the tear-down the process ends by the signal that asked.
void CatchEndRequests(bool on);
void IgnoreEndRequests();  // for the watcher, which must outlive them
bool TakeCloseRequest();
void EndAsRequested();

// On X11: errors of the window system are caught (a failure ends the program with 1), the window
// leaves the screen before the mode returns, and a destroyed window's late errors still count.
void CatchWindowSystemErrors();
bool TakeWindowSystemFailure();
void UnmapBeforeTheModeReturns(SDL_Window* window);
void DestroySdlWindow(SDL_Window* window);

// Keeps the reason for the last failure, which PlatformFailureReason() then answers.
void SetFailure(const char* format, ...);

// What libraries write to stderr in between is read back instead of shown, to go into the
// program's one line about a failure.
struct StderrCapture {
    int saved;
    int pipe[2];
};
StderrCapture CaptureStderr();
void EndCapture(StderrCapture* capture, char* text, size_t size);  // all that was written, cut to size

// Turns one SDL event into the message the window procedure expects; false when it makes none.
bool TranslateEvent(const SDL_Event& event, MSG* msg);

}  // namespace sdl_layer
