#include "primitives/integer_sum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "values/value.h"

namespace wox::primitives {
namespace {

// Both kernels give the 64-bit sum and find the null, from every starting
// alignment and at lengths around their steps.
TEST(IntegerSum, EveryKernelGivesTheSumAndFindsTheNull) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::int32_t> any(-2147483647, 2147483647);
    std::vector<std::int32_t> all(5000);
    for (auto& v : all) v = any(rng);
    for (std::size_t offset : {0, 1, 3}) {
        for (std::size_t n : {0, 1, 31, 32, 33, 64, 100, 4099}) {
            const std::int32_t* x = all.data() + offset;
            std::int64_t want = 0;
            for (std::size_t i = 0; i < n; ++i) want += x[i];
            for (auto kernel : {integerSum, integerSumBaseline}) {
                bool null = false;
                EXPECT_EQ(kernel(x, static_cast<std::int64_t>(n), &null), want) << n << " from " << offset;
                EXPECT_FALSE(null);
            }
        }
    }
    // A null in the wide part, in the tail after it, or none; the flag is
    // only ever set.
    for (std::size_t at : {0, 17, 40, 98}) {
        std::vector<std::int32_t> x(99, -5);
        x[at] = kIntNull;
        for (auto kernel : {integerSum, integerSumBaseline}) {
            bool null = false;
            (void)kernel(x.data(), 99, &null);
            EXPECT_TRUE(null) << at;
            bool kept = true;
            (void)kernel(x.data(), static_cast<std::int64_t>(at), &kept);
            EXPECT_TRUE(kept);
        }
    }
}

}  // namespace
}  // namespace wox::primitives
