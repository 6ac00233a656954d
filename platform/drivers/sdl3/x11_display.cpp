// What the driver does with SDL's own X connection, through x11/: its errors, the window taken off
// the screen before the desktop's mode returns, the full-screen mark, the layout and the image.
#include <X11/Xlib.h>

#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/services/driver.h"
#include "platform/x11/errors.h"
#include "platform/x11/fullscreen_state.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/shared_image.h"

namespace sdl3 {
namespace {
// SDL's connection and the window's X window; null and 0 on any other window system.
Display* X11Display(SDL_Window* window) {
    if (!window) return nullptr;
    return static_cast<Display*>(
        SDL_GetPointerProperty(SDL_GetWindowProperties(window), SDL_PROP_WINDOW_X11_DISPLAY_POINTER, nullptr));
}
Window X11Window(SDL_Window* window) {
    return Window(SDL_GetNumberProperty(SDL_GetWindowProperties(window), SDL_PROP_WINDOW_X11_WINDOW_NUMBER, 0));
}

// SDL makes no request of its window while it presents, so no error tells that another program
// destroyed it, and SDL's next sync of it never ends: its DestroyNotify tells. Once the driver lets
// go of the window, its end is no news.
bool OnX11Event(void*, XEvent* event) {
    if (event->type == DestroyNotify && W().sdl) x11::EndForDestroyedWindow(event->xdestroywindow.window);
    return true;
}
}  // namespace

void RememberX11Window(SDL_Window* window) {
    Display* display = X11Display(window);
    if (!display) return;
    x11::RememberWindow(display, X11Window(window));
    SDL_SetX11EventHook(OnX11Event, nullptr);
}

bool ReadX11Layout(int pressed) { return x11::ReadLayout(X11Display(W().sdl), pressed); }

void UnmapBeforeTheModeReturns(SDL_Window* window) {
    if (Display* display = X11Display(window)) x11::UnmapBeforeTheModeReturns(display, X11Window(window));
}

// SDL waits for a window manager to answer the full screen, and gives the mode back when none does.
void MarkFullscreenForShowing(SDL_Window* window) {
    if (Display* display = X11Display(window); display && W().fullscreen)
        x11::MarkFullscreenWithoutWindowManager(display, X11Window(window));
}

// What the tear-down asks of a window that another program destroyed fails later, when Xlib next
// reads the connection: that must still reach our handler, not the one SDL puts back as its
// video ends.
void DestroySdlWindow(SDL_Window* window) {
    Display* display = X11Display(window);
    SDL_DestroyWindow(window);
    if (display) XSync(display, False);
}

}  // namespace sdl3

using namespace sdl3;

bool driver::CreateImage(int width, int height, driver::Image* image) {
    Display* display = X11Display(W().sdl);
    return display && x11::CreateSharedImage(display, X11Window(W().sdl), width, height, image);
}

bool driver::PutImage() { return x11::PutSharedImage(); }
void driver::DestroyImage() { x11::DestroySharedImage(); }
bool driver::TakeFailure() { return x11::TakeErrorFailure(); }
