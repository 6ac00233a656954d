// The driver's events from SDL's: keys by position and by what they stand for under the layout
// active at their press, motion, window state and requests to close.
#include "platform/services/driver.h"
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/x11/keyboard.h"

namespace sdl2 {
namespace {
bool x11Layout;  // the last press read the X11 layout, which SDL does not follow

int SymbolOf(SDL_Keycode key) {
    if (!(key & SDLK_SCANCODE_MASK)) return key;  // a character
    if (key >= SDLK_F1 && key <= SDLK_F12) return driver::kF1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_UP: return driver::kUp;
    case SDLK_DOWN: return driver::kDown;
    case SDLK_LEFT: return driver::kLeft;
    case SDLK_RIGHT: return driver::kRight;
    case SDLK_END: return driver::kEnd;
    case SDLK_HOME: return driver::kHome;
    case SDLK_PAGEUP: return driver::kPageUp;
    case SDLK_PAGEDOWN: return driver::kPageDown;
    case SDLK_INSERT: return driver::kInsert;
    case SDLK_PAUSE: return driver::kPause;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return driver::kShift;
    case SDLK_LCTRL: case SDLK_RCTRL: return driver::kControl;
    case SDLK_LALT: case SDLK_RALT: return driver::kAlt;
    default: return driver::kNoSymbol;
    }
}

int SymbolUnder(SDL_Scancode position, SDL_Keycode named) {
    int symbol = x11Layout ? x11::SymbolAt(position) : driver::kNoSymbol;
    return symbol != driver::kNoSymbol ? symbol : SymbolOf(named);
}

// The layout active now, asked at each key event.
bool LayoutTypesOtherScript() {
    return driver::TypesOtherScript([](int position) {
        return SymbolUnder(SDL_Scancode(position), SDL_GetKeyFromScancode(SDL_Scancode(position)));
    });
}

bool Key(const SDL_KeyboardEvent& key, driver::Event* event) {
    SDL_Scancode position = key.keysym.scancode;
    if (position < 0 || position >= SDL_NUM_SCANCODES) return false;
    bool down = key.type == SDL_KEYDOWN;
    if (down && !key.repeat) x11Layout = ReadX11Layout(position);
    event->kind = driver::EventKind::Key;
    event->key = {down, key.repeat != 0, (key.keysym.mod & KMOD_ALT) != 0, int(position),
                  SymbolUnder(position, key.keysym.sym), LayoutTypesOtherScript()};
    return true;
}

bool Window(const SDL_WindowEvent& window, driver::Event* event) {
    switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE: event->kind = driver::EventKind::Close; return true;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN: event->kind = driver::EventKind::Minimised; return true;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN: event->kind = driver::EventKind::Restored; return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED: event->kind = driver::EventKind::FocusGained; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: event->kind = driver::EventKind::FocusLost; return true;
    case SDL_WINDOWEVENT_ENTER:
        RelockPointer();
        event->kind = driver::EventKind::PointerEntered;
        return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        event->kind = driver::EventKind::Resized;
        event->width = window.data1;
        event->height = window.data2;
        return true;
    default: return false;
    }
}

bool Translate(const SDL_Event& sdl, driver::Event* event) {
    *event = driver::Event{};
    event->time = sdl.common.timestamp;
    switch (sdl.type) {
    case SDL_QUIT: event->kind = driver::EventKind::Close; return true;
    case SDL_WINDOWEVENT: return Window(sdl.window, event);
    case SDL_KEYDOWN:
    case SDL_KEYUP: return Key(sdl.key, event);
    case SDL_MOUSEMOTION:
        if (!IsDeviceMotion(sdl.motion)) return false;
        event->kind = driver::EventKind::Motion;
        event->dx = sdl.motion.xrel;
        event->dy = sdl.motion.yrel;
        return true;
    default: return false;
    }
}
}  // namespace

void ForgetEvents() {
    x11::ForgetLayout();
    x11Layout = false;
}

}  // namespace sdl2

using namespace sdl2;

bool driver::PollEvent(driver::Event* event) {
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl))
        if (Translate(sdl, event)) return true;
    return false;
}


