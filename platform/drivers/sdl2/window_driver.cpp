// The driver's display modes, window and OpenGL over SDL's video.
#include "platform/services/driver.h"
#include "platform/drivers/sdl2/sdl2_driver.h"

namespace sdl2 {
namespace {
void SetPixelFormatAttributes(const driver::WindowPlan& plan) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, plan.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, plan.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, plan.blue);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, plan.depth);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, plan.doubleBuffer ? 1 : 0);
}

driver::Mode ModeOf(const SDL_DisplayMode& mode) { return {mode.w, mode.h, int(SDL_BITSPERPIXEL(mode.format))}; }

// The SDL mode that is the driver's, the first listed (of the highest refresh rate), or false.
bool SdlModeOf(const driver::Mode& wanted, SDL_DisplayMode* found) {
    for (int i = 0, count = SDL_GetNumDisplayModes(0); i < count; ++i) {
        driver::Mode mode = {};
        if (SDL_GetDisplayMode(0, i, found) == 0) mode = ModeOf(*found);
        if (mode.width == wanted.width && mode.height == wanted.height && mode.bits == wanted.bits) return true;
    }
    return false;
}
}  // namespace
}  // namespace sdl2

using namespace sdl2;

int driver::DisplayModes(driver::Mode* modes, int most) {
    int listed = 0;
    for (int i = 0, count = SDL_GetNumDisplayModes(0); i < count && listed < most; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0) modes[listed++] = ModeOf(mode);
    }
    return listed;
}

driver::Mode driver::DesktopMode() {
    SDL_DisplayMode desktop = {};
    SDL_GetDesktopDisplayMode(0, &desktop);
    return ModeOf(desktop);
}

bool driver::CreateWindow(const driver::WindowPlan& plan) {
    SetPixelFormatAttributes(plan);
    // Borderless from its creation: a window manager never gives it a frame, even for a moment.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (plan.fullscreen == driver::Fullscreen::SwitchedMode) flags |= SDL_WINDOW_FULLSCREEN;
    if (plan.fullscreen == driver::Fullscreen::OverTheDesktop) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    W().sdl = SDL_CreateWindow(plan.title, plan.bounds.x, plan.bounds.y, plan.bounds.width, plan.bounds.height, flags);
    W().fullscreen = plan.fullscreen != driver::Fullscreen::No;
    if (!W().sdl) return false;
    RememberX11Window(W().sdl);
    GiveWindowItsIcon(W().sdl);
    if (plan.fullscreen == driver::Fullscreen::SwitchedMode) driver::SetWindowMode(plan.mode);
    return true;
}

void driver::DestroyWindow() {
    SDL_Window* window = W().sdl;
    W().sdl = nullptr;
    if (window) DestroySdlWindow(window);
}

bool driver::HasWindow() { return W().sdl != nullptr; }
bool driver::WindowShown() { return W().sdl && (SDL_GetWindowFlags(W().sdl) & SDL_WINDOW_SHOWN); }

bool driver::SetWindowMode(const driver::Mode& mode) {
    SDL_DisplayMode sdl;
    return SdlModeOf(mode, &sdl) && SDL_SetWindowDisplayMode(W().sdl, &sdl) == 0;
}

bool driver::SwitchMode(const driver::Mode& mode) {
    W().fullscreen = true;
    return driver::SetWindowMode(mode) && SDL_SetWindowFullscreen(W().sdl, SDL_WINDOW_FULLSCREEN) == 0;
}

void driver::LeaveFullscreen() {
    UnmapBeforeTheModeReturns(W().sdl);
    SDL_HideWindow(W().sdl);
    SDL_SetWindowFullscreen(W().sdl, 0);
    W().fullscreen = false;
}

void driver::ShowWindow(bool shown) {
    if (!shown) return SDL_HideWindow(W().sdl);
    MarkFullscreenForShowing(W().sdl);
    ShowWithWakeUps(W().sdl);
}
void driver::RaiseWindow() { SDL_RaiseWindow(W().sdl); }
void driver::FocusWindow() { SDL_SetWindowInputFocus(W().sdl); }

int driver::RefreshRate() {
    SDL_DisplayMode mode;
    return W().sdl && SDL_GetWindowDisplayMode(W().sdl, &mode) == 0 ? mode.refresh_rate : 0;
}

void* driver::CreateContext() { return SDL_GL_CreateContext(W().sdl); }
bool driver::MakeCurrent(void* context) { return SDL_GL_MakeCurrent(W().sdl, context) == 0; }
void driver::DeleteContext(void* context) { SDL_GL_DeleteContext(context); }
void driver::SetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }
void driver::Present() { SDL_GL_SwapWindow(W().sdl); }
void* driver::ProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }
bool driver::HasExtension(const char* name) { return SDL_GL_ExtensionSupported(name); }
void driver::DrawableSize(int* width, int* height) { SDL_GL_GetDrawableSize(W().sdl, width, height); }
const char* driver::LastError() { return SDL_GetError(); }
