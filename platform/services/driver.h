// The seam between the Windows services (platform/services/) and a window system's library: what
// a driver gives the services, in types of its own, never the library's. One driver stands behind
// it in a build (drivers/sdl3/ or drivers/sdl2/ on Linux); the services' unit tests put a fake one
// there. Calls marked "Optional" serve only some window systems: a driver without one gives the
// default named beside it.
#pragma once

namespace driver {

// The library's video on the window system chosen: `library` is the library's name for it, or
// null where the user named one (SDL_VIDEODRIVER); `where` names the display for the user's
// messages ("" for another system). False with the failure set. The window system's errors are
// caught from the start until the stop has closed the library's connection.
bool StartVideo(const char* library, const char* where);
void StopVideo();

// Key positions are USB HID keyboard usages (A is 4, Z is 29), whatever the layout.
constexpr int kPositionA = 4;
constexpr int kPositionZ = 29;
constexpr int kPositions = 512;

// What a key stands for: a Unicode code point (letters in lower case; Escape 0x1B, Return 0x0D,
// Tab 0x09, Backspace 0x08, Delete 0x7F, Space 0x20), one of these, or kNoSymbol.
enum Symbol : int {
    kNoSymbol = 0,
    kUp = 0x110000,
    kDown,
    kLeft,
    kRight,
    kEnd,
    kHome,
    kPageUp,
    kPageDown,
    kInsert,
    kPause,
    kShift,
    kControl,
    kAlt,
    kF1,
    kF12 = kF1 + 11,
};

// From U+0370 on: Greek, Cyrillic, Hebrew, Arabic and the other scripts that are not Latin.
inline bool IsOtherScript(int symbol) { return symbol >= 0x370 && symbol < kUp; }
// Whether a layout, by what each position stands for in it, types another script on the letter block.
template <typename SymbolAt>
bool TypesOtherScript(SymbolAt symbolAt) {
    for (int position = kPositionA; position <= kPositionZ; ++position)
        if (IsOtherScript(symbolAt(position))) return true;
    return false;
}

struct Key {
    bool down;
    bool repeat;  // a press the keyboard repeats while the key is held
    bool alt;     // with Alt held
    int position;
    int symbol;  // under the layout active at this event
    // The layout active at this event types another script than Latin on some key of the letter
    // block (A to Z), so that letters go by their US positions there.
    bool otherScript;
};

enum class EventKind {
    Key,
    Motion,          // relative: dx, dy in pixels of the program's monitor
    Minimised,       // or hidden
    Restored,        // or shown
    FocusGained,
    FocusLost,
    Resized,         // the window's client area: width, height
    PointerEntered,  // optional: never sent
    Close,           // the window, or the whole program, is asked to close
};

struct Event {
    EventKind kind;
    unsigned time;  // milliseconds since the driver started
    Key key;
    int dx, dy;
    int width, height;
};

// The next event, false at once when none waits. Never blocks.
bool PollEvent(Event* event);

// The window system failed the running program (its window destroyed, its connection refused a
// request): true once, with the failure's reason set. Optional: false.
bool TakeFailure();

// The program's monitor (the first display: on X11 the primary output) in the screen's positions.
struct Bounds {
    int x, y, width, height;
};
Bounds MonitorBounds();

// The pointer, in the screen's positions. Known is false where the window system tells a client
// nothing of the pointer until it is over its window (Wayland), and the position is then no news;
// optional: true.
bool PointerKnown();
void GlobalPointer(int* x, int* y);
bool WarpPointer(int x, int y);
void SetRelativePointer(bool on);  // motion events from the device, with the pointer held in place
void ShowPointer(bool shown);
bool WindowShown();
// Up to `most` of the motions that have arrived since the last poll (what the window system has
// sent included), taken from the queue ahead of other events: how many.
struct Motion {
    int dx, dy;
};
int TakeMotion(Motion* motions, int most);

// The program's monitor's display modes, up to `most` of them: how many. Bits is 0 where the
// driver cannot tell. Under a compositor some are emulated: it scales them to the output.
struct Mode {
    int width, height, bits;
};
int DisplayModes(Mode* modes, int most);
Mode DesktopMode();

// The one window, made hidden, borderless from its creation and with OpenGL in this pixel format:
// not full screen, full screen in a switched mode, or full screen over the desktop as it is.
enum class Fullscreen { No, SwitchedMode, OverTheDesktop };
struct WindowPlan {
    const char* title;
    Bounds bounds;
    Fullscreen fullscreen;
    Mode mode;  // for a switched mode
    int red, green, blue, depth;
    bool doubleBuffer;
};
bool CreateWindow(const WindowPlan& plan);
void DestroyWindow();  // the window system's late errors of a window being destroyed count
bool HasWindow();
bool SetWindowMode(const Mode& mode);  // the mode a full-screen window switches to: one of the list
bool SwitchMode(const Mode& mode);     // the window full screen in this mode, now
// Hidden and out of full screen, and on X11 unmapped first, so that no frame of a window at the
// program's size ever shows on the desktop before its mode returns.
void LeaveFullscreen();
void ShowWindow(bool shown);
void RaiseWindow();
void FocusWindow();
int RefreshRate();  // of the window's display mode; optional: 0, unknown

// OpenGL on the window.
void* CreateContext();
bool MakeCurrent(void* context);  // null releases the current one
void DeleteContext(void* context);
void SetSwapInterval(int interval);
void Present();
void* ProcAddress(const char* name);
bool HasExtension(const char* name);
void DrawableSize(int* width, int* height);

// A picture shown without OpenGL, where the window system can (X11's shared memory): an image of
// this size, its pixels 0x00RRGGBB words in rows top first, black until written, put onto the
// window whole in place of OpenGL's present. Optional: false (no image), and the picture goes
// through OpenGL.
struct Image {
    unsigned* pixels;
    int width, height, stride;  // the stride in words
};
bool CreateImage(int width, int height, Image* image);
bool PutImage();  // returns once the window system has read it
void DestroyImage();

const char* LastError();  // the library's words on its last failure

}  // namespace driver
