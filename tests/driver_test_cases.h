// What the drivers' own tests share, each over its SDL's off-screen video driver (included after
// the driver's header): the fixture through the services, and the cases on the present and the
// scaled picture, which ask the driver only through the seam.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/start.h"
#include "platform/services/driver.h"

namespace {

class DriverLayer : public ::testing::Test {
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
};

// A frame cleared green, presented, and the window's own pixels read back, with the program's
// window of this size.
struct Presented {
    int width, height;
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
    auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(driver::ProcAddress("glBindFramebuffer"));
    bind(GL_FRAMEBUFFER, 0);
    driver::DrawableSize(&seen.width, &seen.height);
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

TEST_F(DriverLayer, ThePresentShowsTheFrame) {
    DestroyWindow(window);
    Presented seen = PresentAGreenFrame(640, 480);
    EXPECT_EQ(seen.width, 640);
    EXPECT_TRUE(Is(seen.top, 0, 255, 0) && Is(seen.middle, 0, 255, 0) && Is(seen.bottom, 0, 255, 0));
}

// The off-screen driver's monitor is 1024 x 768 and offers no 640 x 240 mode; a picture of that
// shape fills its width, 384 rows high, with bars of 192 rows above and below.
TEST_F(DriverLayer, APictureIsScaledIntoTheOutputWithItsShapeKeptBetweenBlackBars) {
    DestroyWindow(window);
    services::SetPictureAlways(true);
    DEVMODEA mode = {};
    mode.dmPelsWidth = 640, mode.dmPelsHeight = 240, mode.dmBitsPerPel = 16;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL) << PlatformFailureReason();
    Presented seen = PresentAGreenFrame(640, 240);
    ChangeDisplaySettingsA(nullptr, 0);
    services::SetPictureAlways(false);
    EXPECT_EQ(seen.width, 1024);
    EXPECT_EQ(seen.height, 768);
    EXPECT_TRUE(Is(seen.middle, 0, 255, 0));
    EXPECT_TRUE(Is(seen.top, 0, 0, 0) && Is(seen.bottom, 0, 0, 0)) << "the bars are black";
    EXPECT_EQ(seen.clearColour[1], 1.0f) << "the program's clear colour is its own";
    EXPECT_EQ(seen.clearColour[3], 0.5f);
}

}  // namespace
