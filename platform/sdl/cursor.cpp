// The cursor services. While the cursor is hidden over the shown window, positions come from
// relative motion: the pointer stays with the window and every pixel of movement counts.
#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
struct Cursor {
    int count;      // the display counter: the cursor is hidden while it is below zero
    bool relative;  // hidden over our window: positions come from relative motion
    POINT tracked;  // the position reported while relative
};
Cursor cursor;

// Where the pointer stands. A Wayland client learns that only once the pointer is over its window
// (until then SDL answers 0, 0): where it cannot be known, it stands at the centre.
POINT PointerPosition() {
    if (!SDL_GetMouseFocus() && B().system.kind == WindowSystem::Wayland)
        return {B().window.width / 2, B().window.height / 2};
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

// Like a real cursor, the tracked one stops at the edges of the screen.
void MoveTrackedTo(int x, int y) {
    cursor.tracked.x = SDL_clamp(x, 0, B().window.width - 1);
    cursor.tracked.y = SDL_clamp(y, 0, B().window.height - 1);
}
}  // namespace

void ApplyCursorState() {
    if (!B().system.started) return;
    SDL_Window* window = B().window.sdl;
    bool hidden = cursor.count < 0;
    bool relative = hidden && window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    if (relative && !cursor.relative) cursor.tracked = PointerPosition();  // the first frame turns by it
    if (relative != cursor.relative) SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
    // Leaving relative mode, SDL puts the pointer where it last saw it: it goes where the
    // program left it instead, as on Windows.
    if (!relative && cursor.relative) SDL_WarpMouseGlobal(cursor.tracked.x, cursor.tracked.y);
    cursor.relative = relative;
    SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE);
}

void TrackMotion(int dx, int dy) {
    if (cursor.relative) MoveTrackedTo(cursor.tracked.x + dx, cursor.tracked.y + dy);
}

// The motion that has arrived up to now, not only what the last poll took in.
void AbsorbMotion() {
    SDL_PumpEvents();
    SDL_Event motion[32];
    int count;
    while ((count = SDL_PeepEvents(motion, 32, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION)) > 0)
        for (int i = 0; i < count; ++i) TrackMotion(motion[i].motion.xrel, motion[i].motion.yrel);
}

POINT TrackedCursor() { return cursor.tracked; }

void ForgetCursor() { cursor = Cursor{}; }

}  // namespace sdl_layer

using namespace sdl_layer;

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!B().system.started) return FALSE;
    if (cursor.relative) AbsorbMotion();
    *point = cursor.relative ? cursor.tracked : PointerPosition();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    if (!B().system.started) return FALSE;
    if (!cursor.relative) return SDL_WarpMouseGlobal(x, y) == 0;
    MoveTrackedTo(x, y);
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    cursor.count += show ? 1 : -1;
    ApplyCursorState();
    return cursor.count;
}
