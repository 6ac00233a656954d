// A million frames of random held keys and cursor moves through the whole loop.
#include <gtest/gtest.h>

#include <random>

#include "invariants.h"
#include "test_support.h"

namespace {

TEST(Soak, AMillionFramesOfRandomInputKeepTheInvariants) {
    constexpr long kFrames = 1000000;
    constexpr int kBatch = 40;  // frames between changes of the held keys
    const int keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_END, kKeyA, 0x42, 0x00, 0xFF};
    std::mt19937 random(20261208);
    WalkWatch watch;
    long frames = 0;
    const char* broken = nullptr;
    long brokenAt = 0;

    auto queueBatch = [&] {
        for (int i = 0, changes = int(random() % 4); i < changes; ++i) {
            int key = keys[random() % (sizeof keys / sizeof keys[0])];
            script::Message(random() % 2 ? WM_KEYDOWN : WM_KEYUP, WPARAM(key));
        }
        for (int i = 0; i < kBatch; ++i) script::Cursor(300 + int(random() % 41), 220 + int(random() % 41));
        script::Idle(kBatch);
    };

    FreshStart();
    script::Record(false);
    script::OnDispatch([&](const MSG& msg) { watch.Dispatched(msg); });
    script::OnSwap([&] {
        if (!broken && (broken = watch.Broken())) brokenAt = frames;
        if (++frames % kBatch == 0) {
            if (frames < kFrames)
                queueBatch();
            else
                script::Message(WM_CLOSE);
        }
    });
    queueBatch();
    EXPECT_EQ(RunProgram(), 0);
    if (!broken) broken = watch.Broken();
    EXPECT_EQ(frames, kFrames);
    EXPECT_TRUE(broken == nullptr) << broken << " after frame " << brokenAt;
    script::Reset();
}

}  // namespace
