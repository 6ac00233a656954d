// Wayland only: what the compositor is, from the globals it offers a client of its own.
#pragma once

namespace wayland {

// wlroots' compositors (sway and its kin) offer their own screen copy. Without a GPU they draw
// with pixman, which copies a surface of the output's size far faster than it scales another:
// there the program's picture keeps to the output's size. False where no compositor answers.
bool IsWlroots(const char* display);

}  // namespace wayland
