// X11 only: connects once to see that the X server is there and takes us, and reads its colour
// depth and whether it is Xwayland (Debian 12's names its outputs XWAYLAND0, XWAYLAND1, ...; later
// ones have an extension of that name), whose compositor scales an emulated mode to the output,
// and whether it emulates modes for the window alone (Xwayland 23 and later). False with the
// failure set.
#pragma once

namespace x11 {

struct Found {
    int depth;  // the screen's colour depth
    bool xwayland;
    int screenWidth, screenHeight;  // the X screen's, where modes are the window's alone; else 0
};
bool Probe(const char* name, Found* found);

}  // namespace x11
