// Pictures of the scene from known eyes, checked where the 45-degree perspective on a 640 x 480
// frame must put things. World coordinates: the eye stands at height -sceneY above y = 0, the
// triangle stands in the plane z = -6 from y = -1 to y = 1, the floor is the square y = -1,
// x in [-15, 15], z in [-21, 9].
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gl_window.h"
#include "render/gl.h"
#include "render/projection.h"
#include "render/scene.h"
#include "test_support.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum Colour { kBlack, kGreen, kBlue, kOther };

struct Frame {
    unsigned char rgba[kHeight][kWidth][4];

    void Read() { glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba); }
    // Rows counted from the top of the screen.
    Colour At(int x, int yFromTop) const {
        if (x < 0 || x >= kWidth || yFromTop < 0 || yFromTop >= kHeight) return kOther;
        const unsigned char* p = rgba[kHeight - 1 - yFromTop][x];
        if (p[0] == 0 && p[1] == 0 && p[2] == 0) return kBlack;
        if (p[0] == 0 && p[1] == 255 && p[2] == 0) return kGreen;
        if (p[0] == 0 && p[1] == 0 && p[2] == 255) return kBlue;
        return kOther;
    }
    int Count(Colour colour) const {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) count += At(x, y) == colour;
        return count;
    }
    // Mean column of the green pixels.
    double GreenCentreX() const {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) == kGreen) sum += x, ++count;
        return count ? sum / count : -1;
    }
    // Topmost green row in a column, or -1.
    int GreenTop(int x) const {
        for (int y = 0; y < kHeight; ++y)
            if (At(x, y) == kGreen) return y;
        return -1;
    }
};

struct Pose {
    float eyeX = 0, eyeZ = 0, yaw = 0, pitch = 0;
    double sceneY = -0.9;
};

struct Pixel {
    double x, yFromTop;
};

// Where a world point lands on the screen for an eye: forward is (-sin yaw, -cos yaw), right is
// (cos yaw, -sin yaw), and a positive pitch turns the view down.
Pixel Project(double x, double y, double z, const Pose& pose) {
    const double kRad = M_PI / 180.0;
    double dx = x - pose.eyeX, dy = y + pose.sceneY, dz = z - pose.eyeZ;
    double yaw = pose.yaw * kRad, pitch = pose.pitch * kRad;
    double right = dx * std::cos(yaw) - dz * std::sin(yaw);
    double ahead = -dx * std::sin(yaw) - dz * std::cos(yaw);
    double up = dy * std::cos(pitch) + ahead * std::sin(pitch);
    double depth = ahead * std::cos(pitch) - dy * std::sin(pitch);
    double f = 1.0 / std::tan(22.5 * kRad);
    double ndcX = f / (double(kWidth) / kHeight) * right / depth;
    double ndcY = f * up / depth;
    return {(ndcX + 1) * kWidth / 2, kHeight - (ndcY + 1) * kHeight / 2};
}

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        FreshStart();
        script::UseRealGl(true);
        ASSERT_TRUE(OpenFullscreenWindow("TOLVAREN", kWidth, kHeight, 16));
    }
    void TearDown() override {
        CloseFullscreenWindow();
        script::Reset();
    }
    const Frame& Draw(const Pose& pose) {
        appState.eyeX = pose.eyeX;
        appState.eyeZ = pose.eyeZ;
        appState.yaw = appState.sceneYaw = pose.yaw;
        appState.pitch = pose.pitch;
        appState.sceneY = pose.sceneY;
        EXPECT_TRUE(DrawScene());
        frame.Read();
        return frame;
    }
    static Frame frame;
};
Frame Render::frame;

TEST_F(Render, StartPoseShowsTheTriangleUprightAheadOnTheFloor) {
    Pose start;
    const Frame& f = Draw(start);
    Pixel apex = Project(0, 1, -6, start);
    Pixel left = Project(-1, -1, -6, start), right = Project(1, -1, -6, start);
    Pixel farEdge = Project(0, -1, -21, start);

    EXPECT_NEAR(f.GreenTop(320), apex.yFromTop, 1.0);
    EXPECT_NEAR(f.GreenCentreX(), 320, 1.0);
    int baseRow = int(left.yFromTop) - 3;
    EXPECT_EQ(f.At(int(left.x) + 8, baseRow), kGreen);
    EXPECT_EQ(f.At(int(right.x) - 8, baseRow), kGreen);
    EXPECT_EQ(f.At(int(left.x) - 5, baseRow), kBlue);
    EXPECT_EQ(f.At(int(right.x) + 5, baseRow), kBlue);
    // A narrow top and a wide base: upright, not upside down.
    EXPECT_EQ(f.At(300, int(apex.yFromTop) + 10), kBlack);

    EXPECT_EQ(f.At(10, kHeight - 1), kBlue);    // the floor reaches the bottom of the view
    EXPECT_EQ(f.At(630, kHeight - 1), kBlue);
    EXPECT_EQ(f.At(10, int(farEdge.yFromTop) + 2), kBlue);
    EXPECT_EQ(f.At(10, int(farEdge.yFromTop) - 2), kBlack);  // black above the horizon
    EXPECT_EQ(f.At(320, 0), kBlack);
    EXPECT_EQ(f.Count(kOther), 0);
}

TEST_F(Render, FacingAwayShowsOnlyTheFloor) {
    Pose back;
    back.yaw = 180;
    const Frame& f = Draw(back);
    EXPECT_EQ(f.Count(kGreen), 0);
    EXPECT_EQ(f.At(320, kHeight - 1), kBlue);
    EXPECT_EQ(f.At(320, 10), kBlack);
}

