#include <gtest/gtest.h>

#include <cstring>

#include "platform/window_proc.h"
#include "test_support.h"

namespace {

class WindowProc : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
    static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return HandleWindowMessage(script::kWindow, message, wParam, lParam);
    }
};

TEST_F(WindowProc, KeysAreHeldFromDownToUp) {
    EXPECT_EQ(Send(WM_KEYDOWN, VK_UP), 0);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_UP), 0);  // auto-repeat
    EXPECT_TRUE(appState.keyDown[VK_UP]);
    EXPECT_EQ(Send(WM_KEYDOWN, 0xFF), 0);
    EXPECT_TRUE(appState.keyDown[0xFF]);
    EXPECT_EQ(Send(WM_KEYUP, VK_UP), 0);
    EXPECT_FALSE(appState.keyDown[VK_UP]);
    EXPECT_EQ(script::Count("DefWindowProcA"), 0);
}

TEST_F(WindowProc, KeyCodesOutsideTheTableTouchNothing) {
    AppState before = appState;
    for (WPARAM code : {WPARAM{256}, WPARAM{0x1000}, WPARAM{0x10041}, ~WPARAM{0}}) {
        Send(WM_KEYDOWN, code);
        Send(WM_KEYUP, code);
    }
    EXPECT_EQ(std::memcmp(&before, &appState, sizeof(AppState)), 0);
}

TEST_F(WindowProc, SystemKeysAreLeftToTheDefault) {
    Send(WM_SYSKEYDOWN, VK_F4, 0x20000000);
    Send(WM_SYSKEYUP, VK_F4);
    EXPECT_FALSE(appState.keyDown[VK_F4]);
    EXPECT_EQ(script::Count("DefWindowProcA"), 2);
}

TEST_F(WindowProc, MinimiseClearsActiveAndRestoreSetsIt) {
    EXPECT_EQ(Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1)), 0);
    EXPECT_FALSE(appState.active);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    EXPECT_TRUE(appState.active);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0));  // switching away without minimising
    EXPECT_TRUE(appState.active);
}

TEST_F(WindowProc, ScreenSaverAndMonitorPowerAreRefused) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
    EXPECT_EQ(script::Count("DefWindowProcA"), 0);
    // Other commands, and these with their low bits set, take the default path.
    Send(WM_SYSCOMMAND, SC_CLOSE);
    Send(WM_SYSCOMMAND, SC_SCREENSAVE | 1);
    EXPECT_EQ(script::Count("DefWindowProcA"), 2);
    EXPECT_EQ(script::ArgsOf("DefWindowProcA", 1), "window,0x112,0xf141,0");
}

TEST_F(WindowProc, CloseAsksTheLoopToQuitWithoutDestroying) {
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(script::CallNames(), std::vector<std::string>{"PostQuitMessage"});
    EXPECT_EQ(script::ArgsOf("PostQuitMessage"), "0");
}

TEST_F(WindowProc, OtherMessagesGoToTheDefaultAsReceived) {
    Send(0x0200, 7, -3);
    ASSERT_EQ(script::Count("DefWindowProcA"), 1);
    EXPECT_EQ(script::ArgsOf("DefWindowProcA"), "window,0x200,0x7,-3");
}

}  // namespace
