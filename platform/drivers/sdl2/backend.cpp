// The backend's start and stop, its shared state and its failure reason.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/end_requests.h"
#include "platform/posix/instance_mark.h"
#include "platform/posix/stderr_capture.h"
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/wayland/compositor.h"
#include "platform/x11/mode_watcher.h"
#include "platform/x11/probe.h"

namespace sdl2 {
namespace {
const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] ? value : nullptr;
}

// SDL's own choice is kept from falling back to drawing off screen, and from its signal handlers,
// libdecor and minimising on focus loss.
bool StartSdlVideo(const WindowSystemChoice& choice) {
    if (choice.driver) SDL_SetHint(SDL_HINT_VIDEODRIVER, choice.driver);
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
    char where[96] = "that SDL_VIDEODRIVER names";
    if (choice.name[0]) std::snprintf(where, sizeof where, "on %s", choice.name);
    const char* line = posix::FirstLine(said);
    SetFailure("cannot start the video system %s: %s%s%.600s%s", where, SDL_GetError(), line[0] ? " (" : "", line,
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

WindowSystemChoice ChooseWindowSystem(const char* asked, const char* x11, const char* wayland) {
    if (!asked && x11) return {WindowSystem::X11, x11, "x11", nullptr};
    if (!asked && wayland) return {WindowSystem::Wayland, wayland, "wayland", nullptr};
    if (!asked)
        return {WindowSystem::Other, "", nullptr,
                "no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set"};
    if (std::strcmp(asked, "x11") == 0)
        return {WindowSystem::X11, x11 ? x11 : "", nullptr,
                x11 ? nullptr : "no X display to open the window on: DISPLAY is not set"};
    if (std::strcmp(asked, "wayland") == 0)
        return {WindowSystem::Wayland, wayland ? wayland : "wayland-0", nullptr, nullptr};
    return {WindowSystem::Other, "", nullptr, nullptr};
}

// Each step is undone by the step of the same number in Stop.
bool Start() {
    System& system = B().system;
    if (system.started) return true;
    // 1. The window system, once.
    WindowSystemChoice choice = ChooseWindowSystem(Env("SDL_VIDEODRIVER"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"));
    if (choice.refusal) {
        SetFailure("%s", choice.refusal);
        return false;
    }
    system = System{true, choice.kind, {}, 0, false, choice.kind == WindowSystem::Wayland, {0, 0}, false, {0, 0}};
    std::snprintf(system.name, sizeof system.name, "%s", choice.name);
    bool ok = (system.kind != WindowSystem::X11 || x11::Probe(system.name)) &&  // 2. the X server takes us
              (!system.name[0] || posix::MarkTheOnlyInstance(system.name));    // 3. the one-instance mark
    if (ok) {
        x11::WatchDesktop();  // 4. the watcher, before SDL starts threads of its own
        posix::CatchEndRequests();  // 5. requests to end
        ok = StartSdlVideo(choice);  // 6. SDL's video
    }
    if (!ok) {
        Stop();
        return false;
    }
    CatchX11Errors();  // 7. errors of SDL's connection
    // Once SDL has reached the compositor: whatever the library says of a failure is SDL's to say.
    system.keepsOutputSize = system.kind == WindowSystem::Wayland && wayland::IsWlroots(system.name);
    SDL_Rect monitor = {};
    if (system.kind == WindowSystem::X11 && SDL_GetDisplayBounds(0, &monitor) == 0) system.origin = {monitor.x, monitor.y};
    return true;
}

// SDL gives the display its desktop mode back as its video system ends, if it has not already.
// X errors stay caught until SDL's connection has closed: step 7 is undone after step 6.
void Stop() {
    System& system = B().system;
    if (!system.started) return;
    ForgetEvents();  // 6. what was read on SDL's connection, before it closes
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ReleaseX11Errors();              // 7.
    posix::ReleaseEndRequests();     // 5.
    x11::StopWatching(true);         // 4. the desktop is back
    posix::ReleaseInstanceMark();    // 3.
    ForgetCursor();                  // 1. the services' state
    ForgetMessages();
    system.started = false;
}

}  // namespace sdl2
