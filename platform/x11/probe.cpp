// The start's probe of an X display: whether a server is there and takes us, its colour depth,
// and whether it is Xwayland.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <xcb/xcb.h>

#include <cstring>

#include "platform/posix/stderr_capture.h"
#include "platform/services/services.h"
#include "platform/x11/probe.h"

namespace x11 {
namespace {
using services::SetFailure;

// Xwayland only emulates a mode switch for its X clients, and the compositor scales the emulated
// mode to the output, whatever its shape. Up to Xwayland 22 the whole X screen took the mode; from
// Xwayland 23 on only the window does, while the X screen and the pointer's positions keep the
// output's size, and some compositors shrink the pointer's motion to the mode (mutter 48, KWin 6.7).
constexpr int kPerWindowModes = 12300000;  // Xwayland 23.0.0, as the X server numbers its release

bool IsXwayland(const char* name, Found* found) {
    Display* display = XOpenDisplay(name);
    if (!display) return false;
    int opcode = 0, event = 0, error = 0;  // Xwayland 23 and later name themselves by an extension
    bool xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &event, &error);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    for (int i = 0; resources && i < resources->noutput && !xwayland; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        xwayland = output && std::strncmp(output->name, "XWAYLAND", 8) == 0;
        if (output) XRRFreeOutputInfo(output);
    }
    if (resources) XRRFreeScreenResources(resources);
    if (xwayland && VendorRelease(display) >= kPerWindowModes) {
        found->screenWidth = DisplayWidth(display, DefaultScreen(display));
        found->screenHeight = DisplayHeight(display, DefaultScreen(display));
    }
    XCloseDisplay(display);
    return xwayland;
}

bool ExplainConnectionError(int error, const char* name, const char* refusal) {
    if (refusal[0]) {
        SetFailure("the display %s refused the connection: %s", name, refusal);
    } else if (error == XCB_CONN_CLOSED_PARSE_ERR) {
        SetFailure("DISPLAY=%s does not name a display", name);
    } else if (error == XCB_CONN_CLOSED_INVALID_SCREEN) {
        SetFailure("the display %s has no such screen", name);
    } else {
        SetFailure("cannot reach the display %s: no X server answers there", name);
    }
    return false;
}
}  // namespace

bool Probe(const char* name, Found* found) {
    // libxcb writes to stderr why a server turned it away.
    posix::StderrCapture refusal = posix::CaptureStderr();
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name, &screenNumber);
    char said[200];
    posix::EndCapture(&refusal, said, sizeof said);
    int error = xcb_connection_has_error(connection);
    if (!error) {
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screen.rem; ++i) xcb_screen_next(&screen);
        if (screen.rem) found->depth = screen.data->root_depth;
    }
    xcb_disconnect(connection);
    if (error) return ExplainConnectionError(error, name, posix::FirstLine(said));
    found->xwayland = IsXwayland(name, found);
    return true;
}

}  // namespace x11
