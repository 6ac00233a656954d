// The cursor services. While the cursor is hidden over the shown window, positions come from
// relative motion: the pointer stays with the window and every pixel of movement counts.
#include "platform/services/driver.h"
#include "platform/services/services.h"

namespace services {
namespace {
Cursor& cursor = TheCursor();


// What the picture is shown on: its window, which covers the monitor, or the monitor before it.
// A window manager may keep the window at the monitor's size in another mode.
Size PictureOutput() {
    Size window = {0, 0};
    if (driver::HasWindow()) driver::DrawableSize(&window.width, &window.height);
    return window.width > 0 && window.height > 0 ? window : MonitorSize();
}

// What the pointer's positions span where the picture is shown: the picture's output, or the X
// screen where an emulated mode is the window's alone.
Size PointerSpace() {
    Size screen = B().system.screen;
    return screen.width > 0 && screen.height > 0 ? screen : PictureOutput();
}

// Where the pointer stands on the program's monitor of this size: a pointer on another monitor
// counts as the nearest point of it; where the driver cannot know, at the centre. On a monitor
// that shows the program's picture, positions are the picture's.
POINT PointerPosition(Size monitor) {
    if (!driver::PointerKnown()) return {monitor.width / 2, monitor.height / 2};
    int x = 0, y = 0;
    driver::GlobalPointer(&x, &y);
    POINT at = {x - B().system.origin.x, y - B().system.origin.y};
    if (monitor.width <= 0 || monitor.height <= 0) return at;  // no window yet
    if (B().window.picture) at = PictureFromOutput(monitor, PointerSpace(), at);
    return {Clamp(at.x, 0, monitor.width - 1), Clamp(at.y, 0, monitor.height - 1)};
}

POINT PointerPosition() { return PointerPosition(B().window.client); }

BOOL WarpTo(POINT at) {
    if (B().window.picture) at = OutputFromPicture(B().window.client, PointerSpace(), at);
    return driver::WarpPointer(B().system.origin.x + at.x, B().system.origin.y + at.y);
}

// Motion as the output has it, at the window's size now: a compositor may give the window
// another size than the mode it asked for after it was shown.
void FollowTheWindowsSize() {
    Size from = PictureOutput(), to = B().window.picture ? PointerSpace() : from;
    bool same = from.width == cursor.motionFrom.width && from.height == cursor.motionFrom.height &&
                to.width == cursor.motionTo.width && to.height == cursor.motionTo.height;
    if (!same) cursor.carried = POINT{0, 0};  // a remainder of the old scale means nothing in the new
    cursor.motionFrom = from;
    cursor.motionTo = to;
}

// The motion that has arrived up to now, not only what the last poll took in.
void AbsorbMotion() {
    FollowTheWindowsSize();
    driver::Motion motions[64];
    for (int i = 0, count = driver::TakeMotion(motions, 64); i < count; ++i) TrackMotion(motions[i].dx, motions[i].dy);
}
}  // namespace

Size MonitorSize() {
    driver::Bounds bounds = driver::MonitorBounds();
    return {bounds.width, bounds.height};
}

void ApplyCursorState() {
    if (!B().system.started) return;
    CursorStep step = NextCursorStep(cursor, driver::WindowShown());
    if (step.trackFrom != TrackFrom::Nowhere)
        cursor.tracked = step.trackFrom == TrackFrom::BeforeTheSwitch ? cursor.beforeSwitch : PointerPosition();
    if (step.trackFrom == TrackFrom::BeforeTheSwitch) cursor.switched = false;
    if (step.relative) FollowTheWindowsSize();
    if (step.changeMode) driver::SetRelativePointer(step.relative);
    // The driver would put the pointer where it last saw it.
    if (step.warpToTracked) WarpTo(cursor.tracked);
    cursor.relative = step.relative;
    driver::ShowPointer(step.showPointer);
}

void RememberPointerBeforeTheSwitch(Size monitor) {
    cursor.beforeSwitch = PointerPosition(monitor);
    cursor.switched = true;
}

}  // namespace services

using namespace services;

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!B().system.started) return FALSE;
    if (cursor.relative) AbsorbMotion();
    *point = cursor.relative ? cursor.tracked : PointerPosition();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    if (!B().system.started) return FALSE;
    if (!cursor.relative) return WarpTo({x, y});
    MoveTrackedTo(x, y);
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    cursor.count += show ? 1 : -1;
    ApplyCursorState();
    return cursor.count;
}
