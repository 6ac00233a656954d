// The message queue over the driver's events: each poll hands out at most one message, in
// Windows' order: the quit message, then requests to end, then held-back releases, then events.
#include <cstring>

#include "platform/posix/end_requests.h"
#include "platform/services/driver.h"
#include "platform/services/services.h"

namespace services {
namespace {
struct Queue {
    bool quitPosted;
    int quitCode;
    // Quick taps: a release that comes before the poll has once found the queue empty since the
    // key's press is held back until it has, so that every press reaches an idle turn.
    bool pressedSinceIdle[256];
    bool releaseHeld[256];
    LPARAM heldRelease[256];
    int pressedAs[driver::kPositions];  // the code each held key's press gave, for its release
};
Queue queue;

bool IsLetterPosition(int position) { return position >= driver::kPositionA && position <= driver::kPositionZ; }

// As on Windows: a letter by its label where the layout has Latin letters, and by its US position
// where it has none, so that the key where A would be is A on a Russian or Greek keyboard too.
int LetterKey(const driver::Key& key) {
    if (key.symbol >= 'a' && key.symbol <= 'z') return 'A' + (key.symbol - 'a');
    if (!IsLetterPosition(key.position) || !(driver::IsOtherScript(key.symbol) || key.otherScript)) return 0;
    return 'A' + (key.position - driver::kPositionA);
}

// Virtual-key codes by the key's meaning in the layout active at its press, as Windows gives them.
int VirtualKey(const driver::Key& key) {
    if (int letter = LetterKey(key)) return letter;
    int symbol = key.symbol;
    if (symbol >= '0' && symbol <= '9') return symbol;
    if (symbol >= driver::kF1 && symbol <= driver::kF12) return VK_F1 + (symbol - driver::kF1);
    switch (symbol) {
    case 0x1B: return VK_ESCAPE;
    case driver::kUp: return VK_UP;
    case driver::kDown: return VK_DOWN;
    case driver::kLeft: return VK_LEFT;
    case driver::kRight: return VK_RIGHT;
    case driver::kEnd: return VK_END;
    case driver::kHome: return VK_HOME;
    case driver::kPageUp: return VK_PRIOR;
    case driver::kPageDown: return VK_NEXT;
    case driver::kInsert: return VK_INSERT;
    case 0x7F: return VK_DELETE;
    case 0x0D: return VK_RETURN;
    case 0x20: return VK_SPACE;
    case 0x09: return VK_TAB;
    case 0x08: return VK_BACK;
    case driver::kPause: return VK_PAUSE;
    case driver::kShift: return VK_SHIFT;
    case driver::kControl: return VK_CONTROL;
    case driver::kAlt: return VK_MENU;
    default: return 0;
    }
}

// A press takes the code of the layout active at it; its repeats and its release keep that code.
int KeyCode(const driver::Key& key) {
    int& pressedAs = queue.pressedAs[key.position];
    bool fresh = key.down && !key.repeat;
    int code = fresh || !pressedAs ? VirtualKey(key) : pressedAs;
    pressedAs = key.down ? code : 0;
    return code;
}

bool TranslateKey(const driver::Key& key, MSG* msg) {
    if (key.position < 0 || key.position >= driver::kPositions) return false;
    int code = KeyCode(key);
    if (code == 0) return false;
    // Alt and F10, and keys pressed with Alt held, are system keys.
    bool system = key.alt || code == VK_MENU || code == VK_F10;
    msg->message = system ? (key.down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (key.down ? WM_KEYDOWN : WM_KEYUP);
    msg->wParam = WPARAM(code);
    DWORD flags = 1 | (unsigned(key.position) & 0xFFu) << 16;
    if (key.alt) flags |= 1u << 29;
    if (!key.down || key.repeat) flags |= 1u << 30;
    if (!key.down) flags |= 1u << 31;
    msg->lParam = LPARAM(flags);
    return true;
}

bool Activate(MSG* msg, WORD state) {
    msg->message = WM_ACTIVATE;
    msg->wParam = MAKEWPARAM(state, B().window.minimised ? 1 : 0);
    return true;
}

// Window events; a window that shows a picture keeps its client area when it changes size.
bool TranslateWindowEvent(const driver::Event& event, MSG* msg) {
    FullscreenWindow& window = B().window;
    switch (event.kind) {
    case driver::EventKind::Close:
        msg->message = WM_CLOSE;
        return true;
    case driver::EventKind::Minimised:
        window.minimised = true;
        return Activate(msg, WA_INACTIVE);
    case driver::EventKind::Restored:
        window.minimised = false;
        return Activate(msg, WA_ACTIVE);
    case driver::EventKind::FocusGained:
        return Activate(msg, WA_ACTIVE);
    case driver::EventKind::FocusLost:
        return Activate(msg, WA_INACTIVE);
    case driver::EventKind::Resized:
        if (window.picture) return false;
        window.client = {event.width, event.height};
        msg->message = WM_SIZE;
        msg->wParam = SIZE_RESTORED;
        msg->lParam = MAKELPARAM(event.width, event.height);
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

// One event as the message the window procedure expects; false when it makes none.
bool TranslateEvent(const driver::Event& event, MSG* msg) {
    *msg = MSG{};
    msg->hwnd = WindowHandle();
    msg->time = event.time;
    msg->pt = TrackedCursor();
    switch (event.kind) {
    case driver::EventKind::Key:
        return TranslateKey(event.key, msg);
    case driver::EventKind::Motion:
        TrackMotion(event.dx, event.dy);
        return false;
    default:
        return TranslateWindowEvent(event, msg);
    }
}
}  // namespace

void ForgetMessages() { queue = Queue{}; }

}  // namespace services

using namespace services;

// A request to end, by the window system's failure or by signal, comes as a close request.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
    if (queue.quitPosted) {
        if (removeMsg & PM_REMOVE) queue.quitPosted = false;
        return Hand(msg, nullptr, WM_QUIT, WPARAM(queue.quitCode));
    }
    bool failed = driver::TakeFailure();  // once: the program then ends with 1 after its tear-down
    if (failed) B().system.failed = true;
    if (failed || posix::TakeEndRequest()) return Hand(msg, WindowHandle(), WM_CLOSE);
    if (!B().system.started) return FALSE;
    if (HandOutHeldRelease(msg)) return TRUE;
    driver::Event event;
    while (driver::PollEvent(&event)) {
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
