// X11 only: what the keys of the letter block mean under the layout active at a key's press. SDL
// names keys by the layout active when it started or when the keyboard map last changed; a second
// layout switched on with the desktop's shortcut (an XKB group) changes neither on X11, so SDL
// would go on naming keys by the first. (On Wayland SDL follows the group itself.)
#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include "platform/services/driver.h"
#include "platform/x11/keyboard.h"

namespace x11 {
namespace {
struct X11Layout {
    Display* display;
    XkbDescPtr keyboard;
    int group;
};
X11Layout layout;

// The X key codes of the letter block by USB HID positions: evdev's codes plus 8, as Xorg,
// Xwayland and Xvfb number keys.
unsigned X11KeyCode(int position) {
    static const unsigned char letters[26] = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                              57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
    static const unsigned char punctuation[12] = {20, 21, 34, 35, 51, 51, 47, 48, 49, 59, 60, 61};
    constexpr int kMinus = 45, kSlash = 56, kNonUsBackslash = 100;
    if (position >= driver::kPositionA && position <= driver::kPositionZ) return letters[position - driver::kPositionA];
    if (position >= kMinus && position <= kSlash) return punctuation[position - kMinus];
    return position == kNonUsBackslash ? 94 : 0;
}

// A key symbol by its character: Latin-1 and Unicode symbols exactly, letters in lower case; the
// letters of the older X encodings by the first letter of their script's Unicode block, which is
// all the letter keys ask of them.
int AsSymbol(KeySym symbol) {
    if (symbol >= XK_A && symbol <= XK_Z) return int(symbol - XK_A + 'a');
    if (symbol <= 0xFF) return int(symbol);
    if (symbol >= 0x1000100 && symbol <= 0x110FFFF) return int(symbol - 0x1000000);
    struct Script {
        KeySym first, last;
        int block;
    } scripts[] = {{0x1A1, 0x3FE, 0x100},  {0x4A1, 0x4DF, 0x30A0}, {0x5AC, 0x5F2, 0x600}, {0x6A1, 0x6FF, 0x400},
                   {0x7A1, 0x7F9, 0x370},  {0xCDF, 0xCFA, 0x5D0},  {0xDA1, 0xDF9, 0xE00}, {0xEA1, 0xEFA, 0x3131},
                   {0x12A1, 0x13FE, 0x100}};
    for (const Script& script : scripts)
        if (symbol >= script.first && symbol <= script.last) return script.block;
    return driver::kNoSymbol;
}
}  // namespace

bool ReadLayout(Display* display, int position) {
    if (X11KeyCode(position) == 0) return false;  // a key the layout does not move
    if (!display) return false;
    if (layout.display != display) ForgetLayout();
    layout.display = display;
    unsigned parts = XkbKeyTypesMask | XkbKeySymsMask;
    if (!layout.keyboard)
        layout.keyboard = XkbGetMap(display, parts, XkbUseCoreKbd);
    else if (XkbGetUpdatedMap(display, parts, layout.keyboard) != Success)
        return false;
    XkbStateRec state;
    if (!layout.keyboard || XkbGetState(display, XkbUseCoreKbd, &state) != Success) return false;
    layout.group = state.group;
    return true;
}

// Its first level in the active group, which wraps round on a key of fewer groups, as XKB's does.
int SymbolAt(int position) {
    XkbDescPtr keyboard = layout.keyboard;
    unsigned code = X11KeyCode(position);
    if (!keyboard || !keyboard->map || code < keyboard->min_key_code || code > keyboard->max_key_code)
        return driver::kNoSymbol;
    int groups = XkbKeyNumGroups(keyboard, code);
    if (groups == 0) return driver::kNoSymbol;
    return AsSymbol(XkbKeySymEntry(keyboard, code, 0, layout.group % groups));
}

void ForgetLayout() {
    if (layout.keyboard) XkbFreeKeyboard(layout.keyboard, 0, True);
    layout = X11Layout{};
}

}  // namespace x11
