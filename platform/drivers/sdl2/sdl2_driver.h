// What the SDL2-backed services share between their files; private to this backend, its entry,
// its tests and the frame benchmark. platform/README.md maps the files.
#pragma once

#ifndef TOLVAREN_SDL_BACKEND
#error "platform/drivers/sdl2/sdl2_driver.h is private to the SDL backend: include platform/platform.h"
#endif

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/platform.h"
#include "platform/services/services.h"

namespace sdl2 {
using namespace services;

// Whether SDL 2 is sdl2-compat over SDL 3 here.
bool UnderSdl3();

// ---------------------------------------------------------------------------------------------
// State shared between the service files; each file keeps the rest of its state to itself.
// ---------------------------------------------------------------------------------------------
// What the SDL window adds to the services' window.
struct SdlWindow {
    SDL_Window* sdl;
    bool fullscreen;  // asked for: SDL 3 counts a hidden window's full screen only once it is shown
};
SdlWindow& W();

void GiveWindowItsIcon(SDL_Window* window);  // window_icon.cpp

// The desktop entry's ID, which the window gives as its Wayland app_id and X11 class, so that
// desktops match the running program to its menu entry.
constexpr const char* kDesktopEntryId = "org.tolvaren.Tolvaren";

// The pointer (pointer.cpp) asks the compositor again for relative motion once it has entered the
// window.
void RelockPointer();
// Whether a motion is a pointing device's: under sdl2-compat, SDL 3 also reports as motion of its
// system pointer (number 0) where the pointer stands in the window, as it enters it and while
// relative mode waits for the window's focus, which moves no device.
bool IsDeviceMotion(const SDL_MouseMotionEvent& motion);

// The driver's events (events.cpp) forget the layout they read.
void ForgetEvents();

// ---------------------------------------------------------------------------------------------
// X11 only (x11_*.cpp); each does nothing, or answers no, on any other window system.
// ---------------------------------------------------------------------------------------------
// The driver's connection and window are the ones whose X errors end the program.
void RememberX11Window(SDL_Window* window);
// The X11 layout active now, read on SDL's connection for the press of a key of the letter block
// (x11_display.cpp); false on any other window system.
bool ReadX11Layout(int pressed);
// The window leaves the screen before the mode returns; a destroyed window's late errors count.
void UnmapBeforeTheModeReturns(SDL_Window* window);
// Under SDL 3, a full-screen window about to be shown is marked so where no window manager would.
void MarkFullscreenForShowing(SDL_Window* window);
// SDL_ShowWindow, kept from waiting for good where SDL 3 shows a window on Wayland.
void ShowWithWakeUps(SDL_Window* window);
void DestroySdlWindow(SDL_Window* window);

}  // namespace sdl2
