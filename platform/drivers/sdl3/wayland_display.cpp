// What the driver does on Wayland alone, with SDL's own connection.
#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/wayland/show_wake_ups.h"

namespace sdl3 {

void ShowWithWakeUps(SDL_Window* window) {
    auto* display = static_cast<wl_display*>(
        SDL_GetPointerProperty(SDL_GetWindowProperties(window), SDL_PROP_WINDOW_WAYLAND_DISPLAY_POINTER, nullptr));
    if (display) wayland::StartShowWakeUps(display);
    SDL_ShowWindow(window);
    if (display) wayland::StopShowWakeUps();
}

}  // namespace sdl3
