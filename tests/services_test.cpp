// The Windows services over a fake driver: the queue's order, keys by meaning and by layout, the
// window's events, requests to end and the tracked cursor, with no window system at all.
#include <gtest/gtest.h>

#include <csignal>

#include "platform/platform.h"
#include "platform/posix/end_requests.h"
#include "platform/services/driver.h"
#include "platform/services/services.h"
#include "tests/fake_driver.h"

namespace {

std::vector<MSG> received;  // what reached the window procedure, in order

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.message = message;
    msg.wParam = wParam;
    received.push_back(msg);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Services : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeDriver{};
        Layout();
        received.clear();
        services::ForgetMessages();
        services::ForgetCursor();
        services::B() = services::Services{};
        services::B().system.started = true;
        services::B().windowClass = {true, "OpenGL", RecordingProc};
        services::B().window.created = true;
        services::B().window.client = {640, 480};
        posix::CatchEndRequests();
    }
    void TearDown() override { posix::ReleaseEndRequests(); }

    static MSG Next() {  // the next message, or 0xFFFF for none
        MSG msg = {};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) msg.message = 0xFFFF;
        return msg;
    }
    static MSG Key(bool down, int symbol, int position, bool alt = false) {
        PushKey(down, symbol, position, alt);
        return Next();
    }
};

TEST_F(Services, KeysBecomeVirtualKeysByTheirMeaning) {
    struct {
        int symbol, position;
        WPARAM virtualKey;
    } keys[] = {{0x1B, 41, VK_ESCAPE},     {driver::kUp, 82, VK_UP},     {driver::kDown, 81, VK_DOWN},
                {driver::kLeft, 80, VK_LEFT}, {driver::kRight, 79, VK_RIGHT}, {driver::kEnd, 77, VK_END},
                {driver::kF1 + 3, 61, VK_F4}, {'7', 36, '7'},             {'a', kQ, 'A'}};  // AZERTY's A
    for (const auto& k : keys) {
        MSG down = Key(true, k.symbol, k.position);
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << k.virtualKey;
        EXPECT_EQ(down.wParam, k.virtualKey);
        EXPECT_EQ(down.hwnd, services::WindowHandle());
        EXPECT_EQ((down.lParam >> 16) & 0xFF, k.position);
        Next();  // the idle turn a press waits for before its release
        MSG up = Key(false, k.symbol, k.position);
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << k.virtualKey;
        EXPECT_EQ(up.wParam, k.virtualKey);
        EXPECT_NE(up.lParam & (LPARAM(1) << 31), 0);  // the transition flag of a release
    }
    EXPECT_EQ(Key(true, driver::kNoSymbol, 57).message, 0xFFFFu) << "a key without a code makes no message";
}

// As on Windows: letters by their label on a layout with Latin letters, by their US position on
// one without; a release keeps the code of its press when the layout changed in between.
TEST_F(Services, LetterKeysGiveTheCodesOfTheActiveLayoutAsOnWindows) {
    Layout(0x430);  // Cyrillic
    EXPECT_EQ(Key(true, 0x444, driver::kPositionA).wParam, WPARAM('A')) << "ф where A would be";
    Next();
    Layout('a');
    MSG up = Key(false, 'q', driver::kPositionA);  // released under French, where that key is Q
    EXPECT_EQ(up.message, UINT(WM_KEYUP));
    EXPECT_EQ(up.wParam, WPARAM('A')) << "the release clears what its press set";
    EXPECT_EQ(Key(true, 'q', driver::kPositionA).wParam, WPARAM('Q')) << "the next press is new";
    Next();
    Key(false, 'q', driver::kPositionA);
    EXPECT_EQ(Key(true, 0x3B1, driver::kPositionA).wParam, WPARAM('A')) << "a Greek letter, on any layout";
    Next();
    Key(false, 0x3B1, driver::kPositionA);
    EXPECT_EQ(Key(true, 0xF6, 51).message, 0xFFFFu) << "a Latin layout's ö is no letter key of the program's";
}

