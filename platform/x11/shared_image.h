// X11 only: an image of a window's size in memory shared with the X server (MIT-SHM), put onto
// the window without OpenGL. Showing it costs the server one copy, where a scaled present through
// a software OpenGL costs the program a pass over every pixel of the window.
#pragma once

#include "platform/services/driver.h"

typedef struct _XDisplay Display;  // NOLINT(bugprone-reserved-identifier): Xlib names it so

namespace x11 {

// The image as the driver gives it (driver.h). False, with nothing made, where the server shares no memory (a remote one) or the window's
// visual is not 24-bit colour in 32-bit words.
bool CreateSharedImage(Display* display, unsigned long window, int width, int height, driver::Image* image);
bool PutSharedImage();  // onto the window whole; returns once the server has read it
void DestroySharedImage();

}  // namespace x11
