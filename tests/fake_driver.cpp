#include "tests/fake_driver.h"

FakeDriver fake;

void Layout(int first) {
    for (int position = driver::kPositionA; position <= driver::kPositionZ; ++position)
        fake.symbols[position] = first + (position - driver::kPositionA);
}

void Push(driver::EventKind kind, int a, int b) {
    driver::Event event = {};
    event.kind = kind;
    event.dx = event.width = a;
    event.dy = event.height = b;
    fake.events.push_back(event);
}

void PushKey(bool down, int symbol, int position, bool alt) {
    driver::Event event = {};
    event.kind = driver::EventKind::Key;
    bool otherScript = driver::TypesOtherScript([](int at) { return fake.symbols[at]; });
    event.key = {down, false, alt, position, symbol, otherScript};
    fake.events.push_back(event);
}

bool driver::PollEvent(driver::Event* event) {
    if (fake.events.empty()) return false;
    *event = fake.events.front();
    fake.events.pop_front();
    return true;
}


bool driver::TakeFailure() {
    bool failed = fake.failed;
    fake.failed = false;
    return failed;
}

driver::Bounds driver::MonitorBounds() { return fake.monitor; }
bool driver::PointerKnown() { return true; }
void driver::GlobalPointer(int* x, int* y) { *x = fake.pointerX, *y = fake.pointerY; }
bool driver::WarpPointer(int x, int y) {
    fake.pointerX = x, fake.pointerY = y;
    return true;
}
void driver::SetRelativePointer(bool on) { fake.relative = on; }
void driver::ShowPointer(bool shown) { fake.pointerShown = shown; }
bool driver::WindowShown() { return fake.shown; }
int driver::TakeMotion(driver::Motion*, int) { return 0; }

// The display, the window and OpenGL: a window of the plan's size, a context that is only a
// handle, and no OpenGL functions, so no framebuffers and no image.
bool driver::StartVideo(const char*, const char*) { return true; }
void driver::StopVideo() {}
int driver::DisplayModes(driver::Mode* modes, int most) {
    int count = fake.modeCount < most ? fake.modeCount : most;
    for (int i = 0; i < count; ++i) modes[i] = fake.modes[i];
    return count;
}
driver::Mode driver::DesktopMode() { return {fake.monitor.width, fake.monitor.height, 24}; }
bool driver::CreateWindow(const driver::WindowPlan& plan) {
    fake.plan = plan;
    fake.windowMode = plan.mode;
    return fake.hasWindow = true;
}
void driver::DestroyWindow() { fake.hasWindow = fake.shown = false; }
bool driver::HasWindow() { return fake.hasWindow; }
bool driver::SetWindowMode(const driver::Mode& mode) {
    fake.windowMode = mode;
    return true;
}
bool driver::SwitchMode(const driver::Mode& mode) {
    ++fake.switches;
    return driver::SetWindowMode(mode);
}
void driver::LeaveFullscreen() { fake.shown = false; }
void driver::ShowWindow(bool shown) { fake.shown = shown; }
void driver::RaiseWindow() {}
void driver::FocusWindow() {}
int driver::RefreshRate() { return 60; }
void* driver::CreateContext() { return &fake; }
bool driver::MakeCurrent(void*) { return true; }
void driver::DeleteContext(void*) {}
void driver::SetSwapInterval(int) {}
void driver::Present() {}
void* driver::ProcAddress(const char*) { return nullptr; }
bool driver::HasExtension(const char*) { return false; }
void driver::DrawableSize(int* width, int* height) {
    *width = fake.plan.bounds.width;
    *height = fake.plan.bounds.height;
}
bool driver::CreateImage(int, int, driver::Image*) { return false; }
bool driver::PutImage() { return false; }
void driver::DestroyImage() {}
const char* driver::LastError() { return "fake"; }
