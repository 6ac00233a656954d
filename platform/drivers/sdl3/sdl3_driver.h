// What the SDL3 driver's files share; private to this driver, its tests and the benchmark.
// platform/README.md maps the files.
#pragma once

#ifndef TOLVAREN_SDL_BACKEND
#error "platform/drivers/sdl3/sdl3_driver.h is private to the SDL backend: include platform/platform.h"
#endif

#include <SDL3/SDL.h>

#include "platform/platform.h"
#include "platform/services/services.h"

namespace sdl3 {
using namespace services;

// The one window.
struct SdlWindow {
    SDL_Window* sdl;
    bool fullscreen;  // asked for: SDL counts a hidden window's full screen only once it is shown
};
SdlWindow& W();
SDL_DisplayID ProgramsDisplay();  // the first display: on X11 the primary output

// The desktop entry's ID, which the window gives as its Wayland app_id and X11 class, so that
// desktops match the running program to its menu entry.
constexpr const char* kDesktopEntryId = "org.tolvaren.Tolvaren";

// Only a pointing device's motion counts (pointer.cpp). SDL 3 locks the pointer again itself when
// a seat gains one late; asking it to lock anew as the pointer enters made weston 14 abort.
bool IsDeviceMotion(const SDL_MouseMotionEvent& motion);
void ForgetEvents();  // events.cpp forgets the layout and the motion's fractions

// X11 only (x11_display.cpp): each does nothing, or answers no, on any other window system.
void RememberX11Window(SDL_Window* window);
bool ReadX11Layout(int pressed);  // the layout active at the press of a letter block key
void UnmapBeforeTheModeReturns(SDL_Window* window);
void MarkFullscreenForShowing(SDL_Window* window);  // where no window manager would
void DestroySdlWindow(SDL_Window* window);

// Wayland only (wayland_display.cpp): SDL_ShowWindow, kept from waiting for good.
void ShowWithWakeUps(SDL_Window* window);

}  // namespace sdl3
