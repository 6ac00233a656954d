// An X server keeps the display mode a client set after the client is gone, so a program that
// dies where no handler sees it (SIGKILL, xkill, the out-of-memory killer, a crash) would leave
// the screen at 640 x 480. A small process of our own outlives the program for that case: it
// remembers the desktop's screen size and outputs before the switch and, unless the program says
// it gave them back itself, puts them back when the program goes away.
//
// Only X11 needs it: a Wayland compositor gives the mode back when its client goes, and so does
// Windows.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
constexpr char kRestored = 'R';
constexpr int kMaxCrtcs = 16, kMaxOutputs = 8;

struct Crtc {
    RRCrtc id;
    RRMode mode;
    int x, y;
    Rotation rotation;
    int outputCount;
    RROutput outputs[kMaxOutputs];
};

struct Desktop {
    int width, height, widthMm, heightMm;
    int crtcCount;
    Crtc crtcs[kMaxCrtcs];
};

int channel = -1;  // to the watcher; closes by itself if the program dies
pid_t watcher = -1;

bool ReadCrtc(Display* display, XRRScreenResources* resources, RRCrtc id, Crtc* crtc) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, id);
    if (!info) return false;
    *crtc = Crtc{id, info->mode, info->x, info->y, info->rotation, 0, {}};
    for (int i = 0; i < info->noutput && i < kMaxOutputs; ++i) crtc->outputs[crtc->outputCount++] = info->outputs[i];
    XRRFreeCrtcInfo(info);
    return true;
}

bool SameCrtc(const Crtc& a, const Crtc& b) {
    return a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation &&
           a.outputCount == b.outputCount &&
           std::memcmp(a.outputs, b.outputs, sizeof(RROutput) * size_t(a.outputCount)) == 0;
}

bool Snapshot(Display* display, Desktop* desktop) {
    int screen = DefaultScreen(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
    if (!resources) return false;
    *desktop = Desktop{DisplayWidth(display, screen), DisplayHeight(display, screen),
                       DisplayWidthMM(display, screen), DisplayHeightMM(display, screen), 0, {}};
    for (int i = 0; i < resources->ncrtc && desktop->crtcCount < kMaxCrtcs; ++i)
        if (ReadCrtc(display, resources, resources->crtcs[i], &desktop->crtcs[desktop->crtcCount])) ++desktop->crtcCount;
    XRRFreeScreenResources(resources);
    return true;
}

// Asked of the server: Xlib's own idea of the screen size is the one it had when it connected.
bool ScreenSizeIs(Display* display, Window root, int width, int height) {
    Window none;
    int x, y;
    unsigned int w = 0, h = 0, border, depth;
    XGetGeometry(display, root, &none, &x, &y, &w, &h, &border, &depth);
    return int(w) == width && int(h) == height;
}

// As xrandr does it: outputs that must change are turned off, the screen takes its size, and the
// outputs come back as they were. Whatever already matches is left alone.
void Restore(Display* display, const Desktop& desktop) {
    int screen = DefaultScreen(display);
    Window root = RootWindow(display, screen);
    XGrabServer(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    bool changed[kMaxCrtcs] = {};
    for (int i = 0; resources && i < desktop.crtcCount; ++i) {
        Crtc now;
        changed[i] = !ReadCrtc(display, resources, desktop.crtcs[i].id, &now) || !SameCrtc(now, desktop.crtcs[i]);
        if (changed[i] && now.mode != None)
            XRRSetCrtcConfig(display, resources, now.id, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
    }
    if (!ScreenSizeIs(display, root, desktop.width, desktop.height))
        XRRSetScreenSize(display, root, desktop.width, desktop.height, desktop.widthMm, desktop.heightMm);
    for (int i = 0; resources && i < desktop.crtcCount; ++i) {
        const Crtc& c = desktop.crtcs[i];
        if (changed[i] && c.mode != None)
            XRRSetCrtcConfig(display, resources, c.id, CurrentTime, c.x, c.y, c.mode, c.rotation,
                             const_cast<RROutput*>(c.outputs), c.outputCount);
    }
    if (resources) XRRFreeScreenResources(resources);
    XUngrabServer(display);
    XSync(display, False);
}

int EndQuietly(Display*) { _exit(0); }

// The watcher: no terminal, no output, deaf to the requests to end that reach the program, and
// gone as soon as the program is.
[[noreturn]] void Watch(const char* name, int fromProgram, int ready) {
    setsid();
    prctl(PR_SET_NAME, "tolvaren-watch");
    IgnoreEndRequests();
    int nothing = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; ++fd) dup2(nothing, fd);
    XSetIOErrorHandler(EndQuietly);
    Display* display = XOpenDisplay(name);
    Desktop desktop;
    bool watching = display && Snapshot(display, &desktop);
    char answer = watching ? 'Y' : 'N';
    (void)!write(ready, &answer, 1);
    close(ready);
    if (!watching) _exit(0);
    char said = 0;
    while (recv(fromProgram, &said, 1, 0) < 0 && errno == EINTR) {
    }
    if (said != kRestored) Restore(display, desktop);
    _exit(0);
}
}  // namespace

// Forks the watcher while the process has one thread, and waits until it holds the desktop's mode.
void WatchDesktop(const char* name) {
    int pair[2], ready[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
    if (pipe2(ready, O_CLOEXEC) != 0) {
        close(pair[0]);
        close(pair[1]);
        return;
    }
    watcher = fork();
    if (watcher == 0) {
        close(pair[0]);
        close(ready[0]);
        Watch(name, pair[1], ready[1]);
    }
    close(pair[1]);
    close(ready[1]);
    char answer = 'N';
    pollfd wait = {ready[0], POLLIN, 0};
    if (watcher > 0 && poll(&wait, 1, 3000) == 1) (void)!read(ready[0], &answer, 1);
    close(ready[0]);
    channel = pair[0];
    if (answer != 'Y') StopWatching(false);
}

// Tells the watcher whether the desktop is back already, and waits a moment for it to end.
void StopWatching(bool restored) {
    if (channel < 0) return;
    if (restored) send(channel, &kRestored, 1, MSG_NOSIGNAL);
    close(channel);
    channel = -1;
    for (int i = 0; i < 200 && waitpid(watcher, nullptr, WNOHANG) == 0; ++i) usleep(5000);
    watcher = -1;
}

}  // namespace sdl_layer
