// The message queue over SDL's events: each poll hands out at most one message.
#include <cstring>

#include "platform/sdl/sdl_layer.h"

namespace sdl_layer {
namespace {
struct Queue {
    bool quitPosted;
    int quitCode;
    // Quick taps: a release that comes before the poll has once found the queue empty since the
    // key's press is held back until it has, so that every press reaches an idle turn.
    bool pressedSinceIdle[256];
    bool releaseHeld[256];
    LPARAM heldRelease[256];
    int pressedAs[SDL_NUM_SCANCODES];  // the code each held key's press gave, for its release
};
Queue queue;

bool IsLetterPosition(SDL_Scancode position) { return position >= SDL_SCANCODE_A && position <= SDL_SCANCODE_Z; }

// SDL names a key whose symbol is a character by that character: from U+0370 on, Greek,
// Cyrillic, Hebrew, Arabic and the other scripts that are not Latin.
bool IsOtherScript(SDL_Keycode key) { return key >= 0x370 && !(key & SDLK_SCANCODE_MASK); }

// What the key in this position means under the layout active at the press being translated.
SDL_Keycode KeyAt(SDL_Scancode position, SDL_Keycode named, bool x11) {
    SDL_Keycode key = x11 ? X11Key(position) : SDLK_UNKNOWN;
    return key != SDLK_UNKNOWN ? key : named;
}

bool LayoutHasNoLatinLetters(bool x11) {
    for (int position = SDL_SCANCODE_A; position <= SDL_SCANCODE_Z; ++position) {
        SDL_Scancode at = SDL_Scancode(position);
        if (IsOtherScript(KeyAt(at, SDL_GetKeyFromScancode(at), x11))) return true;
    }
    return false;
}

// As on Windows: a letter by its label where the layout has Latin letters, and by its US position
// where it has none, so that the key where A would be is A on a Russian or Greek keyboard too.
int LetterKey(SDL_Keycode key, SDL_Scancode position, bool x11) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (!IsLetterPosition(position) || !(IsOtherScript(key) || LayoutHasNoLatinLetters(x11))) return 0;
    return 'A' + (position - SDL_SCANCODE_A);
}

// Virtual-key codes by the key's meaning in the layout active now, as Windows gives them.
int VirtualKey(SDL_Keycode named, SDL_Scancode position) {
    bool x11 = ReadX11Layout(position);
    SDL_Keycode key = KeyAt(position, named, x11);
    if (int letter = LetterKey(key, position, x11)) return letter;
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

// A press takes the code of the layout active now; its repeats and its release keep that code.
int KeyCode(const SDL_KeyboardEvent& key) {
    int& pressedAs = queue.pressedAs[key.keysym.scancode];
    bool fresh = key.type == SDL_KEYDOWN && !key.repeat;
    int code = fresh || !pressedAs ? VirtualKey(key.keysym.sym, key.keysym.scancode) : pressedAs;
    pressedAs = key.type == SDL_KEYDOWN ? code : 0;
    return code;
}

bool TranslateKey(const SDL_KeyboardEvent& key, MSG* msg) {
    if (key.keysym.scancode < 0 || key.keysym.scancode >= SDL_NUM_SCANCODES) return false;
    int code = KeyCode(key);
    if (code == 0) return false;
    bool down = key.type == SDL_KEYDOWN;
    // Alt and F10, and keys pressed with Alt held, are system keys.
    bool system = (key.keysym.mod & KMOD_ALT) || code == VK_MENU || code == VK_F10;
    msg->message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    msg->wParam = WPARAM(code);
    DWORD flags = 1 | (key.keysym.scancode & 0xFFu) << 16;
    if (key.keysym.mod & KMOD_ALT) flags |= 1u << 29;
    if (!down || key.repeat) flags |= 1u << 30;
    if (!down) flags |= 1u << 31;
    msg->lParam = LPARAM(flags);
    return true;
}

bool Activate(MSG* msg, WORD state) {
    msg->message = WM_ACTIVATE;
    msg->wParam = MAKEWPARAM(state, B().window.minimised ? 1 : 0);
    return true;
}

bool TranslateWindowEvent(const SDL_WindowEvent& event, MSG* msg) {
    FullscreenWindow& window = B().window;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        msg->message = WM_CLOSE;
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        window.minimised = true;
        return Activate(msg, WA_INACTIVE);
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
        window.minimised = false;
        return Activate(msg, WA_ACTIVE);
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        return Activate(msg, WA_ACTIVE);
    case SDL_WINDOWEVENT_FOCUS_LOST:
        return Activate(msg, WA_INACTIVE);
    case SDL_WINDOWEVENT_ENTER:
        RelockPointer();
        return false;
    case SDL_WINDOWEVENT_SIZE_CHANGED:  // a window that shows a picture keeps its client area
        if (window.picture) return false;
        window.client = {event.data1, event.data2};
        msg->message = WM_SIZE;
        msg->wParam = SIZE_RESTORED;
        msg->lParam = MAKELPARAM(event.data1, event.data2);
        return true;
    default:
        return false;
    }
}

// A message of the layer's own making.
bool Hand(MSG* msg, HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    *msg = MSG{};
    msg->hwnd = window;
    msg->message = message;
    msg->wParam = wParam;
    msg->lParam = lParam;
    return true;
}

// A release held back for a key whose press has reached an idle turn since, in the order of codes.
bool HandOutHeldRelease(MSG* msg) {
    for (int code = 0; code < 256; ++code) {
        if (!queue.releaseHeld[code] || queue.pressedSinceIdle[code]) continue;
        queue.releaseHeld[code] = false;
        return Hand(msg, WindowHandle(), WM_KEYUP, WPARAM(code), queue.heldRelease[code]);
    }
    return false;
}

bool HoldBackTap(const MSG& msg) {
    if (msg.message == WM_KEYDOWN) queue.pressedSinceIdle[msg.wParam] = true;
    if (msg.message != WM_KEYUP || !queue.pressedSinceIdle[msg.wParam]) return false;
    queue.releaseHeld[msg.wParam] = true;
    queue.heldRelease[msg.wParam] = msg.lParam;
    return true;
}
}  // namespace

