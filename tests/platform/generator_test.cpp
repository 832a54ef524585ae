// The one pseudo-random generator, checked against its fixed vectors.
#include <gtest/gtest.h>
#include <vector>

#include "platform/runtime.h"

namespace pomlets {
namespace {

// Each test starts with the generator in its program-start state.
class GeneratorTest : public ::testing::Test {};

TEST_F(GeneratorTest, FirstValuesFromProgramStart) {
    EXPECT_EQ(rndState(), 0x050000u);
    EXPECT_NEAR(rnd(), 0.7055475f, 5e-7);
    EXPECT_NEAR(rnd(), 0.5334240f, 5e-7);
    EXPECT_NEAR(rnd(), 0.5795186f, 5e-7);
}

TEST_F(GeneratorTest, ValuesAreTheStateOverTwoToThe24) {
    for (int i = 0; i < 1000; ++i) {
        const float r = rnd();
        ASSERT_EQ(r, static_cast<float>(rndState()) / 16777216.0f);
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

TEST_F(GeneratorTest, SeedingKeepsTheLowByte) {
    randomize(79);
    EXPECT_EQ(rndState(), 0x805300u);
    setRndState(0x1234AB);
    randomize(79);
    EXPECT_EQ(rndState(), 0x8053ABu);
    // 0 has an all-zero upper word.
    randomize(0);
    EXPECT_EQ(rndState(), 0x0000ABu);
}

TEST_F(GeneratorTest, ScramblerTablesFromSeed79) {
    randomize(79);
    auto draw = [] { return static_cast<int>(vbInt(static_cast<double>(rnd()) * static_cast<double>(709.0f))) + 1; };
    std::vector<int> b, a;
    for (int i = 0; i < 99; ++i) b.push_back(draw());
    for (int i = 0; i < 100; ++i) a.push_back(draw());
    EXPECT_EQ(std::vector<int>(b.begin(), b.begin() + 5), (std::vector<int>{218, 417, 595, 176, 160}));
    EXPECT_EQ(b[98], 151);
    EXPECT_EQ(std::vector<int>(a.begin(), a.begin() + 5), (std::vector<int>{476, 228, 165, 73, 84}));
    EXPECT_EQ(a[99], 704);
}

TEST_F(GeneratorTest, ClockSeedChangesOnlyTheUpperBits) {
    setRndState(0x0000CD);
    randomizeFromClock();
    EXPECT_EQ(rndState() & 0xFFu, 0xCDu);
    EXPECT_LE(rndState(), 0xFFFFFFu);
}

} // namespace
} // namespace pomlets
