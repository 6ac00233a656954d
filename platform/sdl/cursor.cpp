// The cursor services. While the cursor is hidden over the shown window, positions come from
// relative motion: the pointer stays with the window and every pixel of movement counts.
#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
struct Cursor {
    int count;      // the display counter: the cursor is hidden while it is below zero
    bool relative;  // hidden over our window: positions come from relative motion
    POINT tracked;  // the position reported while relative
    bool switched;       // the display switched, with the pointer read just before, for the first frame
    POINT beforeSwitch;
};
Cursor cursor;

// Where the pointer stands on the program's monitor of this size: a pointer on another monitor
// counts as the nearest point of it. A Wayland client learns where the pointer is only once it is
// over its window (until then SDL answers 0, 0): where it cannot be known, it stands at the centre.
// On a monitor that shows the program's picture, positions are the picture's.
POINT PointerPosition(Size monitor) {
    if (!SDL_GetMouseFocus() && B().system.kind == WindowSystem::Wayland)
        return {monitor.width / 2, monitor.height / 2};
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_Point origin = B().system.origin;
    POINT at = {x - origin.x, y - origin.y};
    if (monitor.width <= 0 || monitor.height <= 0) return at;  // no window yet
    if (B().window.picture) at = PictureFromOutput(monitor, at);
    return {SDL_clamp(at.x, 0, monitor.width - 1), SDL_clamp(at.y, 0, monitor.height - 1)};
}

POINT PointerPosition() { return PointerPosition(B().window.client); }

BOOL WarpTo(POINT at) {
    if (B().window.picture) at = OutputFromPicture(B().window.client, at);
    SDL_Point origin = B().system.origin;
    return SDL_WarpMouseGlobal(origin.x + at.x, origin.y + at.y) == 0;
}

// Like a real cursor, the tracked one stops at the edges of the screen.
void MoveTrackedTo(int x, int y) {
    cursor.tracked.x = SDL_clamp(x, 0, B().window.client.width - 1);
    cursor.tracked.y = SDL_clamp(y, 0, B().window.client.height - 1);
}
}  // namespace

void ApplyCursorState() {
    if (!B().system.started) return;
    SDL_Window* window = B().window.sdl;
    bool hidden = cursor.count < 0;
    bool relative = hidden && window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    if (relative && !cursor.relative) {  // the first frame turns by where the pointer stood
        cursor.tracked = cursor.switched ? cursor.beforeSwitch : PointerPosition();
        cursor.switched = false;
    }
    if (relative != cursor.relative) SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
    // Leaving relative mode, SDL puts the pointer where it last saw it: it goes where the
    // program left it instead, as on Windows.
    if (!relative && cursor.relative) WarpTo(cursor.tracked);
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

// A Wayland seat may gain its pointer only after relative mode was asked for (a pointing device
// that appears later, as in a remote or headless session). SDL then falls back to reading motion
// from the pointer's positions in the window, which the compositor scales with a full-screen
// window's picture and stops at its edges: once the pointer is over the window, it is asked again.
void RelockPointer() {
    if (!cursor.relative || B().system.kind != WindowSystem::Wayland) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_SetRelativeMouseMode(SDL_TRUE);
}

POINT TrackedCursor() { return cursor.tracked; }

void RememberPointerBeforeTheSwitch(Size monitor) {
    cursor.beforeSwitch = PointerPosition(monitor);
    cursor.switched = true;
}

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
    if (!cursor.relative) return WarpTo({x, y});
    MoveTrackedTo(x, y);
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    cursor.count += show ? 1 : -1;
    ApplyCursorState();
    return cursor.count;
}
