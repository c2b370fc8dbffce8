// The ring of lines a call ran and the error trace copied from it, at the
// counts a loop reaches after running for hours.
#include "engine/error_trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace wox::engine {
namespace {

TEST(LineRing, KeepsTheLastHundredLinesPastTwoToThe31) {
    LineRing ring;
    ring.executed = (std::uint64_t{1} << 31) - 3;  // about ten minutes of a tight loop
    for (int i = 1; i <= 150; ++i) ring.push(i);
    EXPECT_EQ(ring.executed, (std::uint64_t{1} << 31) + 147);
    std::vector<std::int32_t> recent;
    ring.copyRecent(recent);
    ASSERT_EQ(recent.size(), 100u);
    EXPECT_EQ(recent.front(), 51);
    EXPECT_EQ(recent.back(), 150);
}

TEST(LineRing, KeepsCountingPastTwoToThe32) {
    LineRing ring;
    ring.executed = std::numeric_limits<std::uint32_t>::max() - 1;
    for (int i = 1; i <= 5; ++i) ring.push(i);
    std::vector<std::int32_t> recent;
    ring.copyRecent(recent);
    ASSERT_EQ(recent.size(), 100u);
    EXPECT_EQ(recent.back(), 5);
    EXPECT_EQ(recent[95], 1);
}

TEST(LineRing, AShortCallCopiesOnlyWhatItRan) {
    LineRing ring;
    ring.push(7);
    ring.push(8);
    std::vector<std::int32_t> recent;
    ring.copyRecent(recent);
    EXPECT_EQ(recent, (std::vector<std::int32_t>{7, 8}));
}

TEST(ErrorTrace, RecordsALongRunningCallWithoutOverflow) {
    LineRing ring;
    ring.executed = std::numeric_limits<std::int32_t>::max();
    for (int i = 0; i < 3; ++i) ring.push(4 + i);
    ErrorTrace t;
    t.record(12, 6, ring);
    EXPECT_EQ(t.executed, std::uint64_t{std::numeric_limits<std::int32_t>::max()} + 3);
    ASSERT_EQ(t.lines.size(), 100u);
    EXPECT_EQ(t.lines.back(), 6);
    EXPECT_EQ(t.lines[97], 4);
    // The innermost call records; enclosing ones leave it alone.
    LineRing outer;
    outer.push(1);
    t.record(13, 1, outer);
    EXPECT_EQ(t.function, 12);
}

}  // namespace
}  // namespace wox::engine
