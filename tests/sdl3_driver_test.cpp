// The SDL3 driver's own logic, through the services it provides, on SDL's off-screen video driver.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/drivers/sdl3/sdl3_driver.h"
#include "platform/posix/start.h"

namespace {

class Sdl3Layer : public ::testing::Test {
protected:
    HWND window = nullptr;

    void SetUp() override {
        setenv("SDL_VIDEO_DRIVER", "offscreen", 1);
        ASSERT_TRUE(posix::Start()) << PlatformFailureReason();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "OpenGL";
        ASSERT_NE(RegisterClassA(&windowClass), 0) << PlatformFailureReason();
        window = CreateWindowExA(0, "OpenGL", "TOLVAREN", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        UnregisterClassA("OpenGL", nullptr);
        posix::Stop();
    }

    void ShowWindowWithHiddenCursor() {
        PIXELFORMATDESCRIPTOR request = {};
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        request.cDepthBits = 16;
        HDC dc = GetDC(window);
        ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request)) << PlatformFailureReason();
        ShowCursor(FALSE);
        ShowWindow(window, SW_SHOW);
        Drain();
    }

    static void Drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static MSG Translated(const SDL_Event& event) {
        SDL_Event copy = event;
        SDL_PushEvent(&copy);
        MSG msg = {};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) msg.message = 0xFFFF;  // none
        Drain();
        return msg;
    }

    static SDL_Event Key(bool down, SDL_Scancode scancode, SDL_Keymod mod = SDL_KMOD_NONE) {
        SDL_Event event = {};
        event.type = down ? SDL_EVENT_KEY_DOWN : SDL_EVENT_KEY_UP;
        event.key.down = down;
        event.key.scancode = scancode;
        event.key.key = SDL_GetKeyFromScancode(scancode, mod, true);
        event.key.mod = mod;
        return event;
    }

    static void Move(SDL_MouseID which, float dx, float dy) {
        SDL_Event motion = {};
        motion.type = SDL_EVENT_MOUSE_MOTION;
        motion.motion.which = which;
        motion.motion.xrel = dx;
        motion.motion.yrel = dy;
        SDL_PushEvent(&motion);
    }
};

// SDL 3 names a key with its modifiers applied: a shifted letter is still the letter's key.
TEST_F(Sdl3Layer, KeysBecomeVirtualKeysByTheirMeaning) {
    struct {
        SDL_Scancode scancode;
        SDL_Keymod mod;
        WPARAM virtualKey;
    } keys[] = {{SDL_SCANCODE_ESCAPE, SDL_KMOD_NONE, VK_ESCAPE}, {SDL_SCANCODE_UP, SDL_KMOD_NONE, VK_UP},
                {SDL_SCANCODE_END, SDL_KMOD_NONE, VK_END},       {SDL_SCANCODE_A, SDL_KMOD_NONE, 'A'},
                {SDL_SCANCODE_A, SDL_KMOD_SHIFT, 'A'}};
    for (const auto& k : keys) {
        MSG down = Translated(Key(true, k.scancode, k.mod));
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << k.virtualKey;
        EXPECT_EQ(down.wParam, k.virtualKey);
        MSG up = Translated(Key(false, k.scancode, k.mod));
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << k.virtualKey;
        EXPECT_NE(up.lParam & (LPARAM(1) << 31), 0);
    }
    EXPECT_EQ(Translated(Key(true, SDL_SCANCODE_CAPSLOCK)).message, 0xFFFFu);
}

// Only a device's motion counts (SDL's own pointer is mouse 0), and SDL's fractions of a pixel
// add up to whole ones instead of being dropped.
TEST_F(Sdl3Layer, TheCursorFollowsADevicesMotionInWholePixels) {
    ShowWindowWithHiddenCursor();
    SetCursorPos(320, 240);
    Move(0, 319, 0);
    Drain();
    POINT at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(at.x, 320) << "the system pointer's motion moved the cursor";
    for (int i = 0; i < 4; ++i) Move(1, 0.5f, -0.25f);
    Drain();
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 322);
    EXPECT_EQ(at.y, 239);
    Move(1, -40, 25);  // arrived after the last poll
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 282);
    EXPECT_EQ(at.y, 264);
    ShowCursor(TRUE);
}

struct Presented {
    int width, height;
    unsigned char top[3], middle[3], bottom[3];
};

Presented PresentAGreenFrame(int width, int height) {
    Presented seen = {};
    HWND window = CreateWindowExA(0, "OpenGL", "TOLVAREN", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  nullptr, nullptr);
    PIXELFORMATDESCRIPTOR request = {};
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    HDC dc = GetDC(window);
    EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request)) << PlatformFailureReason();
    HGLRC context = wglCreateContext(dc);
    EXPECT_TRUE(wglMakeCurrent(dc, context)) << PlatformFailureReason();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(dc);
    auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    bind(GL_FRAMEBUFFER, 0);
    SDL_GetWindowSizeInPixels(sdl3::W().sdl, &seen.width, &seen.height);
    int x = seen.width / 2, h = seen.height;
    glReadPixels(x, h - 4, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, seen.top);
    glReadPixels(x, h / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, seen.middle);
    glReadPixels(x, 3, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, seen.bottom);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return seen;
}

bool Is(const unsigned char* pixel, int r, int g, int b) { return pixel[0] == r && pixel[1] == g && pixel[2] == b; }

TEST_F(Sdl3Layer, ThePresentShowsTheFrame) {
    DestroyWindow(window);
    Presented seen = PresentAGreenFrame(640, 480);
    EXPECT_EQ(seen.width, 640);
    EXPECT_TRUE(Is(seen.top, 0, 255, 0) && Is(seen.middle, 0, 255, 0) && Is(seen.bottom, 0, 255, 0));
}

// The off-screen display offers no 640 x 240 mode: such a picture fills the display's width
// between black bars.
TEST_F(Sdl3Layer, APictureIsScaledIntoTheOutputWithItsShapeKeptBetweenBlackBars) {
    DestroyWindow(window);
    services::SetPictureAlways(true);
    DEVMODEA mode = {};
    mode.dmPelsWidth = 640, mode.dmPelsHeight = 240, mode.dmBitsPerPel = 16;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL) << PlatformFailureReason();
    Presented seen = PresentAGreenFrame(640, 240);
    ChangeDisplaySettingsA(nullptr, 0);
    services::SetPictureAlways(false);
    const SDL_DisplayMode* desktop = SDL_GetDesktopDisplayMode(SDL_GetPrimaryDisplay());
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(seen.width, desktop->w);
    EXPECT_TRUE(Is(seen.middle, 0, 255, 0));
    EXPECT_TRUE(Is(seen.top, 0, 0, 0) && Is(seen.bottom, 0, 0, 0)) << "the bars are black";
}

}  // namespace