TEST_F(Render, TurningLeftMovesTheTriangleRight) {
    Pose turned;
    turned.yaw = 10;  // the cursor went left
    const Frame& f = Draw(turned);
    Pixel apex = Project(0, 1, -6, turned);
    EXPECT_GT(apex.x, 400);
    EXPECT_NEAR(f.GreenCentreX(), apex.x, 3.0);
    EXPECT_NEAR(f.GreenTop(int(apex.x)), apex.yFromTop, 1.5);
}

TEST_F(Render, PositivePitchMovesWhatLiesAheadUp) {
    Pose tilted;
    tilted.pitch = 5;
    const Frame& f = Draw(tilted);
    Pixel apex = Project(0, 1, -6, tilted);
    EXPECT_LT(apex.yFromTop, Project(0, 1, -6, Pose{}).yFromTop - 40);
    EXPECT_NEAR(f.GreenTop(320), apex.yFromTop, 1.5);
}

TEST_F(Render, TriangleSeenFromBehindIsStillGreen) {
    Pose behind;
    behind.eyeZ = -8;
    behind.yaw = 180;
    const Frame& f = Draw(behind);
    EXPECT_EQ(f.At(320, 240), kGreen);
    EXPECT_NEAR(f.GreenTop(320), Project(0, 1, -6, behind).yFromTop, 1.0);
}

TEST_F(Render, BeyondTheFloorsEdgeIsBlackBelowTheHorizon) {
    Pose outside;
    outside.eyeZ = 30;  // 21 units past the near edge, looking back towards the scene
    const Frame& f = Draw(outside);
    Pixel nearEdge = Project(0, -1, 9, outside);
    EXPECT_EQ(f.At(320, kHeight - 1), kBlack);
    EXPECT_EQ(f.At(100, int(nearEdge.yFromTop) + 3), kBlack);
    EXPECT_EQ(f.At(100, int(nearEdge.yFromTop) - 3), kBlue);
}

TEST_F(Render, CrouchingBringsTheFloorCloser) {
    Pose standing, crouched;
    crouched.sceneY = 0.0;
    Pixel standingHorizon = Project(0, -1, -21, standing);
    Pixel crouchedHorizon = Project(0, -1, -21, crouched);
    ASSERT_GT(standingHorizon.yFromTop - crouchedHorizon.yFromTop, 20);
    int between = int((standingHorizon.yFromTop + crouchedHorizon.yFromTop) / 2);
    EXPECT_EQ(Draw(standing).At(50, between), kBlack);
    EXPECT_EQ(Draw(crouched).At(50, between), kBlue);
    EXPECT_NEAR(Draw(crouched).GreenTop(320), Project(0, 1, -6, crouched).yFromTop, 1.0);
}

void ExpectMatrix(GLenum which, const double expected[16]) {
    GLdouble m[16];
    glGetDoublev(which, m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-5 * (1 + std::fabs(expected[i]))) << i;
}

void ExpectPerspectiveFor(double aspect) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0), n = 0.1, far = 100.0;
    const double perspective[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + n) / (n - far), -1,
                                    0,          0, 2 * far * n / (n - far), 0};
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrix(GL_PROJECTION_MATRIX, perspective);
    ExpectMatrix(GL_MODELVIEW_MATRIX, identity);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(Render, ResizeFitsThePerspectiveAndResetsTheModelView) {
    ExpectPerspectiveFor(640.0 / 480.0);
    Draw(Pose{});
    ResizeViewport(800, 200);
    ExpectPerspectiveFor(4.0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 200);

    ResizeViewport(640, 0);  // behaves as one pixel high
    ExpectPerspectiveFor(640.0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
}

TEST_F(Render, OnlyDepthTestingIsEnabled) {
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    for (GLenum cap : {GL_LIGHTING, GL_TEXTURE_2D, GL_BLEND, GL_CULL_FACE, GL_FOG, GL_ALPHA_TEST})
        EXPECT_FALSE(glIsEnabled(cap)) << cap;
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
}

TEST(RenderLoop, HeldUpAndAnOffCentreCursorShowTheMovedTurnedView) {
    FreshStart();
    script::UseRealGl(true);
    script::KeyDown(VK_UP);
    script::Cursor(300, 240);  // 20 px left: the first frame turns the view 1 degree left
    script::Idle(10);
    static Frame last;
    script::OnSwap([] { last.Read(); });
    EXPECT_EQ(RunProgram(), 0);
    script::Reset();

    // The tenth frame shows the eye after nine updates: turned 1 degree, 1.8 units walked.
    Pose seen;
    seen.yaw = 1;
    seen.eyeX = float(-1.8 * std::sin(M_PI / 180));
    seen.eyeZ = float(-1.8 * std::cos(M_PI / 180));
    Pixel apex = Project(0, 1, -6, seen);
    Pixel left = Project(-1, -1, -6, seen);
    EXPECT_NEAR(last.GreenTop(int(apex.x)), apex.yFromTop, 1.5);
    EXPECT_GT(apex.x, 330);
    const int row = 400;  // the base is below the view now; follow the left edge down to this row
    double edgeX = apex.x + (left.x - apex.x) * (row - apex.yFromTop) / (left.yFromTop - apex.yFromTop);
    EXPECT_EQ(last.At(int(edgeX) + 3, row), kGreen);
    EXPECT_EQ(last.At(int(edgeX) - 3, row), kBlue);
    EXPECT_LT(left.x, 320 - 120);  // nearer, so wider than from the start
}

}  // namespace
