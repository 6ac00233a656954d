// The tracked cursor: while the cursor is hidden over the shown window, positions come from
// relative motion, and like a real cursor it stops at the edges of the screen.
#include "platform/services/services.h"

namespace services {
namespace {
Cursor cursor;
}  // namespace

Cursor& TheCursor() { return cursor; }

CursorStep NextCursorStep(const Cursor& now, bool windowShown) {
    bool hidden = now.count < 0;
    bool relative = hidden && windowShown;
    CursorStep step = {relative, relative != now.relative, TrackFrom::Nowhere, !relative && now.relative, !hidden};
    if (relative && !now.relative) step.trackFrom = now.switched ? TrackFrom::BeforeTheSwitch : TrackFrom::ThePointer;
    return step;
}

void MoveTrackedTo(int x, int y) {
    cursor.tracked.x = Clamp(x, 0, B().window.client.width - 1);
    cursor.tracked.y = Clamp(y, 0, B().window.client.height - 1);
}

void TrackMotion(int dx, int dy) {
    if (cursor.relative) MoveTrackedTo(cursor.tracked.x + dx, cursor.tracked.y + dy);
}

POINT TrackedCursor() { return cursor.tracked; }

void ForgetCursor() { cursor = Cursor{}; }

}  // namespace services