TEST_F(Services, KeysWithAltAreSystemKeysAndAltF4ACloseRequest) {
    MSG f4 = Key(true, driver::kF1 + 3, 61, true);
    EXPECT_EQ(f4.message, UINT(WM_SYSKEYDOWN));
    EXPECT_NE(f4.lParam & (LPARAM(1) << 29), 0);
    EXPECT_EQ(Key(true, driver::kF1 + 9, 67).message, UINT(WM_SYSKEYDOWN)) << "F10";
    EXPECT_EQ(Key(true, driver::kAlt, 226).message, UINT(WM_SYSKEYDOWN)) << "Alt itself";
    DispatchMessageA(&f4);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[1].message, UINT(WM_SYSCOMMAND));
    EXPECT_EQ(received[1].wParam, WPARAM(SC_CLOSE));
    EXPECT_EQ(received[2].message, UINT(WM_CLOSE));
    received.clear();
    MSG plain = Key(true, driver::kF1 + 3, 61);
    EXPECT_EQ(plain.message, UINT(WM_KEYDOWN));
    DispatchMessageA(&plain);
    EXPECT_EQ(received.size(), 1u) << "F4 alone is only a key";
}

TEST_F(Services, WindowEventsBecomeActivationSizeAndClose) {
    Push(driver::EventKind::Minimised);
    MSG minimised = Next();
    EXPECT_EQ(minimised.message, UINT(WM_ACTIVATE));
    EXPECT_NE(HIWORD(minimised.wParam), 0);
    Push(driver::EventKind::FocusLost);
    EXPECT_NE(HIWORD(Next().wParam), 0) << "still minimised";
    Push(driver::EventKind::Restored);
    MSG restored = Next();
    EXPECT_EQ(HIWORD(restored.wParam), 0);
    EXPECT_EQ(LOWORD(restored.wParam), WA_ACTIVE);
    Push(driver::EventKind::FocusLost);
    MSG away = Next();  // switched away, not minimised
    EXPECT_EQ(HIWORD(away.wParam), 0);
    EXPECT_EQ(LOWORD(away.wParam), WA_INACTIVE);
    Push(driver::EventKind::Resized, 800, 600);
    MSG size = Next();
    EXPECT_EQ(size.message, UINT(WM_SIZE));
    EXPECT_EQ(size.lParam, MAKELPARAM(800, 600));
    services::B().window.picture = true;
    Push(driver::EventKind::Resized, 1920, 1080);
    EXPECT_EQ(Next().message, 0xFFFFu) << "a picture's window keeps the program's client area";
    Push(driver::EventKind::PointerEntered);
    Push(driver::EventKind::Close);
    EXPECT_EQ(Next().message, UINT(WM_CLOSE));
}

// The quit message first, then the window system's failure and requests to end, then events.
TEST_F(Services, TheQueueKeepsWindowsOrder) {
    PushKey(true, driver::kUp, 82);
    PostQuitMessage(3);
    fake.failed = true;
    MSG quit = Next();
    EXPECT_EQ(quit.message, UINT(WM_QUIT));
    EXPECT_EQ(quit.wParam, 3u);
    EXPECT_EQ(Next().message, UINT(WM_CLOSE)) << "the failure";
    EXPECT_TRUE(services::B().system.failed) << "the program ends with 1";
    std::raise(SIGTERM);
    std::raise(SIGHUP);  // a second request adds nothing
    EXPECT_EQ(Next().message, UINT(WM_CLOSE)) << "the request to end";
    EXPECT_EQ(Next().message, UINT(WM_KEYDOWN));
    EXPECT_EQ(Next().message, 0xFFFFu);
    services::B().system.started = false;
    PushKey(true, driver::kUp, 82);
    EXPECT_EQ(Next().message, 0xFFFFu) << "no events outside start and stop";
}

TEST_F(Services, ATappedKeyIsStillHeldForOneIdleTurn) {
    PushKey(true, 0x1B, 41);
    PushKey(false, 0x1B, 41);
    PushKey(true, driver::kUp, 82);
    EXPECT_EQ(Next().wParam, WPARAM(VK_ESCAPE));
    EXPECT_EQ(Next().wParam, WPARAM(VK_UP)) << "the release waits; what follows it does not";
    EXPECT_EQ(Next().message, 0xFFFFu) << "the idle turn, with Escape held";
    MSG up = Next();
    EXPECT_EQ(up.message, UINT(WM_KEYUP));
    EXPECT_EQ(up.wParam, WPARAM(VK_ESCAPE));
    EXPECT_EQ(Next().message, 0xFFFFu);
    PushKey(false, driver::kUp, 82);  // Up was held across an idle turn: its release comes at once
    EXPECT_EQ(Next().message, UINT(WM_KEYUP));
}

