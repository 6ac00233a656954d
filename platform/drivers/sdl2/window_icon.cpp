// The window's icon, standing in for the stock one its class names: the menu icon's picture, built
// into the program (tools/icon.sh writes it), so that window managers that show a window's own
// icon (task bars, Alt+Tab) show the program's. The program reads no files at run time.
#include "platform/drivers/sdl2/sdl2_driver.h"

namespace sdl2 {
namespace {
#include "platform/drivers/sdl2/window_icon_pixels.inc"

Uint8 pixels[kIconHeight][kIconWidth * 4];

int HexDigit(char digit) { return digit <= '9' ? digit - '0' : digit - 'a' + 10; }
}  // namespace

void GiveWindowItsIcon(SDL_Window* window) {
    for (int y = 0; y < kIconHeight; ++y) {
        const char* hex = kIconRows[y];
        for (Uint8& byte : pixels[y]) {
            byte = Uint8(HexDigit(hex[0]) << 4 | HexDigit(hex[1]));
            hex += 2;
        }
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels, kIconWidth, kIconHeight, 32, kIconWidth * 4,
                                                           SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

}  // namespace sdl2
