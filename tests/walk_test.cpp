#include <gtest/gtest.h>

#include "app/walk.h"
#include "test_support.h"

namespace {

class Walk : public ::testing::Test {
protected:
    void SetUp() override { FreshStart(); }
    void Frames(int count) {
        for (int i = 0; i < count; ++i) UpdateWalk();
    }
};

TEST_F(Walk, CursorAtCentreKeepsTheView) {
    Frames(3);
    EXPECT_EQ(appState.yaw, 0.0f);
    EXPECT_EQ(appState.pitch, 0.0f);
}

TEST_F(Walk, CursorOffCentreTurnsAndTiltsAndIsPutBack) {
    script::Cursor(220, 240);  // 100 px left
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 5.0f);
    EXPECT_EQ(appState.sceneYaw, appState.yaw);
    EXPECT_EQ(appState.pitch, 0.0f);

    script::Cursor(320, 140);  // 100 px above
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 5.0f);
    EXPECT_EQ(appState.pitch, 5.0f);

    script::Cursor(420, 440);  // right and below turn back the other way
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 0.0f);
    EXPECT_EQ(appState.pitch, -5.0f);
    EXPECT_EQ(appState.cursorSample.x, 420);
    EXPECT_EQ(appState.cursorSample.y, 440);

    EXPECT_EQ(script::CallNames(), (std::vector<std::string>{"GetCursorPos", "SetCursorPos", "GetCursorPos",
                                                             "SetCursorPos", "GetCursorPos", "SetCursorPos"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(script::ArgsOf("SetCursorPos", i), "320,240");
}

TEST_F(Walk, FirstFrameTurnsByWhereverTheCursorStood) {
    script::StartCursor(20, 240);
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 15.0f);
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 15.0f);
}

TEST_F(Walk, AnglesAreNeitherWrappedNorClamped) {
    for (int i = 0; i < 5; ++i) script::Cursor(-1480, 2040);  // 90 degrees each way a frame
    Frames(5);
    EXPECT_EQ(appState.yaw, 450.0f);
    EXPECT_EQ(appState.pitch, -450.0f);
}

TEST_F(Walk, CursorAtTheEndsOfTheIntRangeTurnsWithoutWrapping) {
    script::Cursor(INT32_MIN, INT32_MAX);
    UpdateWalk();
    EXPECT_EQ(appState.yaw, float((320.0 + 2147483648.0) / 100.0 * 5.0));
    EXPECT_EQ(appState.pitch, float(-(240.0 - 2147483647.0) / 100.0 * -5.0));
    EXPECT_GT(appState.yaw, 0.0f);
    EXPECT_LT(appState.pitch, 0.0f);
}

TEST_F(Walk, UpWalksTowardsTheSceneAlongMinusZ) {
    appState.keyDown[VK_UP] = true;
    UpdateWalk();
    EXPECT_EQ(appState.eyeX, 0.0f);
    EXPECT_EQ(appState.eyeZ, -0.2f);
    Frames(9);
    EXPECT_NEAR(appState.eyeZ, -2.0f, 1e-5);
}

TEST_F(Walk, EachKeyStepsItsOwnWay) {
    struct Case {
        int key;
        float x, z;
    } cases[] = {{VK_UP, 0, -0.2f}, {VK_DOWN, 0, 0.2f}, {VK_RIGHT, 0.2f, 0}, {VK_LEFT, -0.2f, 0}};
    for (const Case& c : cases) {
        FreshStart();
        appState.keyDown[c.key] = true;
        UpdateWalk();
        EXPECT_NEAR(appState.eyeX, c.x, 1e-6) << "key " << c.key;
        EXPECT_NEAR(appState.eyeZ, c.z, 1e-6) << "key " << c.key;
    }
}

TEST_F(Walk, StepsFollowTheHeadingTurnedInTheSameFrame) {
    script::Cursor(-1480, 240);  // a quarter turn left: forward becomes -x
    appState.keyDown[VK_UP] = true;
    appState.keyDown[VK_RIGHT] = true;
    UpdateWalk();
    EXPECT_EQ(appState.yaw, 90.0f);
    EXPECT_NEAR(appState.eyeX, -0.2f, 1e-6);  // forward
    EXPECT_NEAR(appState.eyeZ, -0.2f, 1e-6);  // right of a left-facing eye is -z
}

TEST_F(Walk, TiltNeverChangesTheStep) {
    script::Cursor(320, -360);  // 30 degrees of tilt
    appState.keyDown[VK_UP] = true;
    UpdateWalk();
    EXPECT_EQ(appState.pitch, 30.0f);
    EXPECT_EQ(appState.eyeX, 0.0f);
    EXPECT_EQ(appState.eyeZ, -0.2f);
}

