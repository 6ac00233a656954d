// The cursor services. While the cursor is hidden over the shown window, positions come from
// relative motion: the pointer stays with the window and every pixel of movement counts.
#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
Cursor& cursor = TheCursor();

// Where the pointer stands on the program's monitor of this size: a pointer on another monitor
// counts as the nearest point of it. A Wayland client learns where the pointer is only once it is
// over its window (until then SDL answers 0, 0): where it cannot be known, it stands at the centre.
// On a monitor that shows the program's picture, positions are the picture's.
POINT PointerPosition(Size monitor) {
    if (!SDL_GetMouseFocus() && B().system.kind == WindowSystem::Wayland)
        return {monitor.width / 2, monitor.height / 2};
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    POINT origin = B().system.origin;
    POINT at = {x - origin.x, y - origin.y};
    if (monitor.width <= 0 || monitor.height <= 0) return at;  // no window yet
    if (B().window.picture) at = PictureFromOutput(monitor, at);
    return {SDL_clamp(at.x, 0, monitor.width - 1), SDL_clamp(at.y, 0, monitor.height - 1)};
}

POINT PointerPosition() { return PointerPosition(B().window.client); }

BOOL WarpTo(POINT at) {
    if (B().window.picture) at = OutputFromPicture(B().window.client, at);
    POINT origin = B().system.origin;
    return SDL_WarpMouseGlobal(origin.x + at.x, origin.y + at.y) == 0;
}

}  // namespace

void ApplyCursorState() {
    if (!B().system.started) return;
    SDL_Window* window = W().sdl;
    CursorStep step = NextCursorStep(cursor, window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN));
    if (step.trackFrom != TrackFrom::Nowhere)
        cursor.tracked = step.trackFrom == TrackFrom::BeforeTheSwitch ? cursor.beforeSwitch : PointerPosition();
    if (step.trackFrom == TrackFrom::BeforeTheSwitch) cursor.switched = false;
    if (step.changeMode) SDL_SetRelativeMouseMode(step.relative ? SDL_TRUE : SDL_FALSE);
    // SDL would put the pointer where it last saw it.
    if (step.warpToTracked) WarpTo(cursor.tracked);
    cursor.relative = step.relative;
    SDL_ShowCursor(step.showPointer ? SDL_ENABLE : SDL_DISABLE);
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

void RememberPointerBeforeTheSwitch(Size monitor) {
    cursor.beforeSwitch = PointerPosition(monitor);
    cursor.switched = true;
}

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
