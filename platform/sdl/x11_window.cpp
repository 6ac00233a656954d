// What the layer does with Xlib itself, beside SDL, when SDL runs on an X server: errors of the
// window system end the program instead of hanging it, and the window leaves the screen before
// the desktop's mode returns.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
volatile sig_atomic_t windowSystemError = 0;  // the first X error's code
unsigned long failedResource = 0;
unsigned char failedRequest = 0;
Display* failedDisplay = nullptr;
bool failureAnswered = false;

// Records the first error and returns: SDL's own handler calls back into Xlib from here, which
// deadlocks on the lock Xlib holds while it reports the error.
int OnXError(Display* display, XErrorEvent* error) {
    if (!windowSystemError) {
        failedDisplay = display;
        failedResource = error->resourceid;
        failedRequest = error->request_code;
        windowSystemError = error->error_code ? error->error_code : 255;
    }
    return 0;
}

// The connection is gone: nothing of the window system can be released any more. The watcher
// gives the desktop its mode back.
int OnXConnectionLost(Display*) {
    char line[160];
    int length = std::snprintf(line, sizeof line, "tolvaren: lost the connection to the display %s\n",
                               L().displayName);
    (void)!write(STDERR_FILENO, line, size_t(length));
    _exit(1);
}

bool X11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window && SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

Bool IsUnmapOf(Display*, XEvent* event, XPointer window) {
    return event->type == UnmapNotify && event->xunmap.window == *reinterpret_cast<Window*>(window);
}

void ExplainWindowSystemError() {
    SDL_SysWMinfo info;
    if (failedResource != 0 && X11Info(L().window, &info) && failedResource == info.info.x11.window) {
        SetFailure("the window was destroyed by another program");
        return;
    }
    char text[120] = "";
    XGetErrorText(failedDisplay, windowSystemError, text, sizeof text);
    SetFailure("the display %s refused a request (%s, request %d)", L().displayName, text, failedRequest);
}
}  // namespace

void CatchWindowSystemErrors() {
    windowSystemError = 0;
    failureAnswered = false;
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXConnectionLost);
}

bool TakeWindowSystemFailure() {
    if (!windowSystemError || failureAnswered) return false;
    failureAnswered = true;
    L().failed = true;
    ExplainWindowSystemError();
    return true;
}

// SDL gives the display its desktop mode back before it unmaps a full-screen window, and a
// window manager then stretches the window over the desktop for a moment: unmapped first, the
// window is never seen off its own mode.
void UnmapBeforeTheModeReturns(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (!X11Info(window, &info)) return;
    Display* display = info.info.x11.display;
    Window xWindow = info.info.x11.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xWindow, &attributes) || attributes.map_state == IsUnmapped) return;
    XWithdrawWindow(display, xWindow, DefaultScreen(display));
    XEvent unmapped;
    for (int i = 0; i < 100 && !XCheckIfEvent(display, &unmapped, IsUnmapOf, reinterpret_cast<XPointer>(&xWindow));
         ++i) {
        XSync(display, False);
        usleep(2000);
    }
}

// What the tear-down asks of a window that another program destroyed fails later, when Xlib next
// reads the connection: that must still reach our handler, not the one SDL puts back as its
// video system ends.
void DestroySdlWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    Display* display = X11Info(window, &info) ? info.info.x11.display : nullptr;
    SDL_DestroyWindow(window);
    if (display) XSync(display, False);
}

}  // namespace sdl_layer
