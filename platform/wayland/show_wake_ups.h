// Wayland only: replies asked of the compositor while SDL waits for a window to be shown.
#pragma once

struct wl_display;

namespace wayland {

// SDL 3 shows a window that libdecor frames by waiting in poll() until the compositor's first
// configure has been handled. When another of its threads read that event off the socket first,
// libdecor handles it and still polls, with nothing more to come. While a show is under way a
// reply is asked for every 50 ms, so that such a wait ends. Start and stop come in pairs.
void StartShowWakeUps(wl_display* display);
void StopShowWakeUps();

}  // namespace wayland
