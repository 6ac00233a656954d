#include "app/app_state.h"

namespace {
constexpr AppState kStartState = {
    {}, true, 0.0f, 0.0f, 0.0, 0.0, 0.0f, 0.0f, 0.0f, false, false, {0, 0}, {nullptr, nullptr, nullptr, nullptr}};
}

AppState appState = kStartState;

void ResetAppState() { appState = kStartState; }
