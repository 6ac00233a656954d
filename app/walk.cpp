#include "app/walk.h"

#include <cmath>

#include "app/app_state.h"
#include "platform/platform.h"

namespace {
constexpr int kCentreX = 320;  // centre of the 640 x 480 mode, where the cursor is put back
constexpr int kCentreY = 240;
constexpr float kMouseDivisor = 100.0f;
constexpr float kYawScale = 5.0f;
constexpr float kPitchScale = -5.0f;
constexpr float kDegreesToRadians = 0.0174532924f;
constexpr float kQuarterTurn = 90.0f;
constexpr float kStep = 0.2f;
constexpr double kCrouchOffset = 0.9;
constexpr double kJumpStep = 0.25;
constexpr double kJumpHeight = 8.0;
constexpr int kKeyA = 0x41;

double Radians(double degrees) { return degrees * kDegreesToRadians; }

void Look() {
    GetCursorPos(&appState.cursorSample);
    SetCursorPos(kCentreX, kCentreY);
    // Differences are taken in 64 bits: a cursor at the far end of the int range must not overflow.
    long long dx = kCentreX - static_cast<long long>(appState.cursorSample.x);
    appState.yaw = static_cast<float>(appState.yaw + static_cast<double>(dx) / kMouseDivisor * kYawScale);
    appState.sceneYaw = appState.yaw;
    long long dy = kCentreY - static_cast<long long>(appState.cursorSample.y);
    appState.pitch =
        static_cast<float>(appState.pitch - static_cast<double>(dy) / kMouseDivisor * kPitchScale);
}

// Moves the eye one step along the heading turned by `turn` degrees; `sign` -1 walks against it.
void Step(double turn, double sign) {
    double heading = Radians(appState.yaw + turn);
    appState.eyeX = static_cast<float>(appState.eyeX + sign * std::sin(heading) * kStep);
    appState.eyeZ = static_cast<float>(appState.eyeZ + sign * std::cos(heading) * kStep);
}

void Walk() {
    const bool* key = appState.keyDown;
    if (key[VK_UP]) Step(0.0, -1.0);
    if (key[VK_DOWN]) Step(0.0, 1.0);
    if (key[VK_RIGHT]) Step(kQuarterTurn, 1.0);
    if (key[VK_LEFT]) Step(-kQuarterTurn, 1.0);
}

void Crouch() {
    bool endHeld = appState.keyDown[VK_END];
    if (endHeld && !appState.crouching) {
        appState.sceneY += kCrouchOffset;
        appState.crouching = true;
    }
    if (!endHeld && appState.crouching) {
        appState.sceneY -= kCrouchOffset;
        appState.crouching = false;
    }
}

void Jump() {
    if (appState.keyDown[kKeyA] && !appState.crouching && !appState.descending) {
        appState.sceneY -= kJumpStep;
        if (appState.sceneY <= appState.restSceneY - kJumpHeight) appState.descending = true;
    }
    if (appState.descending && appState.sceneY < appState.restSceneY) {
        appState.sceneY += kJumpStep;
        if (appState.sceneY >= appState.restSceneY) appState.descending = false;
    }
}
}  // namespace

void UpdateWalk() {
    Look();
    Walk();
    Crouch();
    Jump();
}
