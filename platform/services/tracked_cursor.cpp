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

namespace {
// So many of `to` for each `from`, the remainder carried to the next motion.
int Scaled(int delta, int to, int from, LONG* carried) {
    if (from <= 0 || to <= 0) return delta;
    long long total = static_cast<long long>(delta) * to + *carried, whole = total / from;
    *carried = LONG(total - whole * from);
    return int(whole);
}
}  // namespace

void TrackMotion(int dx, int dy) {
    if (!cursor.relative) return;
    dx = Scaled(dx, cursor.motionTo.width, cursor.motionFrom.width, &cursor.carried.x);
    dy = Scaled(dy, cursor.motionTo.height, cursor.motionFrom.height, &cursor.carried.y);
    MoveTrackedTo(cursor.tracked.x + dx, cursor.tracked.y + dy);
}

POINT TrackedCursor() { return cursor.tracked; }

void ForgetCursor() { cursor = Cursor{}; }

}  // namespace services
