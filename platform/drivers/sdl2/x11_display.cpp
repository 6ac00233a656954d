// What the driver does with SDL's own X connection, through x11/: its errors, the window taken off
// the screen before the desktop's mode returns, the full-screen mark, the layout and the image.
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/x11/errors.h"
#include "platform/x11/fullscreen_state.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/shared_image.h"

namespace sdl2 {
namespace {
bool X11Info(SDL_Window* window, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return window && SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

Display* X11ConnectionOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    return X11Info(window, &info) ? info.info.x11.display : nullptr;
}
}  // namespace

void RememberX11Window(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (X11Info(window, &info)) x11::RememberWindow(info.info.x11.display, info.info.x11.window);
}

bool ReadX11Layout(int pressed) { return x11::ReadLayout(X11ConnectionOf(W().sdl), pressed); }

void UnmapBeforeTheModeReturns(SDL_Window* window) {
    SDL_SysWMinfo info;
    if (X11Info(window, &info)) x11::UnmapBeforeTheModeReturns(info.info.x11.display, info.info.x11.window);
}

void MarkFullscreenForShowing(SDL_Window* window) {  // the one window, full screen as asked
    SDL_SysWMinfo info;
    if (!UnderSdl3() || !W().fullscreen || !X11Info(window, &info) ||
        !x11::MarkFullscreenWithoutWindowManager(info.info.x11.display, info.info.x11.window))
        return;
    // sdl2-compat has SDL 3 wait for each window operation to be answered, and the mark is only
    // seen once SDL reads events again: waiting, it would give up on the mode first (after 5 s).
    SDL_SetHint("SDL_VIDEO_SYNC_WINDOW_OPERATIONS", "0");
}

// What the tear-down asks of a window that another program destroyed fails later, when Xlib next
// reads the connection: that must still reach our handler, not the one SDL puts back as its
// video system ends.
void DestroySdlWindow(SDL_Window* window) {
    Display* display = X11ConnectionOf(window);
    SDL_DestroyWindow(window);
    if (display) XSync(display, False);
}

}  // namespace sdl2

using namespace sdl2;

bool driver::CreateImage(int width, int height, driver::Image* image) {
    SDL_SysWMinfo info;
    return X11Info(W().sdl, &info) &&
           x11::CreateSharedImage(info.info.x11.display, info.info.x11.window, width, height, image);
}

bool driver::PutImage() { return x11::PutSharedImage(); }
void driver::DestroyImage() { x11::DestroySharedImage(); }
bool driver::TakeFailure() { return x11::TakeErrorFailure(); }
