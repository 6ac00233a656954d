// The watcher's choice of what to put back on the desktop.
#include <gtest/gtest.h>

#include <utility>

#include "platform/x11/mode_watcher.h"

namespace {

// Two monitors side by side, CRTCs 10 and 11; the primary (output 100) on CRTC 10.
x11::Desktop TwoMonitors() {
    return {2304, 1024, 600, 270, 100, 3,
            {{10, 1, 0, 0, 1, 1, {100}}, {11, 2, 1024, 0, 1, 1, {101}}, {12, 0, 0, 0, 1, 0, {}}}};
}

TEST(DesktopWatcher, PutsBackOnlyWhatDiffersAndTurnsItOffFirst) {
    x11::Desktop before = TwoMonitors();
    x11::RestorePlan plan = x11::PlanRestore(before, before);
    for (int i = 0; i < before.crtcCount; ++i) EXPECT_FALSE(plan.turnOff[i] || plan.putBack[i]) << i;
    EXPECT_FALSE(plan.resize || plan.primary);

    x11::Desktop now = before;
    now.crtcs[0].mode = 7;  // the primary at 640 x 480
    plan = x11::PlanRestore(before, now);
    EXPECT_TRUE(plan.turnOff[0] && plan.putBack[0]);
    EXPECT_FALSE(plan.turnOff[1] || plan.putBack[1]) << "the other monitor kept its mode";
    EXPECT_FALSE(plan.resize);

    // The screen shrunk around the switched monitor, the other off and a spare CRTC lit.
    now = before;
    now.width = 640, now.height = 480, now.primary = 0;
    now.crtcs[0].mode = 7;
    now.crtcs[1].mode = 0, now.crtcs[1].outputCount = 0;
    now.crtcs[2] = {12, 2, 0, 0, 1, 1, {101}};
    std::swap(now.crtcs[0], now.crtcs[2]);  // matched by identifier, not by place
    plan = x11::PlanRestore(before, now);
    EXPECT_TRUE(plan.turnOff[0] && plan.putBack[0]);
    EXPECT_TRUE(!plan.turnOff[1] && plan.putBack[1]) << "an output that is off needs no turning off";
    EXPECT_TRUE(plan.turnOff[2] && !plan.putBack[2]) << "a CRTC that was off is turned off and left so";
    EXPECT_TRUE(plan.resize);
    EXPECT_TRUE(plan.primary);
}

}  // namespace
