// The driver's start and stop of SDL's video, and its shared state.
#include <cstdio>

#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/posix/stderr_capture.h"
#include "platform/services/driver.h"
#include "platform/x11/errors.h"

namespace sdl3 {
namespace {
// SDL is kept from its signal handlers and minimising on focus loss; warps stay warps (SDL would
// turn two warps to the middle into relative mode); the window has the program's identity.
void GiveHints(const char* library) {
    if (!library) library = SDL_getenv("SDL_VIDEODRIVER");  // SDL 2's name, which SDL 3 no longer reads
    if (library) SDL_SetHint(SDL_HINT_VIDEO_DRIVER, library);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // ours end the program through its tear-down
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_EMULATE_WARP_WITH_RELATIVE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");  // where SDL loads libdecor itself
    SDL_SetHint(SDL_HINT_APP_NAME, "TOLVAREN");
    SDL_SetHint(SDL_HINT_APP_ID, kDesktopEntryId);
    SDL_SetHint(SDL_HINT_SCREENSAVER_INHIBIT_ACTIVITY_NAME, "Running the walk-through");
    // A TrueColor window, as other X clients have: SDL takes DirectColor, for gamma ramps the
    // program never sets, and GNOME 50 through Xwayland shows such a window not at all.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NODIRECTCOLOR, "1");
}
}  // namespace

SdlWindow& W() {
    static SdlWindow window;
    return window;
}

SDL_DisplayID ProgramsDisplay() { return SDL_GetPrimaryDisplay(); }

}  // namespace sdl3

using namespace sdl3;

// What the window system's libraries write meanwhile goes into the program's one line.
bool driver::StartVideo(const char* library, const char* where) {
    GiveHints(library);
    posix::StderrCapture capture = posix::CaptureStderr();
    bool started = SDL_InitSubSystem(SDL_INIT_VIDEO);
    char said[800];
    posix::EndCapture(&capture, said, sizeof said);
    if (started) {
        x11::CatchErrors();  // from here until SDL's connection has closed
        return true;
    }
    char on[96];
    if (where[0]) std::snprintf(on, sizeof on, "on %s", where);
    else std::snprintf(on, sizeof on, "that %s names", SDL_getenv("SDL_VIDEO_DRIVER") ? "SDL_VIDEO_DRIVER" : "SDL_VIDEODRIVER");
    const char* line = posix::FirstLine(said);
    SetFailure("cannot start the video system %s: %s%s%.600s%s", on, SDL_GetError(), line[0] ? " (" : "", line,
               line[0] ? ")" : "");
    return false;
}

void driver::StopVideo() {
    ForgetEvents();
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    x11::ReleaseErrors();
}

const char* driver::LastError() { return SDL_GetError(); }
