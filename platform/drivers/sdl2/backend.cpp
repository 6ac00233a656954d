// The driver's start and stop of SDL's video, and its shared state.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/stderr_capture.h"
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/x11/errors.h"

namespace sdl2 {
namespace {
// SDL's own choice is kept from falling back to drawing off screen, and from its signal handlers,
// libdecor and minimising on focus loss.
bool StartSdlVideo(const char* library, const char* where) {
    if (library) SDL_SetHint(SDL_HINT_VIDEODRIVER, library);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // ours end the program through its tear-down
    // Switching to another program leaves the window as it is; only minimising stops the frames.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");  // a full-screen window needs no decorations
    // The desktop lists the screen saver's inhibitor by these (power applets, log-out dialogs).
    SDL_SetHint(SDL_HINT_APP_NAME, "TOLVAREN");
    SDL_SetHint(SDL_HINT_SCREENSAVER_INHIBIT_ACTIVITY_NAME, "Running the walk-through");
    // SDL 2.26 reads the X11 class and the Wayland app_id from these, in the environment; a user's
    // own choice stays.
    setenv("SDL_VIDEO_X11_WMCLASS", kDesktopEntryId, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopEntryId, 0);
    // Where SDL2 is sdl2-compat over SDL3, SDL3 reads these by its own names (a user's variable of
    // the same name wins): the identity, and warps left as warps (SDL3 otherwise turns two warps
    // to the middle into relative mode).
    SDL_SetHint("SDL_APP_ID", kDesktopEntryId);
    SDL_SetHint("SDL_MOUSE_EMULATE_WARP_WITH_RELATIVE", "0");
    // A TrueColor window, as other X clients have: SDL 3 takes DirectColor, for gamma ramps the
    // program never sets, and GNOME 50 through Xwayland shows such a window not at all.
    SDL_SetHint("SDL_VIDEO_X11_NODIRECTCOLOR", "1");
    // What the window system's libraries write meanwhile goes into the program's one line.
    posix::StderrCapture capture = posix::CaptureStderr();
    bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    char said[800];
    posix::EndCapture(&capture, said, sizeof said);
    if (started) return true;  // what was tried on the way is no news
    char on[96] = "that SDL_VIDEODRIVER names";
    if (where[0]) std::snprintf(on, sizeof on, "on %s", where);
    const char* line = posix::FirstLine(said);
    SetFailure("cannot start the video system %s: %s%s%.600s%s", on, SDL_GetError(), line[0] ? " (" : "", line,
               line[0] ? ")" : "");
    return false;
}
}  // namespace

SdlWindow& W() {
    static SdlWindow window;
    return window;
}

// sdl2-compat numbers its releases from patch 50 on.
bool UnderSdl3() {
    SDL_version linked;
    SDL_GetVersion(&linked);
    return linked.patch >= 50;
}

}  // namespace sdl2

using namespace sdl2;

// X errors are caught from SDL's start until its connection has closed.
bool driver::StartVideo(const char* library, const char* where) {
    if (!StartSdlVideo(library, where)) return false;
    x11::CatchErrors();
    return true;
}

void driver::StopVideo() {
    ForgetEvents();  // what was read on SDL's connection, before it closes
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    x11::ReleaseErrors();
}
