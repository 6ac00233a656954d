// The Windows services written once over a driver (driver.h): the state they share and what each
// service file gives the others. Nothing here names a window system's library.
#pragma once

#include "platform/platform.h"
#include "platform/services/driver.h"

namespace services {

enum class WindowSystem { X11, Wayland, Other };

struct Size {
    int width, height;
};

struct System {
    bool started;
    WindowSystem kind;
    char name[64];
    int depth;    // the X screen's colour depth, for when the driver cannot tell it
    bool failed;  // the window system failed the running program: it ends with 1
    // A compositor, not the monitor, puts full-screen windows on the output (natively on Wayland,
    // and through Xwayland), and stretches a 640 x 480 mode to an output of another shape.
    bool composited;
    // The program's monitor is the driver's first display: on X11 the primary output, or the first
    // one when none is marked. The program's screen positions are from its top-left corner, which
    // on X11 is here on the screen that spans every monitor.
    POINT origin;
    // The compositor copies a window of the output's size far faster than it scales a smaller
    // one (wlroots' without a GPU): the picture keeps to the output's size, switching no mode.
    bool keepsOutputSize;
    // An emulated mode is the window's alone (Xwayland 23 and later): the X screen, and so the
    // pointer's positions, keep this size, the output's, and the compositor hands the window the
    // pointer's motion shrunk to the mode (GNOME, KDE Plasma 6.7).
    Size screen;
};

struct WindowClass {
    bool registered;
    char name[64];
    WNDPROC proc;
};

struct FullscreenWindow {
    bool created;  // recorded by CreateWindowExA; the real window comes with the pixel format
    char title[128];
    Size asked;   // the size CreateWindowExA was given
    Size client;  // the client area the program sees: the window's size, or the picture's
    bool fullscreenPending;
    driver::Mode mode;  // the switched mode the window takes; width 0 when the display has none
    // The program draws into a picture of the asked size, which the present scales into the
    // middle of its window, instead of the display switching to the asked mode: a window of a mode
    // of the output's shape, or else one as large as the output over the desktop as it is.
    bool picture;
    driver::Mode shaped;  // width 0 when the display has no mode of the output's shape
    bool minimised;
};

struct Services {
    System system;
    WindowClass windowClass;
    FullscreenWindow window;
};
Services& B();

// Fake handles; there is one window, one device context and one instance.
HWND WindowHandle();
HDC DeviceContextHandle();
bool IsOurWindow(HWND window);  // the handle of the window that CreateWindowExA made (window_class.cpp)

// Like a real cursor, positions stop at the edges: low when high is below it.
inline int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The window's icon: RGBA bytes in rows top first (window_icon.cpp).
const unsigned char* WindowIcon(int* width, int* height);

// Keeps the reason for the last failure, which PlatformFailureReason() then answers.
void SetFailure(const char* format, ...);

// The queue (messages.cpp): the driver's events as the messages Windows gives, in Windows' order.
void ForgetMessages();

// The picture's place on the output (picture_fit.cpp): the largest rectangle of the picture's
// shape that fits the output, centred on it, and positions between the two, taken at the middles
// of pixels so that a point taken there and back is the same point.
struct Rect {
    int x, y, w, h;
};
Rect FitPicture(Size picture, Size output);
POINT PictureFromOutput(Size shape, Size output, POINT at);
POINT OutputFromPicture(Size shape, Size output, POINT at);
// The picture's pixels, rows bottom first as OpenGL reads them, scaled into `fit` of an image
// whose rows run top first, each pixel taking the picture's nearest; false for a fit wider than
// kMostColumns.
constexpr int kMostColumns = 8192;
bool ScalePicture(const unsigned* picture, Size size, unsigned* image, int stride, Rect fit);
// The smallest mode of the output's own shape that holds the picture at these bits, and is smaller
// than the output, or width 0: in it the program shows a small picture, and the compositor scales
// it to the output with its shape kept.
driver::Mode ModeOfTheOutputsShape(const driver::Mode* modes, int count, Size output, Size picture, int bits);

// The display (display.cpp): without framebuffer objects there is no picture, and the display
// switches as on a bare X server; false with the failure set when it has no such mode either.
bool SwitchTheModeInstead();

// The present (gl_context.cpp) keeps to one per refresh unless turned off; only the frame
// benchmark turns it off.
void SetPresentPacing(bool on);

// The picture (picture.cpp): an off-screen framebuffer of the program's size, shown scaled with
// its shape kept and black bars around it, where a compositor would stretch the switched mode.
bool StartPicture(Size picture);  // the frames go into it from now on; false without framebuffers
void ShowPicture();               // scaled into the window's back buffer or its image, before the present
void PresentPicture();            // the image where the picture went into one, else OpenGL's present
void DrawIntoPicture();           // after the present: the next frame goes into the picture
void EndPicture();                // with the context still current
// Takes the picture on any window system; only the frame benchmark and the tests ask for it.
void SetPictureAlways(bool on);
bool PictureWanted();

// The program's monitor, in screen positions: what a picture's window covers.
Size MonitorSize();

// The cursor (cursor.cpp): relative mode and visibility from the display counter and the window.
void ApplyCursorState();
// Where the pointer stands before the display switches, kept for the first frame: the switch
// may move it, and the program's monitor is then of this size.
void RememberPointerBeforeTheSwitch(Size monitor);

// The tracked cursor (tracked_cursor.cpp): while the cursor is hidden over the shown window,
// positions come from relative motion, stopping at the edges of the screen.
struct Cursor {
    int count;      // the display counter: the cursor is hidden while it is below zero
    bool relative;  // hidden over our window: positions come from relative motion
    POINT tracked;  // the position reported while relative
    bool switched;  // the display switched, with the pointer read just before, for the first frame
    POINT beforeSwitch;
    Size motionFrom, motionTo;  // the window's motion counts as this much on the output (0: as it is)
    POINT carried;              // what scaled motion left over, in motionFrom's units
};
Cursor& TheCursor();

// What the cursor does next, from its display counter and whether the window is shown: relative
// while hidden over the shown window. Entering it, the tracked cursor starts where the pointer
// stood (before the display switched, if it did: for the first frame); leaving it, the pointer
// goes where the program left the cursor, as on Windows.
enum class TrackFrom { Nowhere, ThePointer, BeforeTheSwitch };
struct CursorStep {
    bool relative;
    bool changeMode;  // relative mode is to be turned on or off
    TrackFrom trackFrom;
    bool warpToTracked;
    bool showPointer;
};
CursorStep NextCursorStep(const Cursor& now, bool windowShown);
void TrackMotion(int dx, int dy);
void MoveTrackedTo(int x, int y);
POINT TrackedCursor();
void ForgetCursor();  // back to the start values

}  // namespace services
