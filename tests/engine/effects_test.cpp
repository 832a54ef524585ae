// Lifetimes of explosions, zaps and point popups.
#include <gtest/gtest.h>

#include "common/brains.h"
#include "engine/effects.h"
#include "field_picture.h"
#include "platform/runtime.h"

namespace pomlets::testing {
namespace {

TEST_F(EngineTest, AnExplosionLastsSixFrames) {
    addExplosion(10, 20, false);
    addExplosion(30, 40, true);
    EXPECT_EQ(plays(sndPop), 1);  // the silent one plays nothing
    std::vector<int> sizes;
    int frames = 0;
    while (lastExplosion > -1) {
        sizes.push_back(explosions[0].size);
        ASSERT_EQ(lastExplosion, 1);  // both grow in step, in the order of addition
        EXPECT_EQ(explosions[1].size, explosions[0].size);
        EXPECT_EQ(explosions[1].x, 30);
        updateExplosions();
        ++frames;
    }
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(sizes, (std::vector<int>{10, 60, 110, 160, 210, 260}));
}

TEST_F(EngineTest, AZapLastsThreeFrames) {
    addZap(100, 200, true);
    EXPECT_EQ(plays(sndSlam), 1);
    std::vector<int> thicknesses;
    while (lastZap > -1) {
        thicknesses.push_back(zaps[0].thickness);
        updateZaps();
    }
    EXPECT_EQ(thicknesses, (std::vector<int>{5, 30, 55}));
}

TEST_F(EngineTest, APopupPaysWhenItReachesTheTop) {
    struct Case {
        int16_t y0;
        int32_t points;
        int frames;
    };
    for (const Case& c : {Case{450, 100, 63}, Case{-175, 7, 1}, Case{-170, -40, 1}, Case{-169, 5, 2},
                          Case{0, 3, 18}}) {
        SetUp();
        score = 1000;
        addPointPopup(0, c.y0, c.points);
        int frames = 0;
        while (lastPointPopup > -1) {
            EXPECT_EQ(score, 1000) << "paid early, start " << c.y0;
            updatePointPopups();
            ++frames;
        }
        EXPECT_EQ(frames, c.frames) << "start " << c.y0;
        EXPECT_EQ(score, 1000 + c.points) << "start " << c.y0;
    }
}

TEST_F(EngineTest, PopupsStayInOrderAndPayOnlyWhenTheyExpire) {
    addPointPopup(0, -175, 1);
    addPointPopup(5, 0, 2);
    addPointPopup(6, -172, 4);
    updatePointPopups();
    ASSERT_EQ(lastPointPopup, 0);
    EXPECT_EQ(pointPopups[0].x, 5);
    EXPECT_EQ(pointPopups[0].y, -10);
    EXPECT_EQ(score, 5);
}

TEST_F(EngineTest, APopupHoldsSixteenBits) {
    addPointPopup(0, 0, 32767);
    addPointPopup(0, 0, -32768);
    EXPECT_THROW(addPointPopup(0, 0, 32768), RuntimeError);
    EXPECT_EQ(lastPointPopup, 1);
}

TEST_F(EngineTest, EffectPositionsOfAPiece) {
    EXPECT_EQ(effectX(0), -70);
    EXPECT_EQ(effectX(9), 695);
    EXPECT_EQ(effectY(520), 450);
    EXPECT_EQ(zapX(3), 355);
    EXPECT_EQ(zapY(10), 90);
}

} // namespace
} // namespace pomlets::testing
