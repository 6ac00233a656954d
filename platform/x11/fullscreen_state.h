// X11 only: a full-screen window's state where no window manager keeps it.
#pragma once

#include <X11/Xlib.h>

namespace x11 {

// Where no window manager runs, marks the window full screen in its _NET_WM_STATE, as a window
// manager answers a client's request: SDL 3 waits for that answer, and gives the display its mode
// back when none comes. True when it marked it; false where a window manager runs.
bool MarkFullscreenWithoutWindowManager(Display* display, Window window);

// A library gives the display its desktop mode back before it unmaps a full-screen window, and a
// window manager then stretches the window over the desktop for a moment: unmapped first (waited
// for, up to 200 ms), the window is never seen off its own mode.
void UnmapBeforeTheModeReturns(Display* display, Window window);

}  // namespace x11
