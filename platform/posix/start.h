// The start and stop of the services on a system other than Windows, over whichever driver the
// build has: the entry, the benchmark and the drivers' tests call them; no service starts anything.
#pragma once

#include "platform/services/services.h"

namespace posix {

// Chooses the window system, checks that it takes us, takes the one-instance mark, starts the
// watcher (X11), catches the requests to end and starts the driver's video. False with the
// failure set.
bool Start();
// Undoes Start in reverse; the desktop's mode and cursor are back after it. Safe to call twice.
void Stop();

// Which window system the environment asks for: X11 when DISPLAY is set, else Wayland when
// WAYLAND_DISPLAY is; a driver named in SDL_VIDEODRIVER is taken as asked. Reads nothing itself.
struct WindowSystemChoice {
    services::WindowSystem kind;
    const char* name;     // the display, as the user's messages name it; "" for other drivers
    const char* driver;   // what the library is told to use, or null when the user named it
    const char* refusal;  // why none can be used, or null
};
WindowSystemChoice ChooseWindowSystem(const char* asked, const char* x11, const char* wayland);

}  // namespace posix
