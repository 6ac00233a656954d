// The watcher's record of the desktop's outputs, and its choice of what to put back; private to
// the SDL backend and its tests. Identifiers are XRandR's.
#pragma once

#ifndef TOLVAREN_SDL_BACKEND
#error "platform/sdl/x11_mode_watcher.h is private to the SDL backend"
#endif

namespace sdl_layer {

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

}  // namespace sdl_layer