TEST_F(Services, EveryRequestToEndBecomesOneCloseRequestAndIgnoredOnesStayIgnored) {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                       SIGVTALRM, SIGPROF}) {
        posix::ReleaseEndRequests();
        std::signal(signal, SIG_DFL);  // whatever the test runner's shell left
        posix::CatchEndRequests();
        std::raise(signal);
        EXPECT_EQ(Next().message, UINT(WM_CLOSE)) << signal;
        EXPECT_EQ(Next().message, 0xFFFFu) << signal;
    }
    posix::ReleaseEndRequests();
    struct sigaction after;
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL) << "the program's handlers go when the services stop";
    std::signal(SIGHUP, SIG_IGN);  // as nohup leaves it
    posix::CatchEndRequests();
    std::raise(SIGHUP);
    EXPECT_EQ(Next().message, 0xFFFFu);
    posix::ReleaseEndRequests();
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    std::signal(SIGHUP, SIG_DFL);
    posix::CatchEndRequests();
}

TEST_F(Services, TheTrackedCursorFollowsMotionAndStopsAtTheScreenEdges) {
    Push(driver::EventKind::Motion, 50, 50);
    Next();
    EXPECT_EQ(services::TrackedCursor().x, 0) << "not tracked while the cursor shows";
    services::TheCursor().relative = true;
    services::MoveTrackedTo(320, 240);
    Push(driver::EventKind::Motion, -40, 25);
    Next();
    EXPECT_EQ(services::TrackedCursor().x, 280);
    EXPECT_EQ(services::TrackedCursor().y, 265);
    Push(driver::EventKind::Motion, -1000, 1000);
    Push(driver::EventKind::Motion, 5, -5);  // back from the edge at once: the overshoot is not kept
    Next();
    EXPECT_EQ(services::TrackedCursor().x, 5);
    EXPECT_EQ(services::TrackedCursor().y, 474);
    services::MoveTrackedTo(9999, -9999);
    EXPECT_EQ(services::TrackedCursor().x, 639);
    EXPECT_EQ(services::TrackedCursor().y, 0);
    // A window in an emulated 640 x 480 mode on a 1024 x 768 output gets the motion shrunk: it
    // counts as the output's, and what one motion leaves over goes with the next.
    services::TheCursor().motionFrom = {640, 480};
    services::TheCursor().motionTo = {1024, 768};
    services::MoveTrackedTo(320, 240);
    Push(driver::EventKind::Motion, 25, -25);
    Next();
    EXPECT_EQ(services::TrackedCursor().x, 360);
    EXPECT_EQ(services::TrackedCursor().y, 200);
    for (int i = 0; i < 5; ++i) Push(driver::EventKind::Motion, 1, -1);
    Next();
    EXPECT_EQ(services::TrackedCursor().x, 368) << "five pixels of the mode are eight of the output";
    EXPECT_EQ(services::TrackedCursor().y, 192);
}

// Relative while hidden over the shown window; the first frame turns by where the pointer stood.
TEST(CursorSteps, FollowTheCounterTheWindowAndTheSwitch) {
    using services::TrackFrom;
    struct {
        int count;
        bool shown, relative, switched;
        services::CursorStep step;
    } rows[] = {
        {0, true, false, false, {false, false, TrackFrom::Nowhere, false, true}},        // shown, over the window
        {-1, false, false, true, {false, false, TrackFrom::Nowhere, false, false}},      // hidden before the window shows
        {-1, true, false, true, {true, true, TrackFrom::BeforeTheSwitch, false, false}}, // then shown: the first frame
        {-1, true, false, false, {true, true, TrackFrom::ThePointer, false, false}},     // hidden, no switch
        {-1, true, true, false, {true, false, TrackFrom::Nowhere, false, false}},        // stays relative
        {-2, false, true, false, {false, true, TrackFrom::Nowhere, true, false}},        // the window goes
        {0, true, true, false, {false, true, TrackFrom::Nowhere, true, true}},           // shown again
    };
    for (const auto& row : rows) {
        services::Cursor now = {row.count, row.relative, {0, 0}, row.switched, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
        services::CursorStep step = services::NextCursorStep(now, row.shown);
        EXPECT_EQ(step.relative, row.step.relative) << row.count << row.shown << row.relative;
        EXPECT_EQ(step.changeMode, row.step.changeMode) << row.count << row.shown << row.relative;
        EXPECT_EQ(step.trackFrom, row.step.trackFrom) << row.count << row.shown << row.relative;
        EXPECT_EQ(step.warpToTracked, row.step.warpToTracked) << row.count << row.shown << row.relative;
        EXPECT_EQ(step.showPointer, row.step.showPointer) << row.count << row.shown << row.relative;
    }
}

}  // namespace
