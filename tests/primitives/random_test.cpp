// The generator of roll and deal: the multiplicative congruential steps and
// the draw of a range.
#include <gtest/gtest.h>

#include "primitives/grade.h"

namespace wox::primitives {
namespace {

TEST(RandomGenerator, StepsFromTheInitialSeed) {
    std::int32_t s = nextRandomState(16807);
    EXPECT_EQ(s, 282475249);
    EXPECT_EQ(nextRandomState(s), 1622650073);
    EXPECT_EQ(drawBelow(s, 6), 0);
    EXPECT_EQ(drawBelow(1622650073, 6), 4);
}

TEST(RandomGenerator, TheLargestStateDrawsBelowItsRange) {
    // state / (2^31 - 1) is below 1 for every state the generator reaches.
    EXPECT_EQ(drawBelow(2147483646, 2147483647), 2147483646);
    EXPECT_EQ(drawBelow(2147483646, 1), 0);
    EXPECT_EQ(nextRandomState(2147483646), 2147466840);
}

}  // namespace
}  // namespace wox::primitives
