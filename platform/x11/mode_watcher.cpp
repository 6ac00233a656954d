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

#include "platform/posix/end_requests.h"
#include "platform/services/services.h"
#include "platform/x11/mode_watcher.h"

namespace x11 {
using services::B;
using services::WindowSystem;

namespace {
constexpr char kRestored = 'R';

struct Watcher {
    int channel;  // to the watcher; closes by itself if the program dies
    pid_t pid;
};
Watcher watcher = {-1, -1};

bool SameCrtc(const Crtc& a, const Crtc& b) {
    return a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation &&
           a.outputCount == b.outputCount &&
           std::memcmp(a.outputs, b.outputs, sizeof a.outputs[0] * size_t(a.outputCount)) == 0;
}

const Crtc* FindCrtc(const Desktop& desktop, unsigned long id) {
    for (int i = 0; i < desktop.crtcCount; ++i)
        if (desktop.crtcs[i].id == id) return &desktop.crtcs[i];
    return nullptr;
}

bool ReadCrtc(Display* display, XRRScreenResources* resources, RRCrtc id, Crtc* crtc) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, id);
    if (!info) return false;
    *crtc = Crtc{id, info->mode, info->x, info->y, info->rotation, 0, {}};
    for (int i = 0; i < info->noutput && i < kMaxOutputs; ++i) crtc->outputs[crtc->outputCount++] = info->outputs[i];
    XRRFreeCrtcInfo(info);
    return true;
}

// Xlib's own idea of the screen size is the one it had when it connected: the root's is asked.
bool Snapshot(Display* display, Desktop* desktop) {
    int screen = DefaultScreen(display);
    Window root = RootWindow(display, screen), none;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return false;
    int x, y;
    unsigned int width = 0, height = 0, border, depth;
    XGetGeometry(display, root, &none, &x, &y, &width, &height, &border, &depth);
    *desktop = Desktop{int(width), int(height), DisplayWidthMM(display, screen), DisplayHeightMM(display, screen),
                       XRRGetOutputPrimary(display, root), 0, {}};
    for (int i = 0; i < resources->ncrtc && desktop->crtcCount < kMaxCrtcs; ++i)
        if (ReadCrtc(display, resources, resources->crtcs[i], &desktop->crtcs[desktop->crtcCount])) ++desktop->crtcCount;
    XRRFreeScreenResources(resources);
    return true;
}

void Restore(Display* display, const Desktop& before) {
    Window root = DefaultRootWindow(display);
    XGrabServer(display);
    Desktop now;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources && Snapshot(display, &now)) {
        RestorePlan plan = PlanRestore(before, now);
        for (int i = 0; i < before.crtcCount; ++i)
            if (plan.turnOff[i])
                XRRSetCrtcConfig(display, resources, before.crtcs[i].id, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
        if (plan.resize) XRRSetScreenSize(display, root, before.width, before.height, before.widthMm, before.heightMm);
        for (int i = 0; i < before.crtcCount; ++i) {
            const Crtc& c = before.crtcs[i];
            if (plan.putBack[i])
                XRRSetCrtcConfig(display, resources, c.id, CurrentTime, c.x, c.y, c.mode, Rotation(c.rotation),
                                 const_cast<RROutput*>(c.outputs), c.outputCount);
        }
        if (plan.primary) XRRSetOutputPrimary(display, root, before.primary);
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
    posix::IgnoreEndRequests();
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

RestorePlan PlanRestore(const Desktop& before, const Desktop& now) {
    RestorePlan plan = {};
    for (int i = 0; i < before.crtcCount; ++i) {
        const Crtc* current = FindCrtc(now, before.crtcs[i].id);
        bool changed = !current || !SameCrtc(*current, before.crtcs[i]);
        plan.turnOff[i] = changed && current && current->mode != 0;
        plan.putBack[i] = changed && before.crtcs[i].mode != 0;
    }
    plan.resize = before.width != now.width || before.height != now.height;
    plan.primary = before.primary != now.primary;
    return plan;
}

// Forks the watcher while the process has one thread, and waits until it holds the desktop's mode.
void WatchDesktop() {
    if (B().system.kind != WindowSystem::X11 || watcher.channel >= 0) return;
    int pair[2], ready[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return;
    if (pipe2(ready, O_CLOEXEC) != 0) {
        close(pair[0]);
        close(pair[1]);
        return;
    }
    watcher.pid = fork();
    if (watcher.pid == 0) {
        close(pair[0]);
        close(ready[0]);
        Watch(B().system.name, pair[1], ready[1]);
    }
    close(pair[1]);
    close(ready[1]);
    char answer = 'N';
    pollfd wait = {ready[0], POLLIN, 0};
    if (watcher.pid > 0 && poll(&wait, 1, 3000) == 1) (void)!read(ready[0], &answer, 1);
    close(ready[0]);
    watcher.channel = pair[0];
    if (answer != 'Y') StopWatching(false);
}

// Tells the watcher whether the desktop is back already, and waits a moment for it to end.
void StopWatching(bool restored) {
    if (watcher.channel < 0) return;
    if (restored) send(watcher.channel, &kRestored, 1, MSG_NOSIGNAL);
    close(watcher.channel);
    watcher.channel = -1;
    for (int i = 0; watcher.pid > 0 && i < 200 && waitpid(watcher.pid, nullptr, WNOHANG) == 0; ++i) usleep(5000);
    watcher.pid = -1;
}

}  // namespace x11
