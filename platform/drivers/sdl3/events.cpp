// The driver's events from SDL's: keys by position and by what they stand for under the layout
// active at their press, motion in whole pixels, window state and requests to close.
#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/services/driver.h"
#include "platform/x11/keyboard.h"

namespace sdl3 {
namespace {
bool x11Layout;            // the last press read the X11 layout, which SDL does not follow
float carriedX, carriedY;  // SDL's motion comes in fractions of a pixel: they add up

int SymbolOf(SDL_Keycode key) {
    if (!(key & SDLK_SCANCODE_MASK)) return int(key);  // a character
    if (key >= SDLK_F1 && key <= SDLK_F12) return driver::kF1 + int(key - SDLK_F1);
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
        return SymbolUnder(SDL_Scancode(position), SDL_GetKeyFromScancode(SDL_Scancode(position), SDL_KMOD_NONE, true));
    });
}

bool Key(const SDL_KeyboardEvent& key, driver::Event* event) {
    if (key.scancode <= SDL_SCANCODE_UNKNOWN || key.scancode >= driver::kPositions) return false;
    if (key.down && !key.repeat) x11Layout = ReadX11Layout(key.scancode);
    // What the key stands for without modifiers: the letter, not its capital.
    SDL_Keycode named = SDL_GetKeyFromScancode(key.scancode, SDL_KMOD_NONE, true);
    event->kind = driver::EventKind::Key;
    event->key = {key.down, key.repeat, (key.mod & SDL_KMOD_ALT) != 0, int(key.scancode), SymbolUnder(key.scancode, named),
                  LayoutTypesOtherScript()};
    return true;
}

void WholePixels(float dx, float dy, driver::Motion* motion) {
    carriedX += dx;
    carriedY += dy;
    motion->dx = int(carriedX);
    motion->dy = int(carriedY);
    carriedX -= float(motion->dx);
    carriedY -= float(motion->dy);
}

bool Kind(const SDL_Event& sdl, driver::Event* event) {
    switch (sdl.type) {
    case SDL_EVENT_QUIT:
    case SDL_EVENT_WINDOW_CLOSE_REQUESTED: event->kind = driver::EventKind::Close; return true;
    case SDL_EVENT_WINDOW_MINIMIZED:
    case SDL_EVENT_WINDOW_HIDDEN: event->kind = driver::EventKind::Minimised; return true;
    case SDL_EVENT_WINDOW_RESTORED:
    case SDL_EVENT_WINDOW_SHOWN: event->kind = driver::EventKind::Restored; return true;
    case SDL_EVENT_WINDOW_FOCUS_GAINED: event->kind = driver::EventKind::FocusGained; return true;
    case SDL_EVENT_WINDOW_FOCUS_LOST: event->kind = driver::EventKind::FocusLost; return true;
    case SDL_EVENT_WINDOW_PIXEL_SIZE_CHANGED:
        event->kind = driver::EventKind::Resized;
        event->width = sdl.window.data1;
        event->height = sdl.window.data2;
        return true;
    default: return false;
    }
}

bool Translate(const SDL_Event& sdl, driver::Event* event) {
    *event = driver::Event{};
    event->time = unsigned(sdl.common.timestamp / 1000000);  // SDL counts nanoseconds from its start
    if (sdl.type == SDL_EVENT_KEY_DOWN || sdl.type == SDL_EVENT_KEY_UP) return Key(sdl.key, event);
    if (sdl.type != SDL_EVENT_MOUSE_MOTION) return Kind(sdl, event);
    if (!IsDeviceMotion(sdl.motion)) return false;
    driver::Motion motion;
    WholePixels(sdl.motion.xrel, sdl.motion.yrel, &motion);
    event->kind = driver::EventKind::Motion;
    event->dx = motion.dx;
    event->dy = motion.dy;
    return true;
}
}  // namespace

void ForgetEvents() {
    x11::ForgetLayout();
    x11Layout = false;
    carriedX = carriedY = 0;
}

}  // namespace sdl3

using namespace sdl3;

bool driver::PollEvent(driver::Event* event) {
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl))
        if (Translate(sdl, event)) return true;
    return false;
}


int driver::TakeMotion(driver::Motion* motions, int most) {
    SDL_PumpEvents();
    SDL_Event taken[64];
    int count = SDL_PeepEvents(taken, most < 64 ? most : 64, SDL_GETEVENT, SDL_EVENT_MOUSE_MOTION, SDL_EVENT_MOUSE_MOTION);
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (IsDeviceMotion(taken[i].motion)) WholePixels(taken[i].motion.xrel, taken[i].motion.yrel, &motions[kept++]);
    return kept;
}