bool TranslateEvent(const SDL_Event& event, MSG* msg) {
    *msg = MSG{};
    msg->hwnd = WindowHandle();
    msg->time = event.common.timestamp;
    msg->pt = TrackedCursor();
    switch (event.type) {
    case SDL_QUIT:
        msg->message = WM_CLOSE;
        return true;
    case SDL_WINDOWEVENT:
        return TranslateWindowEvent(event.window, msg);
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return TranslateKey(event.key, msg);
    case SDL_MOUSEMOTION:
        TrackMotion(event.motion.xrel, event.motion.yrel);
        return false;
    default:
        return false;
    }
}

void ForgetMessages() { queue = Queue{}; }

}  // namespace sdl_layer

using namespace sdl_layer;

// A request to end, by the window system's failure or by signal, comes as a close request.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
    if (queue.quitPosted) {
        if (removeMsg & PM_REMOVE) queue.quitPosted = false;
        return Hand(msg, nullptr, WM_QUIT, WPARAM(queue.quitCode));
    }
    if (TakeX11Failure() || TakeEndRequest()) return Hand(msg, WindowHandle(), WM_CLOSE);
    if (!B().system.started) return FALSE;
    if (HandOutHeldRelease(msg)) return TRUE;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (TranslateEvent(event, msg) && !HoldBackTap(*msg)) return TRUE;
    }
    std::memset(queue.pressedSinceIdle, 0, sizeof queue.pressedSinceIdle);  // this poll is an idle turn
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    const WindowClass& windowClass = B().windowClass;
    if (msg->hwnd != WindowHandle() || !B().window.created || !windowClass.proc) return 0;
    return windowClass.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// Alt+F4 becomes the close command, and the close command a close request, as on Windows.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = B().windowClass.proc;
    if (!proc) return 0;
    if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & (1 << 29)))
        return proc(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return proc(window, WM_CLOSE, 0, 0);
    return 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    queue.quitPosted = true;
    queue.quitCode = exitCode;
}
