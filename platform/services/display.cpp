// The display mode and the window's services: the switch is asked for before the window exists,
// and happens when the full-screen window appears; the way back hides the window first.
#include "platform/services/driver.h"
#include "platform/services/services.h"

namespace services {
namespace {
struct Modes {
    driver::Mode list[256];
    int count;
};
Modes modes;

// Of exactly this size, with at least these bits: the first the driver lists.
bool FindMode(int width, int height, int bits, driver::Mode* found) {
    for (int i = 0; i < modes.count; ++i) {
        const driver::Mode& mode = modes.list[i];
        if (mode.width == width && mode.height == height && mode.bits >= bits) return *found = mode, true;
    }
    return false;
}

LONG RefuseMode(int width, int height, int bits) {
    driver::Mode desktop = driver::DesktopMode();
    SetFailure("cannot switch the display to %d x %d at %d bits per pixel: the display offers no such mode "
               "(its desktop is %d x %d at %d)",
               width, height, bits, desktop.width, desktop.height, desktop.bits ? desktop.bits : B().system.depth);
    return DISP_CHANGE_BADMODE;
}

// Hidden first, so that no window is ever seen on the desktop: hiding a full-screen window gives
// the display its desktop mode back.
LONG RestoreDesktopMode() {
    B().window.fullscreenPending = false;
    if (driver::HasWindow()) driver::LeaveFullscreen();
    return DISP_CHANGE_SUCCESSFUL;
}
}  // namespace

bool SwitchTheModeInstead() {
    FullscreenWindow& window = B().window;
    window.picture = false;
    window.shaped = driver::Mode{};
    if (window.mode.width == 0) {
        SetFailure("cannot show a %d x %d picture: OpenGL here has no framebuffer objects, and the display offers "
                   "no such mode", window.asked.width, window.asked.height);
        return false;
    }
    return driver::SwitchMode(window.mode);
}

}  // namespace services

using namespace services;

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (!mode) return RestoreDesktopMode();
    FullscreenWindow& window = B().window;
    if (!B().system.started) return DISP_CHANGE_FAILED;
    int width = int(mode->dmPelsWidth), height = int(mode->dmPelsHeight), bits = int(mode->dmBitsPerPel);
    // Where the picture stands in for the switch, the monitor need not offer the mode.
    window.mode = window.shaped = driver::Mode{};
    window.picture = PictureWanted();
    modes.count = driver::DisplayModes(modes.list, int(sizeof modes.list / sizeof modes.list[0]));
    if (!FindMode(width, height, bits, &window.mode) && !window.picture) return RefuseMode(width, height, bits);
    if (window.picture && !B().system.keepsOutputSize)
        window.shaped = ModeOfTheOutputsShape(modes.list, modes.count, MonitorSize(), {width, height}, bits);
    RememberPointerBeforeTheSwitch({width, height});
    window.fullscreenPending = true;  // the switch happens when the full-screen window appears
    const driver::Mode& to = window.picture ? window.shaped : window.mode;
    if (driver::HasWindow() && to.width && !driver::SetWindowMode(to)) return DISP_CHANGE_FAILED;
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    if (!IsOurWindow(handle)) return FALSE;
    B().window.created = false;
    driver::DestroyWindow();
    ApplyCursorState();
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    if (!IsOurWindow(handle) || !driver::HasWindow()) return FALSE;
    bool wasVisible = driver::WindowShown();
    driver::ShowWindow(showCommand != SW_HIDE);
    ApplyCursorState();
    return wasVisible;
}

BOOL WINAPI SetForegroundWindow(HWND handle) {
    if (!IsOurWindow(handle) || !driver::HasWindow()) return FALSE;
    driver::RaiseWindow();
    return TRUE;
}

HWND WINAPI SetFocus(HWND handle) {
    if (!IsOurWindow(handle) || !driver::HasWindow()) return nullptr;
    driver::FocusWindow();
    return handle;
}
