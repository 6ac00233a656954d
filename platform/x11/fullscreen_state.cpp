#include "platform/x11/fullscreen_state.h"

#include <X11/Xatom.h>

namespace x11 {
namespace {
// A window manager names its own window on the root, as the desktop's conventions ask.
bool WindowManagerRuns(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* value = nullptr;
    int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                                    &count, &left, &value);
    if (value) XFree(value);
    return status == Success && count == 1;
}
}  // namespace

bool MarkFullscreenWithoutWindowManager(Display* display, Window window) {
    if (!display || WindowManagerRuns(display)) return false;
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&fullscreen),
                    1);
    XFlush(display);
    return true;
}

}  // namespace x11