TEST_F(Walk, OppositeKeysCancel) {
    appState.keyDown[VK_UP] = appState.keyDown[VK_DOWN] = true;
    appState.keyDown[VK_LEFT] = appState.keyDown[VK_RIGHT] = true;
    Frames(50);
    EXPECT_NEAR(appState.eyeX, 0.0f, 1e-6);
    EXPECT_NEAR(appState.eyeZ, 0.0f, 1e-6);
}

TEST_F(Walk, EndCrouchesWhileHeld) {
    appState.keyDown[VK_END] = true;
    UpdateWalk();
    EXPECT_EQ(appState.sceneY, 0.0);
    EXPECT_TRUE(appState.crouching);
    Frames(10);
    EXPECT_EQ(appState.sceneY, 0.0);

    appState.keyDown[VK_END] = false;
    UpdateWalk();
    EXPECT_EQ(appState.sceneY, -0.9);
    EXPECT_FALSE(appState.crouching);
    EXPECT_EQ(appState.restSceneY, -0.9);
}

TEST_F(Walk, HeldJumpRisesThirtyTwoFramesAndLandsInTheSixtyFourth) {
    appState.keyDown[kKeyA] = true;
    UpdateWalk();
    EXPECT_DOUBLE_EQ(appState.sceneY, -1.15);
    Frames(30);
    EXPECT_FALSE(appState.descending);
    EXPECT_NEAR(appState.sceneY, -8.65, 1e-12);

    UpdateWalk();  // 32nd: reaches -8.9, turns and takes the first step down
    EXPECT_TRUE(appState.descending);
    EXPECT_NEAR(appState.sceneY, -8.65, 1e-12);

    Frames(31);
    EXPECT_TRUE(appState.descending);
    EXPECT_LT(appState.sceneY, appState.restSceneY);
    UpdateWalk();  // 64th: the step that leaves it at or above standing ends the descent
    EXPECT_FALSE(appState.descending);
    EXPECT_DOUBLE_EQ(appState.sceneY, -0.65);  // not clamped: a quarter step below standing
    EXPECT_GT(appState.sceneY, appState.restSceneY + 0.2);

    UpdateWalk();  // A still held: the next rise starts at once
    EXPECT_DOUBLE_EQ(appState.sceneY, -0.9);
    EXPECT_FALSE(appState.descending);
    EXPECT_EQ(appState.restSceneY, -0.9);
}

TEST_F(Walk, ReleasedJumpHoversAndHoldingAgainCarriesOn) {
    appState.keyDown[kKeyA] = true;
    Frames(4);
    appState.keyDown[kKeyA] = false;
    Frames(20);
    EXPECT_EQ(appState.sceneY, -1.9);
    EXPECT_FALSE(appState.descending);
    appState.keyDown[kKeyA] = true;
    Frames(28);
    EXPECT_TRUE(appState.descending);
}

TEST_F(Walk, JumpIsIgnoredWhileCrouching) {
    appState.keyDown[VK_END] = true;
    appState.keyDown[kKeyA] = true;
    Frames(40);
    EXPECT_EQ(appState.sceneY, 0.0);
    EXPECT_FALSE(appState.descending);
}

TEST_F(Walk, CrouchDuringTheRiseHaltsItUntilEndIsReleased) {
    appState.keyDown[kKeyA] = true;
    Frames(10);  // -3.4
    appState.keyDown[VK_END] = true;
    Frames(20);
    EXPECT_NEAR(appState.sceneY, -2.5, 1e-12);
    EXPECT_FALSE(appState.descending);
    appState.keyDown[VK_END] = false;
    UpdateWalk();  // the offset comes back off and the rise goes on in the same frame
    EXPECT_NEAR(appState.sceneY, -3.65, 1e-12);
    EXPECT_FALSE(appState.crouching);
}

TEST_F(Walk, CrouchDuringTheDescentDoesNotEndIt) {
    appState.keyDown[kKeyA] = true;
    Frames(32);
    appState.keyDown[kKeyA] = false;
    ASSERT_TRUE(appState.descending);
    appState.keyDown[VK_END] = true;
    UpdateWalk();
    EXPECT_NEAR(appState.sceneY, -8.65 + 0.9 + 0.25, 1e-12);
    EXPECT_TRUE(appState.descending);
    // Compared against standing, never against the crouched height: the descent ends once
    // sceneY passes -0.9 even though the crouched eye would stand at 0.0.
    int frames = 1;
    while (appState.descending && frames < 100) {
        UpdateWalk();
        ++frames;
    }
    EXPECT_EQ(frames, 28);
    EXPECT_GE(appState.sceneY, appState.restSceneY);
    EXPECT_TRUE(appState.crouching);
}

}  // namespace
