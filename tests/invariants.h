// Properties of the state record that hold after every frame, whatever the input. Used by the
// soak test and the fuzz target, which feed the program long runs of arbitrary messages.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"

struct WalkWatch {
    bool keys[256] = {};  // what the key messages delivered so far say is held
    bool wasDescending = false;

    void Dispatched(const MSG& msg) {
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam < 256)
            keys[msg.wParam] = msg.message == WM_KEYDOWN;
    }

    // The height the jump has carried the eye, without the crouch: a whole number of quarter
    // steps between the top (-8) and the unclamped landing (+0.25).
    static double JumpOffset() {
        return appState.sceneY - appState.restSceneY - (appState.crouching ? 0.9 : 0.0);
    }

    // Returns what is broken, or nullptr.
    const char* Broken() {
        const double standing = -0.9;
        if (std::memcmp(&appState.restSceneY, &standing, sizeof standing) != 0) return "restSceneY changed";
        if (!(appState.sceneYaw == appState.yaw) && !std::isnan(appState.yaw)) return "sceneYaw differs from yaw";
        if (std::memcmp(keys, appState.keyDown, sizeof keys) != 0) return "key table changed without a key message";
        double jump = JumpOffset();
        double steps = jump / 0.25;
        if (std::fabs(steps - std::round(steps)) > 1e-6) return "crouch offset in sceneY does not match crouching";
        if (jump < -8.0 - 1e-9 || jump > 0.25 + 1e-9) return "jump left its range";
        if (appState.descending && !wasDescending && jump > -7.75 + 1e-9) return "descending set below the top";
        if (!appState.descending && wasDescending && appState.sceneY < appState.restSceneY)
            return "descending cleared before landing";
        wasDescending = appState.descending;
        return nullptr;
    }
};
