// The full-screen window through the display and context services, over the fake driver.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/services/driver.h"
#include "platform/services/services.h"
#include "tests/fake_driver.h"

namespace {

// The full-screen window as the display and the compositor allow, made with the pixel format; an
// OpenGL without framebuffer objects (the fake's) takes the plain switch after all, or fails.
TEST(FullScreenWindow, FollowsTheDisplayAndTheCompositor) {
    using driver::Fullscreen;
    struct {
        const char* what;
        bool composited;
        int modeCount;
        driver::Mode modes[3];
        Fullscreen fullscreen;
        driver::Mode made;  // the window's size, or its mode
        bool current;       // the context made current, after the switch it took instead
        driver::Mode switched;
    } cases[] = {
        {"a bare X server", false, 2, {{1280, 720, 24}, {640, 480, 16}}, Fullscreen::SwitchedMode, {640, 480, 16}, true, {640, 480, 16}},
        {"a mode of the output's shape", true, 3, {{1280, 720, 24}, {960, 540, 24}, {640, 480, 24}},
         Fullscreen::SwitchedMode, {960, 540, 24}, true, {640, 480, 24}},
        {"none of its shape", true, 2, {{1280, 720, 24}, {640, 480, 24}}, Fullscreen::OverTheDesktop, {1280, 720, 0}, true,
         {640, 480, 24}},
        {"no 640 x 480 to fall back on", true, 2, {{1280, 720, 24}, {960, 540, 24}}, Fullscreen::SwitchedMode,
         {960, 540, 24}, false, {960, 540, 24}},
    };
    for (const auto& c : cases) {
        fake = FakeDriver{};
        services::B() = services::Services{};
        services::B().system.started = true;
        services::B().windowClass = {true, "OpenGL", DefWindowProcA};
        services::B().window.created = true;
        fake.monitor = {0, 0, 1280, 720};
        fake.modeCount = c.modeCount;
        for (int i = 0; i < c.modeCount; ++i) fake.modes[i] = c.modes[i];
        services::B().system.composited = c.composited;
        services::B().window.asked = {640, 480};
        DEVMODEA mode = {};
        mode.dmPelsWidth = 640, mode.dmPelsHeight = 480, mode.dmBitsPerPel = 16;
        ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL) << c.what;
        PIXELFORMATDESCRIPTOR request = {};
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        HDC dc = services::DeviceContextHandle();
        ASSERT_TRUE(SetPixelFormat(dc, 1, &request)) << c.what;
        EXPECT_EQ(fake.plan.fullscreen, c.fullscreen) << c.what;
        EXPECT_EQ(fake.plan.bounds.width, c.made.width) << c.what;
        EXPECT_EQ(fake.plan.bounds.height, c.made.height) << c.what;
        EXPECT_EQ(fake.plan.mode.width, c.fullscreen == Fullscreen::SwitchedMode ? c.made.width : 0) << c.what;
        EXPECT_EQ(bool(wglMakeCurrent(dc, wglCreateContext(dc))), c.current) << c.what;
        EXPECT_EQ(fake.windowMode.width, c.switched.width) << c.what;
        EXPECT_EQ(fake.windowMode.height, c.switched.height) << c.what;
        EXPECT_EQ(fake.switches, c.composited && c.current ? 1 : 0) << c.what;
        if (!c.current) {
            EXPECT_NE(std::string(PlatformFailureReason()).find("no framebuffer objects"), std::string::npos);
        }
        wglMakeCurrent(nullptr, nullptr);
        DestroyWindow(services::WindowHandle());
    }
}

}  // namespace
