// What the X11-only files share of x11_display.cpp; they alone see Xlib.
#pragma once

#include <X11/Xlib.h>

#include "platform/drivers/sdl2/sdl2_driver.h"

namespace sdl2 {
// SDL's connection to the X server, of this window; null on another window system or without one.
Display* X11ConnectionOf(SDL_Window* window);
}  // namespace sdl2
