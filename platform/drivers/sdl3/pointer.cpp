// The driver's pointer over SDL's mouse.
#include <cmath>

#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/services/driver.h"

namespace sdl3 {

// SDL reports where its own pointer stands in the window as motion of mouse 0 too, as the pointer
// enters and while relative mode waits for the window's focus, which moves no device.
bool IsDeviceMotion(const SDL_MouseMotionEvent& motion) {
    return motion.which != 0 && motion.which != SDL_TOUCH_MOUSEID && motion.which != SDL_PEN_MOUSEID;
}

}  // namespace sdl3

using namespace sdl3;

driver::Bounds driver::MonitorBounds() {
    SDL_Rect bounds = {0, 0, 0, 0};
    SDL_GetDisplayBounds(ProgramsDisplay(), &bounds);
    return {bounds.x, bounds.y, bounds.w, bounds.h};
}

// A Wayland client learns where the pointer is only once it is over its window.
bool driver::PointerKnown() { return SDL_GetMouseFocus() || B().system.kind != WindowSystem::Wayland; }

void driver::GlobalPointer(int* x, int* y) {
    float fx = 0, fy = 0;
    SDL_GetGlobalMouseState(&fx, &fy);
    *x = int(std::floor(fx));
    *y = int(std::floor(fy));
}

bool driver::WarpPointer(int x, int y) { return SDL_WarpMouseGlobal(float(x), float(y)); }
void driver::SetRelativePointer(bool on) {
    if (W().sdl) SDL_SetWindowRelativeMouseMode(W().sdl, on);
}
void driver::ShowPointer(bool shown) { shown ? SDL_ShowCursor() : SDL_HideCursor(); }
