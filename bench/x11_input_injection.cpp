// The latency's input, sent through XTest on a connection of the injector thread's own.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <random>
#include <thread>

#include "bench/bench.h"

namespace bench {
namespace {

void WaitForPhase(int phase) {
    while (latency.phase != phase) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void Send(Display* display, Input input, bool undo) {
    if (input == Input::Key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_End), undo ? False : True, CurrentTime);
    else
        XTestFakeRelativeMotionEvent(display, undo ? 40 : -40, 0, CurrentTime);
    XFlush(display);
}

}  // namespace

void PrepareInputInjection() { XInitThreads(); }

// Touches nothing until the program's first frame, so that the watcher process the program forks
// at its start finds no lock held by this thread.
void Inject(Input input) {
    while (!latency.started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Display* display = XOpenDisplay(nullptr);
    std::mt19937 random(input == Input::Key ? 1 : 2);
    std::uniform_real_distribution<double> phase(0.0, kRefreshMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int i = 0; i < kInputs; ++i) {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(2 * kRefreshMs + phase(random)));
        latency.sentAt = Clock::now();
        latency.phase = kSent;
        Send(display, input, false);
        WaitForPhase(kShown);
        latency.phase = kUndone;
        Send(display, input, true);
        WaitForPhase(kSettled);
    }
    KeyCode escape = XKeysymToKeycode(display, XK_Escape);
    XTestFakeKeyEvent(display, escape, True, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    XTestFakeKeyEvent(display, escape, False, CurrentTime);
    XCloseDisplay(display);
}

}  // namespace bench
