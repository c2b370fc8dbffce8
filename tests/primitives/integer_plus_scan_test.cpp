#include "primitives/integer_plus_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "values/value.h"

namespace wox::primitives {
namespace {

// The running sum in 64 bits; false where the kernels must give up.
bool reference(const std::vector<std::int32_t>& x, std::vector<std::int32_t>* out) {
    std::int64_t s = 0;
    out->assign(x.size(), 0);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (x[i] == kIntNull) return false;
        s += x[i];
        if (s < -2147483647 || s > 2147483647) return false;
        (*out)[i] = static_cast<std::int32_t>(s);
    }
    return true;
}

// Both kernels agree with the reference, on the answer and on every sum.
void expectScan(const std::vector<std::int32_t>& x, const char* what) {
    std::vector<std::int32_t> want;
    const bool fits = reference(x, &want);
    for (auto kernel : {integerPlusScan, integerPlusScanBaseline}) {
        std::vector<std::int32_t> got(x.size(), 7);
        ASSERT_EQ(kernel(x.data(), static_cast<std::int64_t>(x.size()), got.data()), fits) << what;
        if (fits) {
            ASSERT_EQ(got, want) << what;
        }
    }
}

TEST(IntegerPlusScan, EveryKernelGivesTheRunningSum) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> small(-1000, 1000);
    for (std::size_t n : {0, 1, 15, 16, 17, 33, 1000, 4099}) {
        std::vector<std::int32_t> x(n);
        for (auto& v : x) v = small(rng);
        expectScan(x, "small elements");
        // Large elements here and there, whose sums still fit.
        for (std::size_t i = 3; i < n; i += 37) x[i] = (i % 2 ? 1 : -1) * 2000000000;
        for (std::size_t i = 5; i < n; i += 37) x[i] = -x[i - 2];
        expectScan(x, "large elements that cancel");
    }
}

TEST(IntegerPlusScan, GivesUpOnTheNullAndOnSumsBeyondTheRange) {
    std::vector<std::int32_t> x(100, 1);
    x[40] = kIntNull;
    expectScan(x, "a null");
    // Small elements whose carried sum passes 2147483647 (the wide kernel
    // can only see this in its carry).
    std::vector<std::int32_t> up(70000, 40000);
    expectScan(up, "a sum beyond the top");
    std::vector<std::int32_t> down(70000, -40000);
    expectScan(down, "a sum beyond the bottom");
    // A sum of exactly -2^31 is the null's pattern, no Integer element;
    // 2147483647 and -2147483647 are the ends of the range.
    std::vector<std::int32_t> edge(32, 0);
    edge[0] = -2147483647;
    edge[20] = -1;
    expectScan(edge, "a sum of -2^31");
    edge[20] = 0;
    edge[31] = 2147483647;
    expectScan(edge, "sums at both ends of the range");
    std::vector<std::int32_t> climb(64, 1 << 25);
    climb[0] = 2147483647 - 63 * (1 << 25);
    expectScan(climb, "a climb to the top");
    climb[63] += 1;
    expectScan(climb, "a climb past the top");
}

}  // namespace
}  // namespace wox::primitives
