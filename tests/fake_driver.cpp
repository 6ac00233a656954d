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
    event.key = {down, false, alt, position, symbol};
    fake.events.push_back(event);
}

bool driver::PollEvent(driver::Event* event) {
    if (fake.events.empty()) return false;
    *event = fake.events.front();
    fake.events.pop_front();
    return true;
}

int driver::SymbolAt(int position) { return fake.symbols[position]; }

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
