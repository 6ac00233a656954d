// Xlib's error handlers, set once and released once.
#include "platform/x11/errors.h"

#include <unistd.h>

#include <cstdio>

#include "platform/services/services.h"

namespace x11 {
namespace {
using services::B;

struct Errors {
    bool catching;
    XErrorHandler previous;
    XIOErrorHandler previousIo;
    int code;  // the first error's
    unsigned long resource;
    unsigned char request;
    Display* display;
    bool answered;
    Display* connection;  // the driver's, once its window is known
    Window window;
    Display* quiet;       // errors on it are only counted, while RunsWithoutErrors runs
    int quietErrors;
};
Errors errors;

// Records the first error and returns: a library's own handler may call back into Xlib from
// here, which deadlocks on the lock Xlib holds while it reports the error.
int OnXError(Display* display, XErrorEvent* error) {
    if (display == errors.quiet) return ++errors.quietErrors, 0;
    if (errors.connection && errors.connection != display)
        return errors.previous ? errors.previous(display, error) : 0;
    if (!errors.code) {
        errors.display = display;
        errors.resource = error->resourceid;
        errors.request = error->request_code;
        errors.code = error->error_code ? error->error_code : 255;
    }
    return 0;
}

// Nothing of the window system can be released any more: the watcher gives the desktop its mode
// back, and the server ends the grabs of a client that is gone.
[[noreturn]] void EndAtOnce(const char* why) {
    char line[200];
    int length = std::snprintf(line, sizeof line, "tolvaren: %s\n", why);
    (void)!write(STDERR_FILENO, line, size_t(length));
    _exit(1);
}

int OnXConnectionLost(Display*) {
    char why[120];
    std::snprintf(why, sizeof why, "lost the connection to the display %s", B().system.name);
    EndAtOnce(why);
}
}  // namespace

void CatchErrors() {
    if (B().system.kind != services::WindowSystem::X11 || errors.catching) return;
    errors = Errors{};
    errors.catching = true;
    errors.previous = XSetErrorHandler(OnXError);
    errors.previousIo = XSetIOErrorHandler(OnXConnectionLost);
}

void ReleaseErrors() {
    if (!errors.catching) return;
    errors.catching = false;
    XErrorHandler now = XSetErrorHandler(errors.previous);
    if (now != OnXError) XSetErrorHandler(now);
    XIOErrorHandler nowIo = XSetIOErrorHandler(errors.previousIo);
    if (nowIo != OnXConnectionLost) XSetIOErrorHandler(nowIo);
}

void RememberWindow(Display* display, Window window) {
    errors.connection = display;
    errors.window = window;
}

void EndForDestroyedWindow(Window window) {
    if (window == 0 || window != errors.window) return;
    EndAtOnce("the window was destroyed by another program");
}

bool TakeErrorFailure() {
    if (!errors.code || errors.answered) return false;
    errors.answered = true;
    if (errors.resource != 0 && errors.resource == errors.window) {
        services::SetFailure("the window was destroyed by another program");
        return true;
    }
    char text[120] = "";
    XGetErrorText(errors.display, errors.code, text, sizeof text);
    services::SetFailure("the display %s refused a request (%s, request %d)", B().system.name, text, errors.request);
    return true;
}

// Without the program's handler in place (the tests' own use), one is set for the while.
bool RunsWithoutErrors(Display* display, void (*during)(Display*)) {
    XErrorHandler before = errors.catching ? nullptr : XSetErrorHandler(OnXError);
    errors.quiet = display;
    errors.quietErrors = 0;
    during(display);
    XSync(display, False);
    errors.quiet = nullptr;
    if (!errors.catching) XSetErrorHandler(before);
    return errors.quietErrors == 0;
}

}  // namespace x11
