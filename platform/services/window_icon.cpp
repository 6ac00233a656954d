// The window's icon, standing in for the stock one its class names: the menu icon's picture, built
// into the program (tools/icon.sh writes it), so that window managers that show a window's own
// icon (task bars, Alt+Tab) show the program's. The program reads no files at run time.
#include "platform/services/services.h"

namespace services {
namespace {
#include "platform/services/window_icon_pixels.inc"

unsigned char pixels[kIconHeight][kIconWidth * 4];

int HexDigit(char digit) { return digit <= '9' ? digit - '0' : digit - 'a' + 10; }
}  // namespace

const unsigned char* WindowIcon(int* width, int* height) {
    for (int y = 0; y < kIconHeight; ++y) {
        const char* hex = kIconRows[y];
        for (unsigned char& byte : pixels[y]) {
            byte = static_cast<unsigned char>(HexDigit(hex[0]) << 4 | HexDigit(hex[1]));
            hex += 2;
        }
    }
    *width = kIconWidth;
    *height = kIconHeight;
    return &pixels[0][0];
}

}  // namespace services
