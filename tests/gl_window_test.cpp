#include <gtest/gtest.h>

#include <cstring>

#include "platform/gl_window.h"
#include "platform/window_proc.h"
#include "test_support.h"

namespace {

const std::vector<std::string> kOpenCalls = {
    "GetModuleHandleA", "LoadIconA",      "LoadCursorA",       "RegisterClassA",     "ChangeDisplaySettingsA",
    "ShowCursor",       "AdjustWindowRectEx", "CreateWindowExA", "GetDC",            "ChoosePixelFormat",
    "SetPixelFormat",   "wglCreateContext", "wglMakeCurrent",  "ShowWindow",         "SetForegroundWindow",
    "SetFocus"};

std::vector<std::string> Prefix(size_t count) {
    return std::vector<std::string>(kOpenCalls.begin(), kOpenCalls.begin() + count);
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FullscreenWindow : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
};

TEST_F(FullscreenWindow, OpensInOrderWithTheStatedArguments) {
    ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));
    EXPECT_EQ(script::CallNames(), kOpenCalls);
    EXPECT_EQ(script::ArgsOf("GetModuleHandleA"), "null");
    EXPECT_EQ(script::ArgsOf("LoadIconA"), "null,32517");
    EXPECT_EQ(script::ArgsOf("LoadCursorA"), "null,32512");
    EXPECT_EQ(script::ArgsOf("ChangeDisplaySettingsA"), "640x480x16,4");
    EXPECT_EQ(script::ArgsOf("ShowCursor"), "0");
    EXPECT_EQ(script::ArgsOf("AdjustWindowRectEx"), "0,0,640,480,0x80000000,0,0x40000");
    EXPECT_EQ(script::ArgsOf("CreateWindowExA"),
              "0x40000,OpenGL,TOLVAREN,0x86000000,0,0,640,480,null,null,instance,null");
    EXPECT_EQ(script::ArgsOf("SetPixelFormat"), "dc,7");
    EXPECT_EQ(script::ArgsOf("wglMakeCurrent"), "dc,rc");
    EXPECT_EQ(script::ArgsOf("ShowWindow"), "window,5");
    EXPECT_EQ(script::CursorShowCount(), -1);

    const PlatformHandles& handles = appState.handles;
    EXPECT_EQ(handles.instance, script::kInstance);
    EXPECT_EQ(handles.window, script::kWindow);
    EXPECT_EQ(handles.deviceContext, script::kDeviceContext);
    EXPECT_EQ(handles.renderContext, script::kRenderContext);
}

TEST_F(FullscreenWindow, RecordsCarryTheStatedValues) {
    ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));

    const WNDCLASSA& windowClass = script::LastWindowClass();
    EXPECT_EQ(windowClass.style, 0x23u);
    EXPECT_EQ(windowClass.lpfnWndProc, &HandleWindowMessage);
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
    EXPECT_EQ(windowClass.hInstance, script::kInstance);
    EXPECT_NE(windowClass.hIcon, nullptr);
    EXPECT_NE(windowClass.hCursor, nullptr);
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(script::LastWindowClassName(), "OpenGL");

    DEVMODEA expectedMode = {};
    expectedMode.dmSize = 148;
    expectedMode.dmFields = 0x1C0000;
    expectedMode.dmPelsWidth = 640;
    expectedMode.dmPelsHeight = 480;
    expectedMode.dmBitsPerPel = 16;
    EXPECT_EQ(std::memcmp(&expectedMode, &script::LastDisplayMode(), sizeof(DEVMODEA)), 0);

    PIXELFORMATDESCRIPTOR expectedRequest = {};
    expectedRequest.nSize = 40;
    expectedRequest.nVersion = 1;
    expectedRequest.dwFlags = 0x25;
    expectedRequest.cColorBits = 16;
    expectedRequest.cDepthBits = 16;
    EXPECT_EQ(std::memcmp(&expectedRequest, &script::LastPixelFormatRequest(), 40), 0);
}

TEST_F(FullscreenWindow, RequestRecordIsFilledOnce) {
    ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));
    CloseFullscreenWindow();
    ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", 800, 600, 32));
    EXPECT_EQ(script::LastDisplayMode().dmBitsPerPel, 32u);
    EXPECT_EQ(script::LastPixelFormatRequest().cColorBits, 16);
}

