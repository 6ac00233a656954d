// The driver's display modes, window and OpenGL over SDL's video.
#include <cmath>

#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/services/driver.h"

namespace sdl3 {
namespace {
void SetPixelFormatAttributes(const driver::WindowPlan& plan) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, plan.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, plan.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, plan.blue);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, plan.depth);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, plan.doubleBuffer ? 1 : 0);
}

driver::Mode ModeOf(const SDL_DisplayMode& mode) { return {mode.w, mode.h, int(SDL_BITSPERPIXEL(mode.format))}; }

// The SDL mode that is the driver's: the first listed, of the highest refresh rate.
bool SdlModeOf(const driver::Mode& wanted, SDL_DisplayMode* found) {
    int count = 0;
    SDL_DisplayMode** modes = SDL_GetFullscreenDisplayModes(ProgramsDisplay(), &count);
    bool known = false;
    for (int i = 0; i < count && !known; ++i) {
        driver::Mode mode = ModeOf(*modes[i]);
        known = mode.width == wanted.width && mode.height == wanted.height && mode.bits == wanted.bits;
        if (known) *found = *modes[i];
    }
    SDL_free(modes);
    return known;
}

void GiveWindowItsIcon(SDL_Window* window) {
    int width = 0, height = 0;
    void* pixels = const_cast<unsigned char*>(WindowIcon(&width, &height));
    SDL_Surface* icon = SDL_CreateSurfaceFrom(width, height, SDL_PIXELFORMAT_RGBA32, pixels, width * 4);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_DestroySurface(icon);
}
}  // namespace
}  // namespace sdl3

using namespace sdl3;

int driver::DisplayModes(driver::Mode* modes, int most) {
    int count = 0;
    SDL_DisplayMode** listed = SDL_GetFullscreenDisplayModes(ProgramsDisplay(), &count);
    int taken = 0;
    for (; taken < count && taken < most; ++taken) modes[taken] = ModeOf(*listed[taken]);
    SDL_free(listed);
    return taken;
}

driver::Mode driver::DesktopMode() {
    const SDL_DisplayMode* desktop = SDL_GetDesktopDisplayMode(ProgramsDisplay());
    return desktop ? ModeOf(*desktop) : driver::Mode{};
}

// Borderless from its creation: a window manager never gives it a frame, even for a moment. The
// full screen, in a mode or over the desktop, is the window's from its first showing.
bool driver::CreateWindow(const driver::WindowPlan& plan) {
    SetPixelFormatAttributes(plan);
    SDL_PropertiesID asked = SDL_CreateProperties();
    SDL_SetStringProperty(asked, SDL_PROP_WINDOW_CREATE_TITLE_STRING, plan.title);
    SDL_SetNumberProperty(asked, SDL_PROP_WINDOW_CREATE_X_NUMBER, plan.bounds.x);
    SDL_SetNumberProperty(asked, SDL_PROP_WINDOW_CREATE_Y_NUMBER, plan.bounds.y);
    SDL_SetNumberProperty(asked, SDL_PROP_WINDOW_CREATE_WIDTH_NUMBER, plan.bounds.width);
    SDL_SetNumberProperty(asked, SDL_PROP_WINDOW_CREATE_HEIGHT_NUMBER, plan.bounds.height);
    SDL_SetNumberProperty(asked, SDL_PROP_WINDOW_CREATE_FLAGS_NUMBER,
                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS |
                              (plan.fullscreen != driver::Fullscreen::No ? SDL_WINDOW_FULLSCREEN : 0));
    W().sdl = SDL_CreateWindowWithProperties(asked);
    SDL_DestroyProperties(asked);
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
bool driver::WindowShown() { return W().sdl && !(SDL_GetWindowFlags(W().sdl) & SDL_WINDOW_HIDDEN); }

bool driver::SetWindowMode(const driver::Mode& mode) {
    SDL_DisplayMode sdl;
    return SdlModeOf(mode, &sdl) && SDL_SetWindowFullscreenMode(W().sdl, &sdl);
}

// SDL switches the display with the window's full screen, and answers once the window system has.
bool driver::SwitchMode(const driver::Mode& mode) {
    W().fullscreen = true;
    bool switched = driver::SetWindowMode(mode) && SDL_SetWindowFullscreen(W().sdl, true);
    if (switched) SDL_SyncWindow(W().sdl);
    return switched;
}

void driver::LeaveFullscreen() {
    UnmapBeforeTheModeReturns(W().sdl);
    SDL_HideWindow(W().sdl);
    SDL_SetWindowFullscreen(W().sdl, false);
    W().fullscreen = false;
}

void driver::ShowWindow(bool shown) {
    if (!shown) {
        SDL_HideWindow(W().sdl);
        return;
    }
    MarkFullscreenForShowing(W().sdl);
    ShowWithWakeUps(W().sdl);
    if (W().fullscreen) SDL_SyncWindow(W().sdl);  // the first frame comes in the full screen's mode
}
void driver::RaiseWindow() { SDL_RaiseWindow(W().sdl); }
void driver::FocusWindow() { SDL_RaiseWindow(W().sdl); }  // SDL 3 raises and focuses in one

int driver::RefreshRate() {
    const SDL_DisplayMode* mode = W().sdl ? SDL_GetCurrentDisplayMode(SDL_GetDisplayForWindow(W().sdl)) : nullptr;
    return mode ? int(std::lround(mode->refresh_rate)) : 0;
}

void* driver::CreateContext() { return SDL_GL_CreateContext(W().sdl); }
bool driver::MakeCurrent(void* context) { return SDL_GL_MakeCurrent(W().sdl, static_cast<SDL_GLContext>(context)); }
void driver::DeleteContext(void* context) { SDL_GL_DestroyContext(static_cast<SDL_GLContext>(context)); }
void driver::SetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }
void driver::Present() { SDL_GL_SwapWindow(W().sdl); }
void* driver::ProcAddress(const char* name) { return reinterpret_cast<void*>(SDL_GL_GetProcAddress(name)); }
bool driver::HasExtension(const char* name) { return SDL_GL_ExtensionSupported(name); }
void driver::DrawableSize(int* width, int* height) { SDL_GetWindowSizeInPixels(W().sdl, width, height); }
