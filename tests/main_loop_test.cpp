#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"

namespace {

class MainLoop : public ::testing::Test {
protected:
    void SetUp() override {
        script::Reset();
        ResetAppState();
    }
    static std::vector<std::string> After(const std::string& first) {
        std::vector<std::string> names = script::CallNames();
        auto at = std::find(names.begin(), names.end(), first);
        return std::vector<std::string>(at, names.end());
    }
};

TEST_F(MainLoop, FirstFrameShowsTheStartPose) {
    script::Idle(1);
    bool seen = false;
    script::OnSwap([&] {
        seen = true;
        EXPECT_EQ(appState.eyeX, 0.0f);
        EXPECT_EQ(appState.eyeZ, 0.0f);
        EXPECT_EQ(appState.yaw, 0.0f);
        EXPECT_EQ(appState.pitch, 0.0f);
        EXPECT_EQ(appState.sceneY, -0.9);
        EXPECT_EQ(appState.restSceneY, -0.9);
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_TRUE(seen);
}

TEST_F(MainLoop, PollsForAnyMessageOfTheThreadAndRemovesIt) {
    script::Idle(1);
    RunProgram();
    for (const script::Call& call : script::Calls()) {
        if (call.name == "PeekMessageA") {
            EXPECT_EQ(call.args, "null,0,0,1");
        }
    }
}

TEST_F(MainLoop, FrameDrawsPresentsThenUpdates) {
    script::KeyDown(VK_UP);
    script::Idle(2);
    std::vector<float> eyeZAtSwap;
    script::OnSwap([&] { eyeZAtSwap.push_back(appState.eyeZ); });
    EXPECT_EQ(RunProgram(), 0);
    // What the user does in one frame is seen in the next.
    ASSERT_EQ(eyeZAtSwap.size(), 2u);
    EXPECT_EQ(eyeZAtSwap[0], 0.0f);
    EXPECT_EQ(eyeZAtSwap[1], -0.2f);
    std::vector<std::string> frame = After("SwapBuffers");
    ASSERT_GE(frame.size(), 3u);
    EXPECT_EQ(frame[1], "GetCursorPos");
    EXPECT_EQ(frame[2], "SetCursorPos");
}

TEST_F(MainLoop, MessagesComeBeforeFrames) {
    script::KeyDown(VK_UP);
    script::Message(0x0200);  // a mouse move, left to the default handling
    script::KeyUp(VK_UP);
    script::Idle(1);
    EXPECT_EQ(RunProgram(), 0);
    std::vector<std::string> names = After("PeekMessageA");
    std::vector<std::string> expected = {
        "PeekMessageA", "TranslateMessage", "DispatchMessageA",          // key down
        "PeekMessageA", "TranslateMessage", "DispatchMessageA", "DefWindowProcA",
        "PeekMessageA", "TranslateMessage", "DispatchMessageA",          // key up
        "PeekMessageA", "SwapBuffers", "GetCursorPos", "SetCursorPos",  // the only frame
        "PeekMessageA"};                                                 // the end of the script
    names.resize(std::min(names.size(), expected.size()));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(appState.eyeZ, 0.0f);  // Up was released before any frame ran
}

TEST_F(MainLoop, QuitMessageEndsTheLoopUntranslatedAndTearsDown) {
    script::Idle(3);
    script::Message(WM_QUIT);
    script::Idle(5);
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(script::Count("SwapBuffers"), 3);
    EXPECT_EQ(script::Count("PeekMessageA"), 4);
    EXPECT_EQ(script::Count("TranslateMessage"), 0);
    EXPECT_EQ(script::Count("DispatchMessageA"), 0);
    EXPECT_EQ(After("PeekMessageA").back(), "UnregisterClassA");
    EXPECT_EQ(script::Count("DestroyWindow"), 1);
}

TEST_F(MainLoop, CloseRequestEndsTheLoopThroughTheQuitMessage) {
    script::Idle(2);
    script::Message(WM_CLOSE);
    script::Idle(5);
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(script::Count("PostQuitMessage"), 1);
    EXPECT_EQ(script::Count("SwapBuffers"), 2);
    EXPECT_EQ(script::Count("PeekMessageA"), 4);  // two frames, the close, the quit
    EXPECT_EQ(script::Count("DestroyWindow"), 1);
    EXPECT_EQ(script::CursorShowCount(), 0);
}

TEST_F(MainLoop, EscapeEndsTheLoopOnAnIdleTurnWithoutAFrame) {
    script::Idle(2);
    script::KeyDown(VK_ESCAPE);
    script::Idle(1);
    script::Idle(5);  // never reached
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(script::Count("SwapBuffers"), 2);
    EXPECT_EQ(script::Count("PeekMessageA"), 4);
    EXPECT_EQ(script::Count("DestroyWindow"), 1);
}

TEST_F(MainLoop, MinimisedWindowRunsNoFramesAndEscapeWaitsForRestore) {
    script::Message(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1));
    script::KeyDown(VK_ESCAPE);
    script::KeyDown(VK_UP);
    script::Idle(20);
    script::Message(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    script::Idle(1);
    script::Idle(5);  // never reached
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(script::Count("SwapBuffers"), 0);
    EXPECT_EQ(script::Count("GetCursorPos"), 0);
    EXPECT_EQ(script::Count("PeekMessageA"), 3 + 20 + 1 + 1);
    EXPECT_TRUE(appState.keyDown[VK_UP]);  // keys are still recorded while minimised
    EXPECT_EQ(appState.eyeZ, 0.0f);
}

TEST_F(MainLoop, RestoredWindowResumesFrames) {
    script::Message(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1));
    script::Idle(4);
    script::Message(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0));  // deactivated but not minimised
    script::Idle(3);
    RunProgram();
    EXPECT_EQ(script::Count("SwapBuffers"), 3);
}

TEST_F(MainLoop, FailedStartReturnsOneWithoutALoop) {
    script::Fail("ChangeDisplaySettingsA");
    script::Idle(3);
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_EQ(script::Count("PeekMessageA"), 0);
    EXPECT_EQ(script::Count("ShowCursor"), 0);
}

TEST_F(MainLoop, FailureAfterTheWindowReturnsOneAndReleasesEverything) {
    script::Fail("wglMakeCurrent");
    EXPECT_EQ(RunProgram(), 1);
    EXPECT_EQ(script::Count("PeekMessageA"), 0);
    EXPECT_EQ(script::Count("DestroyWindow"), 1);
    EXPECT_EQ(script::CursorShowCount(), 0);
}

}  // namespace
