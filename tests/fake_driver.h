// A driver for the services' tests: events as the test queues them, a layout as it sets it, and
// a pointer, a monitor and a window that stand still.
#pragma once

#include <deque>

#include "platform/services/driver.h"

struct FakeDriver {
    std::deque<driver::Event> events;
    int symbols[driver::kPositions];  // what each position stands for in the layout now
    bool failed;
    driver::Bounds monitor;
    int pointerX, pointerY;
    bool shown, relative, pointerShown;
    driver::Mode modes[8];  // the display's, as the driver lists them
    int modeCount;
    bool hasWindow;
    driver::WindowPlan plan;  // the last window made
    driver::Mode windowMode;  // what the window was last told to switch to
    int switches;             // SwitchMode calls
};
extern FakeDriver fake;

constexpr int kQ = driver::kPositionA + ('q' - 'a');

// A US layout, or one whose letter block types the letters of another script from `first` on.
void Layout(int first = 'a');
void Push(driver::EventKind kind, int a = 0, int b = 0);  // dx, dy or width, height
void PushKey(bool down, int symbol, int position, bool alt = false);
