#pragma once

#include "app/app_state.h"
#include "app/main_loop.h"
#include "platform/scripted/scripted_platform.h"

constexpr int kKeyA = 0x41;

// A fresh process: start values, an empty script, and the eye standing as the program sets it.
inline void FreshStart() {
    script::Reset();
    ResetAppState();
    appState.sceneY = -0.9;
    appState.restSceneY = appState.sceneY;
}

// The program's entry as the platform calls it, on the scripted services.
inline int RunProgram() { return AppMain(script::kInstance, nullptr, const_cast<LPSTR>(""), SW_SHOW); }
