#pragma once

#include "app/app_state.h"
#include "platform/scripted/scripted_platform.h"

constexpr int kKeyA = 0x41;

// A fresh process: start values, an empty script, and the eye standing as the program sets it.
inline void FreshStart() {
    script::Reset();
    ResetAppState();
    appState.sceneY = -0.9;
    appState.restSceneY = appState.sceneY;
}
