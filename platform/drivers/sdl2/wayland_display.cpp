// What the driver does on Wayland alone, with SDL's own connection.
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/wayland/show_wake_ups.h"

#include <SDL_syswm.h>

namespace sdl2 {

void ShowWithWakeUps(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    bool wakes = UnderSdl3() && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND;
    if (wakes) wayland::StartShowWakeUps(info.info.wl.display);
    SDL_ShowWindow(window);
    if (wakes) wayland::StopShowWakeUps();
}

}  // namespace sdl2
