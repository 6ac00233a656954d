// The driver's pointer over SDL's mouse.
#include "platform/services/driver.h"
#include "platform/drivers/sdl2/sdl2_driver.h"

namespace sdl2 {

// A Wayland seat may gain its pointer only after relative mode was asked for (a pointing device
// that appears later, as in a remote or headless session). SDL then falls back to reading motion
// from the pointer's positions in the window, which the compositor scales with a full-screen
// window's picture and stops at its edges: once the pointer is over the window, it is asked again.
// SDL 3 (under sdl2-compat) locks it again itself; asked anew, it lost the motion meanwhile on
// mutter 50 and sent weston 14 a cursor hint that made it abort.
void RelockPointer() {
    if (!TheCursor().relative || B().system.kind != WindowSystem::Wayland || UnderSdl3()) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    SDL_SetRelativeMouseMode(SDL_TRUE);
}

// SDL 2's own mouse is always number 0.
bool IsDeviceMotion(const SDL_MouseMotionEvent& motion) { return motion.which != 0 || !UnderSdl3(); }

}  // namespace sdl2

using namespace sdl2;

driver::Bounds driver::MonitorBounds() {
    SDL_Rect bounds = {0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &bounds);
    return {bounds.x, bounds.y, bounds.w, bounds.h};
}

// A Wayland client learns where the pointer is only once it is over its window (until then SDL
// answers 0, 0).
bool driver::PointerKnown() { return SDL_GetMouseFocus() || B().system.kind != WindowSystem::Wayland; }
void driver::GlobalPointer(int* x, int* y) { SDL_GetGlobalMouseState(x, y); }
bool driver::WarpPointer(int x, int y) { return SDL_WarpMouseGlobal(x, y) == 0; }
void driver::SetRelativePointer(bool on) { SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE); }
void driver::ShowPointer(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

int driver::TakeMotion(driver::Motion* motions, int most) {
    SDL_PumpEvents();
    SDL_Event taken[64];
    int count = SDL_PeepEvents(taken, most < 64 ? most : 64, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION), kept = 0;
    for (int i = 0; i < count; ++i)
        if (IsDeviceMotion(taken[i].motion)) motions[kept++] = {taken[i].motion.xrel, taken[i].motion.yrel};
    return kept;
}
