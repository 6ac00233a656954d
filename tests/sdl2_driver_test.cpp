// The SDL backend's own logic, through the services it provides, on SDL's off-screen video driver
// (the dummy driver has no OpenGL, and the backend makes its real window with the pixel format).
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/drivers/sdl2/sdl2_driver.h"
#include "platform/posix/start.h"

namespace {

class SdlLayer : public ::testing::Test {
protected:
    HWND window = nullptr;

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
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

    // The real window, shown, with the cursor hidden over it: positions come from relative motion.
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

    static SDL_Event Key(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
        SDL_Event event = {};
        event.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        return event;
    }
};

TEST_F(SdlLayer, KeysBecomeVirtualKeysByTheirMeaning) {
    struct {
        SDL_Keycode key;
        SDL_Scancode scancode;
        WPARAM virtualKey;
    } keys[] = {{SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDLK_UP, SDL_SCANCODE_UP, VK_UP},
                {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},       {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
                {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},    {SDLK_END, SDL_SCANCODE_END, VK_END},
                {SDLK_a, SDL_SCANCODE_Q, 'A'},   // on an AZERTY layout A sits where QWERTY has Q
                {0x444, SDL_SCANCODE_A, 'A'}};  // on a Russian one ф sits where A would be
    for (const auto& k : keys) {
        MSG down = Translated(Key(SDL_KEYDOWN, k.key, k.scancode));
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << k.virtualKey;
        EXPECT_EQ(down.wParam, k.virtualKey);
        EXPECT_EQ(down.hwnd, window);
        MSG up = Translated(Key(SDL_KEYUP, k.key, k.scancode));
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << k.virtualKey;
        EXPECT_EQ(up.wParam, k.virtualKey);
        EXPECT_NE(up.lParam & (LPARAM(1) << 31), 0);  // the transition flag of a release
    }
    EXPECT_EQ(Translated(Key(SDL_KEYDOWN, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK)).message, 0xFFFFu)
        << "a key the program has no code for makes no message";
}

// Shown with the cursor hidden, the window takes relative motion, and the cursor read takes in
// what has arrived since the last poll. Under sdl2-compat only a device's motion counts: SDL 3
// numbers its mice from 1, and its system pointer's moves in the window are no device's.
TEST_F(SdlLayer, TheCursorFollowsRelativeMotionOverTheShownWindow) {
    ShowWindowWithHiddenCursor();
    SetCursorPos(320, 240);
    SDL_version linked;
    SDL_GetVersion(&linked);
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 319;
    SDL_PushEvent(&motion);  // the system pointer's
    Drain();
    POINT at;
    ASSERT_TRUE(GetCursorPos(&at));
    EXPECT_EQ(at.x, linked.patch >= 50 ? 320 : 639) << "SDL " << int(linked.minor) << "." << int(linked.patch);
    SetCursorPos(320, 240);
    motion.motion.which = 1;
    motion.motion.xrel = -40;
    motion.motion.yrel = 25;
    SDL_PushEvent(&motion);
    Drain();
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 280);
    EXPECT_EQ(at.y, 265);
    motion.motion.xrel = 7;
    motion.motion.yrel = 0;
    SDL_PushEvent(&motion);  // arrived after the last poll
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 287);
    ShowCursor(TRUE);
}

// A frame cleared green, presented, and the window's own pixels read back, with the program's
// window of this size.
struct Presented {
    SDL_Point windowSize;
    unsigned char top[3], middle[3], bottom[3];  // down the window's middle column, a few rows in
    GLfloat clearColour[4];
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
    glClearColor(0.0f, 1.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(dc);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, seen.clearColour);
    // The off-screen driver's surface keeps what was presented.
    auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    bind(GL_FRAMEBUFFER, 0);
    SDL_GL_GetDrawableSize(sdl2::W().sdl, &seen.windowSize.x, &seen.windowSize.y);
    int x = seen.windowSize.x / 2, h = seen.windowSize.y;
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

TEST_F(SdlLayer, ThePresentShowsTheFrame) {
    DestroyWindow(window);
    Presented seen = PresentAGreenFrame(640, 480);
    EXPECT_EQ(seen.windowSize.x, 640);
    EXPECT_TRUE(Is(seen.top, 0, 255, 0) && Is(seen.middle, 0, 255, 0) && Is(seen.bottom, 0, 255, 0));
}

// The off-screen driver's monitor is 1024 x 768 and offers no 640 x 240 mode; a picture of that
// shape fills its width, 384 rows high, with bars of 192 rows above and below.
TEST_F(SdlLayer, APictureIsScaledIntoTheOutputWithItsShapeKeptBetweenBlackBars) {
    DestroyWindow(window);
    services::SetPictureAlways(true);
    DEVMODEA mode = {};
    mode.dmPelsWidth = 640, mode.dmPelsHeight = 240, mode.dmBitsPerPel = 16;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL) << PlatformFailureReason();
    Presented seen = PresentAGreenFrame(640, 240);
    ChangeDisplaySettingsA(nullptr, 0);
    services::SetPictureAlways(false);
    EXPECT_EQ(seen.windowSize.x, 1024);
    EXPECT_EQ(seen.windowSize.y, 768);
    EXPECT_TRUE(Is(seen.middle, 0, 255, 0));
    EXPECT_TRUE(Is(seen.top, 0, 0, 0) && Is(seen.bottom, 0, 0, 0)) << "the bars are black";
    EXPECT_EQ(seen.clearColour[1], 1.0f) << "the program's clear colour is its own";
    EXPECT_EQ(seen.clearColour[3], 0.5f);
}

}  // namespace
