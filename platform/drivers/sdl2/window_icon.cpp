// The window's icon, from the services' pixels.
#include "platform/drivers/sdl2/sdl2_driver.h"

namespace sdl2 {

void GiveWindowItsIcon(SDL_Window* window) {
    int width = 0, height = 0;
    void* pixels = const_cast<unsigned char*>(WindowIcon(&width, &height));
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace sdl2
