#include "app/app_state.h"

namespace {
// Everything zero, null or false, but the window counts as not minimised.
AppState StartState() {
    AppState start = {};
    start.active = true;
    return start;
}
}  // namespace

AppState appState = StartState();

void ResetAppState() { appState = StartState(); }
