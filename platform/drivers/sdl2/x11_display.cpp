// What the backend does with SDL's own X connection: its errors end the program instead of
// hanging it, the window is taken off the screen before the desktop's mode returns, and the
// keyboard layout is read on it.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/drivers/sdl2/x11_display.h"
#include "platform/x11/fullscreen_state.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/shared_image.h"

namespace sdl2 {
namespace {
struct X11Errors {
    bool catching;
    XErrorHandler previous;
    XIOErrorHandler previousIo;
    int code;  // the first error's
    unsigned long resource;
    unsigned char request;
    Display* display;
    bool answered;
    Display* sdlConnection;  // SDL's, once its window is known
    Window sdlWindow;
};
X11Errors errors;

bool OnX11() { return B().system.kind == WindowSystem::X11; }

bool X11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window && SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

// SDL's connection and window, remembered: a window being destroyed is no longer asked about.
void RememberSdlWindow() {
    SDL_SysWMinfo info;
    if (!X11Info(W().sdl, &info)) return;
    errors.sdlConnection = info.info.x11.display;
    errors.sdlWindow = info.info.x11.window;
}

// Before SDL has a window, its connection is the only one.
bool IsSdlConnection(Display* display) {
    RememberSdlWindow();
    return !errors.sdlConnection || errors.sdlConnection == display;
}

// Records the first error and returns: SDL's own handler calls back into Xlib from here, which
// deadlocks on the lock Xlib holds while it reports the error. Another connection's errors are
// left to the handler that was there before.
int OnXError(Display* display, XErrorEvent* error) {
    if (!IsSdlConnection(display)) return errors.previous ? errors.previous(display, error) : 0;
    if (!errors.code) {
        errors.display = display;
        errors.resource = error->resourceid;
        errors.request = error->request_code;
        errors.code = error->error_code ? error->error_code : 255;
    }
    return 0;
}

// The connection is gone: nothing of the window system can be released any more. The watcher
// gives the desktop its mode back.
int OnXConnectionLost(Display*) {
    char line[160];
    int length = std::snprintf(line, sizeof line, "tolvaren: lost the connection to the display %s\n",
                               B().system.name);
    (void)!write(STDERR_FILENO, line, size_t(length));
    _exit(1);
}

Bool IsUnmapOf(Display*, XEvent* event, XPointer window) {
    return event->type == UnmapNotify && event->xunmap.window == *reinterpret_cast<Window*>(window);
}

}  // namespace

Display* X11ConnectionOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    return X11Info(window, &info) ? info.info.x11.display : nullptr;
}

bool ReadX11Layout(int pressed) { return x11::ReadLayout(X11ConnectionOf(W().sdl), pressed); }

void CatchX11Errors() {
    if (!OnX11() || errors.catching) return;
    errors = X11Errors{};
    errors.catching = true;
    errors.previous = XSetErrorHandler(OnXError);
    errors.previousIo = XSetIOErrorHandler(OnXConnectionLost);
}

// SDL puts its own first handler back as its video system ends; what it left is kept.
void ReleaseX11Errors() {
    if (!errors.catching) return;
    errors.catching = false;
    XErrorHandler now = XSetErrorHandler(errors.previous);
    if (now != OnXError) XSetErrorHandler(now);
    XIOErrorHandler nowIo = XSetIOErrorHandler(errors.previousIo);
    if (nowIo != OnXConnectionLost) XSetIOErrorHandler(nowIo);
}

bool TakeX11Failure() {
    if (!errors.code || errors.answered) return false;
    errors.answered = true;
    B().system.failed = true;
    RememberSdlWindow();
    if (errors.resource != 0 && errors.resource == errors.sdlWindow) {
        SetFailure("the window was destroyed by another program");
        return true;
    }
    char text[120] = "";
    XGetErrorText(errors.display, errors.code, text, sizeof text);
    SetFailure("the display %s refused a request (%s, request %d)", B().system.name, text, errors.request);
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

void MarkFullscreenForShowing(SDL_Window* window) {  // the one window, full screen as asked
    SDL_SysWMinfo info;
    if (!UnderSdl3() || !W().fullscreen || !X11Info(window, &info) ||
        !x11::MarkFullscreenWithoutWindowManager(info.info.x11.display, info.info.x11.window))
        return;
    // sdl2-compat has SDL 3 wait for each window operation to be answered, and the mark is only
    // seen once SDL reads events again: waiting, it would give up on the mode first (after 5 s).
    SDL_SetHint("SDL_VIDEO_SYNC_WINDOW_OPERATIONS", "0");
}

// What the tear-down asks of a window that another program destroyed fails later, when Xlib next
// reads the connection: that must still reach our handler, not the one SDL puts back as its
// video system ends. The window is no longer the backend's when it comes here.
void DestroySdlWindow(SDL_Window* window) {
    Display* display = X11ConnectionOf(window);
    SDL_DestroyWindow(window);
    if (display) XSync(display, False);
}

}  // namespace sdl2

using namespace sdl2;

bool driver::CreateImage(int width, int height, driver::Image* image) {
    SDL_SysWMinfo info;
    return X11Info(W().sdl, &info) &&
           x11::CreateSharedImage(info.info.x11.display, info.info.x11.window, width, height, image);
}

bool driver::PutImage() { return x11::PutSharedImage(); }
void driver::DestroyImage() { x11::DestroySharedImage(); }