TEST_F(FullscreenWindow, EarlyFailuresGiveUpWithoutClosing) {
    script::Fail("RegisterClassA");
    EXPECT_FALSE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));
    EXPECT_EQ(script::CallNames(), Prefix(4));

    FreshStart();
    script::Fail("ChangeDisplaySettingsA");
    EXPECT_FALSE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));
    EXPECT_EQ(script::CallNames(), Prefix(5));
    EXPECT_EQ(script::CursorShowCount(), 0);
}

TEST_F(FullscreenWindow, LaterFailuresReleaseExactlyWhatWasAcquired) {
    const std::vector<std::string> restore = {"ChangeDisplaySettingsA", "ShowCursor"};
    const std::vector<std::string> context = {"wglMakeCurrent", "wglDeleteContext"};
    const std::vector<std::string> dc = {"ReleaseDC"};
    const std::vector<std::string> window = {"DestroyWindow"};
    const std::vector<std::string> unregister = {"UnregisterClassA"};
    struct Case {
        const char* failing;
        size_t reached;
        std::vector<std::string> release;
    } cases[] = {
        {"CreateWindowExA", 8, Join(restore, unregister)},
        {"GetDC", 9, Join(Join(restore, window), unregister)},
        {"ChoosePixelFormat", 10, Join(Join(Join(restore, dc), window), unregister)},
        {"SetPixelFormat", 11, Join(Join(Join(restore, dc), window), unregister)},
        {"wglCreateContext", 12, Join(Join(Join(restore, dc), window), unregister)},
        {"wglMakeCurrent", 13, Join(Join(Join(Join(restore, context), dc), window), unregister)},
    };
    for (const Case& c : cases) {
        FreshStart();
        script::Fail(c.failing);
        EXPECT_FALSE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16)) << c.failing;
        EXPECT_EQ(script::CallNames(), Join(Prefix(c.reached), c.release)) << c.failing;
        EXPECT_EQ(script::CursorShowCount(), 0) << c.failing;
        EXPECT_EQ(script::ArgsOf("ChangeDisplaySettingsA", 1), "null,0") << c.failing;
    }
}

TEST_F(FullscreenWindow, CloseReleasesInOrderAfterASuccessfulOpen) {
    ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", 640, 480, 16));
    size_t opened = script::Calls().size();
    CloseFullscreenWindow();
    std::vector<std::string> names;
    for (size_t i = opened; i < script::Calls().size(); ++i) {
        names.push_back(script::Calls()[i].name + "(" + script::Calls()[i].args + ")");
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "ChangeDisplaySettingsA(null,0)", "ShowCursor(1)", "wglMakeCurrent(null,null)",
                         "wglDeleteContext(rc)", "ReleaseDC(window,dc)", "DestroyWindow(window)",
                         "UnregisterClassA(OpenGL,instance)"}));
    EXPECT_EQ(script::CursorShowCount(), 0);
}

TEST_F(FullscreenWindow, CloseIsSafeWithAnySubsetOfHandles) {
    for (int subset = 0; subset < 8; ++subset) {
        FreshStart();
        appState.handles.instance = script::kInstance;
        appState.handles.renderContext = (subset & 1) ? script::kRenderContext : nullptr;
        appState.handles.deviceContext = (subset & 2) ? script::kDeviceContext : nullptr;
        appState.handles.window = (subset & 4) ? script::kWindow : nullptr;
        CloseFullscreenWindow();
        EXPECT_EQ(script::Count("ChangeDisplaySettingsA"), 1);
        EXPECT_EQ(script::Count("ShowCursor"), 1);
        EXPECT_EQ(script::Count("wglDeleteContext"), subset & 1);
        EXPECT_EQ(script::Count("ReleaseDC"), (subset >> 1) & 1);
        EXPECT_EQ(script::Count("DestroyWindow"), (subset >> 2) & 1);
        EXPECT_EQ(script::Count("UnregisterClassA"), 1);

        CloseFullscreenWindow();  // a second close releases nothing twice
        EXPECT_EQ(script::Count("wglDeleteContext"), subset & 1);
        EXPECT_EQ(script::Count("ReleaseDC"), (subset >> 1) & 1);
        EXPECT_EQ(script::Count("DestroyWindow"), (subset >> 2) & 1);
    }
}

}  // namespace
