#include "platform/x11/fullscreen_state.h"

#include <X11/Xatom.h>
#include <unistd.h>

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

Bool IsUnmapOf(Display*, XEvent* event, XPointer window) {
    return event->type == UnmapNotify && event->xunmap.window == *reinterpret_cast<Window*>(window);
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

void UnmapBeforeTheModeReturns(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!display || !XGetWindowAttributes(display, window, &attributes) || attributes.map_state == IsUnmapped) return;
    XWithdrawWindow(display, window, DefaultScreen(display));
    XEvent unmapped;
    for (int i = 0; i < 100 && !XCheckIfEvent(display, &unmapped, IsUnmapOf, reinterpret_cast<XPointer>(&window)); ++i) {
        XSync(display, False);
        usleep(2000);
    }
}

}  // namespace x11
