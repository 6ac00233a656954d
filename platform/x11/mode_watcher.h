// X11 only: the watcher, a process that gives the desktop its outputs back should the program die
// without doing so; its record of the desktop's outputs, and its choice of what to put back.
// Identifiers are XRandR's.
#pragma once

namespace x11 {

// Started while the process still has one thread, on the display the services run on; stopped
// with whether the desktop is back already.
void WatchDesktop();
void StopWatching(bool restored);

constexpr int kMaxCrtcs = 16, kMaxOutputs = 8;

struct Crtc {
    unsigned long id, mode;  // mode 0: off
    int x, y;
    unsigned short rotation;
    int outputCount;
    unsigned long outputs[kMaxOutputs];
};

struct Desktop {
    int width, height, widthMm, heightMm;
    unsigned long primary;  // output, or 0 when none is marked
    int crtcCount;
    Crtc crtcs[kMaxCrtcs];
};

// What puts `before` back on a screen that is now `now`, as xrandr does it: the CRTCs that
// differ are turned off if on, the screen takes its size, and they come back as they were.
// Whatever already matches is left alone.
struct RestorePlan {
    bool turnOff[kMaxCrtcs];  // indexed as before.crtcs
    bool resize;
    bool putBack[kMaxCrtcs];
    bool primary;
};
RestorePlan PlanRestore(const Desktop& before, const Desktop& now);

}  // namespace x11
