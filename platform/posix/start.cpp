// The services' start and stop, step by step, with the driver's video as one step.
#include "platform/posix/start.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/end_requests.h"
#include "platform/posix/instance_mark.h"
#include "platform/wayland/compositor.h"
#include "platform/x11/mode_watcher.h"
#include "platform/x11/probe.h"

namespace posix {
namespace {
using services::B;
using services::System;
using services::WindowSystem;

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] ? value : nullptr;
}

bool ProbeX11(System* system) {
    x11::Found found = {};
    if (!x11::Probe(system->name, &found)) return false;
    system->depth = found.depth;
    system->composited = found.xwayland;
    system->screen = {found.screenWidth, found.screenHeight};
    return true;
}
}  // namespace

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
    const char* asked = Env("SDL_VIDEO_DRIVER");  // SDL 3's name, or else SDL 2's
    if (!asked) asked = Env("SDL_VIDEODRIVER");
    WindowSystemChoice choice = ChooseWindowSystem(asked, Env("DISPLAY"), Env("WAYLAND_DISPLAY"));
    if (choice.refusal) {
        services::SetFailure("%s", choice.refusal);
        return false;
    }
    system = System{true, choice.kind, {}, 0, false, choice.kind == WindowSystem::Wayland, {0, 0}, false, {0, 0}};
    std::snprintf(system.name, sizeof system.name, "%s", choice.name);
    bool ok = (system.kind != WindowSystem::X11 || ProbeX11(&system)) &&  // 2. the X server takes us
              (!system.name[0] || MarkTheOnlyInstance(system.name));      // 3. the one-instance mark
    if (ok) {
        x11::WatchDesktop();                                       // 4. the watcher, before threads start
        CatchEndRequests();                                        // 5. requests to end
        ok = driver::StartVideo(choice.driver, choice.name);       // 6. the driver's video
    }
    if (!ok) {
        Stop();
        return false;
    }
    // Once the library has reached the compositor: whatever libwayland says of a failure is its to say.
    system.keepsOutputSize = system.kind == WindowSystem::Wayland && wayland::IsWlroots(system.name);
    driver::Bounds monitor = driver::MonitorBounds();
    if (system.kind == WindowSystem::X11) system.origin = {monitor.x, monitor.y};
    return true;
}

// The library gives the display its desktop mode back as its video ends, if it has not already.
void Stop() {
    System& system = B().system;
    if (!system.started) return;
    driver::StopVideo();        // 6.
    ReleaseEndRequests();       // 5.
    x11::StopWatching(true);    // 4. the desktop is back
    ReleaseInstanceMark();      // 3.
    services::ForgetCursor();   // 1. the services' state
    services::ForgetMessages();
    system.started = false;
}

}  // namespace posix
