// The ways the program is told to end besides its own keys: requests to end by signal, and a
// window system that fails it. Neither handler calls into the window system: each only records
// what happened, and the next poll turns it into a close request, so the program ends through
// its own tear-down.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
// What a terminal, a shell, a session manager or a resource limit sends to end a program.
const int kEndRequests[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE, SIGALRM,   SIGTERM,
                            SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
constexpr size_t kEndRequestCount = sizeof kEndRequests / sizeof kEndRequests[0];
struct sigaction previous[kEndRequestCount];
bool catching = false;
volatile sig_atomic_t requested = 0;  // the first request's signal
bool closeAsked = false;              // a close request has gone out for it

volatile sig_atomic_t windowSystemError = 0;  // the first X error's code
unsigned long failedResource = 0;
unsigned char failedRequest = 0;
Display* failedDisplay = nullptr;
bool failureAnswered = false;

void OnEndRequest(int signal) {
    if (!requested) requested = signal;
}

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

unsigned long OurXWindow() {
    SDL_SysWMinfo info;
    return X11Info(L().window, &info) ? info.info.x11.window : 0;
}

void ExplainWindowSystemError() {
    if (failedResource != 0 && failedResource == OurXWindow()) {
        SetFailure("the window was destroyed by another program");
        return;
    }
    char text[120] = "";
    XGetErrorText(failedDisplay, windowSystemError, text, sizeof text);
    SetFailure("the display %s refused a request (%s, request %d)", L().displayName, text, failedRequest);
}
}  // namespace

void CatchEndRequests(bool on) {
    if (on == catching) return;
    catching = on;
    if (on) requested = 0, closeAsked = false;
    for (size_t i = 0; i < kEndRequestCount; ++i) {
        if (!on) {
            sigaction(kEndRequests[i], &previous[i], nullptr);
            continue;
        }
        sigaction(kEndRequests[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN) continue;  // as under nohup: stays ignored
        struct sigaction action = {};
        action.sa_handler = OnEndRequest;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(kEndRequests[i], &action, nullptr);
    }
}

void CatchWindowSystemErrors() {
    windowSystemError = 0;
    failureAnswered = false;
    XSetErrorHandler(OnXError);  // in place of SDL's, which calls back into Xlib and hangs
    XSetIOErrorHandler(OnXConnectionLost);
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

bool TakeCloseRequest() {
    if (windowSystemError && !failureAnswered) {
        failureAnswered = true;
        L().failed = true;
        ExplainWindowSystemError();
        return true;
    }
    if (requested && !closeAsked) return closeAsked = true;
    return false;
}

// SIGINT and SIGTERM are the ordinary ways to close the program and end it with 0, as a close
// request does; any other request ends the process by its own signal, for the parent to see.
void EndAsRequested() {
    int signal = requested;
    if (!signal || signal == SIGINT || signal == SIGTERM) return;
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
}

}  // namespace sdl_layer
