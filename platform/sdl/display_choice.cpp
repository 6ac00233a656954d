// Which display the window goes to, checked before the video system starts, so that a failed
// start names its true cause and SDL never falls back to drawing off screen; and one instance
// of the program per display.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
int instanceMark = -1;

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] ? value : nullptr;
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

// Connects once to see that the X server is there and takes us, and reads its colour depth.
bool ProbeX11(const char* name) {
    // libxcb writes to stderr why a server turned it away.
    StderrCapture refusal = CaptureStderr();
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name, &screenNumber);
    char said[200];
    EndCapture(&refusal, said, sizeof said);
    said[std::strcspn(said, "\r\n")] = '\0';
    int error = xcb_connection_has_error(connection);
    if (!error) {
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screen.rem; ++i) xcb_screen_next(&screen);
        if (screen.rem) L().displayDepth = screen.data->root_depth;
    }
    xcb_disconnect(connection);
    return error ? ExplainConnectionError(error, name, said) : true;
}

// An abstract socket named after the display: the kernel takes the name back when the last
// holder ends, however it ends, and it leaves nothing on disk.
bool MarkTheOnlyInstance(const char* display) {
    char name[sizeof(sockaddr_un::sun_path)];
    int length = std::snprintf(name, sizeof name, "%ctolvaren on %.*s", '\0', int(std::strcspn(display, ".")),
                               display);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name, size_t(length));
    instanceMark = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (instanceMark < 0) return true;  // no way to tell; better to run
    socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(length));
    if (bind(instanceMark, reinterpret_cast<sockaddr*>(&address), size) == 0) return true;
    bool taken = errno == EADDRINUSE;
    close(instanceMark);
    instanceMark = -1;
    if (taken) SetFailure("already running on %s", display);
    return !taken;
}
}  // namespace

// X11 when DISPLAY is set, else Wayland when WAYLAND_DISPLAY is; a driver the user names in
// SDL_VIDEODRIVER is taken as asked.
bool ChooseDisplay() {
    Layer& l = L();
    const char* asked = Env("SDL_VIDEODRIVER");
    const char* x11 = Env("DISPLAY");
    const char* wayland = Env("WAYLAND_DISPLAY");
    bool useX11 = asked ? std::strcmp(asked, "x11") == 0 : x11 != nullptr;
    bool useWayland = asked ? std::strcmp(asked, "wayland") == 0 : !x11 && wayland;
    if (!asked && !useX11 && !useWayland) {
        SetFailure("no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    if (useX11 && !x11) {
        SetFailure("no X display to open the window on: DISPLAY is not set");
        return false;
    }
    if (!asked) SDL_SetHint(SDL_HINT_VIDEODRIVER, useX11 ? "x11" : "wayland");
    l.x11 = useX11;
    std::snprintf(l.displayName, sizeof l.displayName, "%s",
                  useX11 ? x11 : useWayland ? (wayland ? wayland : "wayland-0") : "");
    if (useX11 && !ProbeX11(x11)) return false;
    return l.displayName[0] == '\0' || MarkTheOnlyInstance(l.displayName);
}

void ReleaseDisplay() {
    if (instanceMark >= 0) close(instanceMark);
    instanceMark = -1;
}

}  // namespace sdl_layer
