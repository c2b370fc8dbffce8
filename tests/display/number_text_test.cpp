#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "display/number_text.h"

namespace wox::display {
namespace {

std::string intText(std::int32_t v) {
    char buf[kNumberTextMax];
    return std::string(buf, integerText(buf, v));
}
std::string fltText(double v) {
    char buf[kNumberTextMax];
    return std::string(buf, floatText(buf, v));
}

TEST(NumberText, IntegersUseHighMinusAndNamedSpecials) {
    EXPECT_EQ(intText(0), "0");
    EXPECT_EQ(intText(1), "1");
    EXPECT_EQ(intText(-1), "_1");
    EXPECT_EQ(intText(-2147483647 - 1), "0n");
    EXPECT_EQ(intText(2147483647), "0wi");
    EXPECT_EQ(intText(-2147483647), "_0wi");
    EXPECT_EQ(intText(2147483646), "2147483646");
    char buf[kNumberTextMax];
    EXPECT_EQ(std::string(buf, plainIntegerText(buf, -2147483647 - 1)), "_2147483648");
    EXPECT_EQ(std::string(buf, plainIntegerText(buf, 2147483647)), "2147483647");
}

TEST(NumberText, FloatSpecialsAndThresholds) {
    EXPECT_EQ(fltText(std::numeric_limits<double>::quiet_NaN()), "0n");
    EXPECT_EQ(fltText(INFINITY), "0w");
    EXPECT_EQ(fltText(-INFINITY), "_0w");
    EXPECT_EQ(fltText(0.0), "0");
    EXPECT_EQ(fltText(-0.0), "0");
    EXPECT_EQ(fltText(0.00001), "0.00001");
    EXPECT_EQ(fltText(0.000009), "9E_6");
    EXPECT_EQ(fltText(9999999999.0), "9999999999");
    EXPECT_EQ(fltText(10000000000.0), "1E10");
    EXPECT_EQ(fltText(0.0000015), "1.5E_6");
    EXPECT_EQ(fltText(12345678901.0), "1.23456789E10");
    EXPECT_EQ(fltText(-2.5e12), "_2.5E12");
    EXPECT_EQ(fltText(1e-7), "1E_7");
    EXPECT_EQ(fltText(5e-324), "4.940656458E_324");
}

TEST(NumberText, FloatTenSignificantDigitsRoundedUp) {
    EXPECT_EQ(fltText(1.0 / 3), "0.3333333333");
    EXPECT_EQ(fltText(2.0 / 3), "0.6666666667");
    EXPECT_EQ(fltText(123456.7890123), "123456.789");
    EXPECT_EQ(fltText(3.14159265358979), "3.141592654");
    EXPECT_EQ(fltText(0.000123456789012), "0.000123456789");
    EXPECT_EQ(fltText(2.50), "2.5");
    EXPECT_EQ(fltText(-0.5), "_0.5");
    EXPECT_EQ(fltText(19.99999999999), "20");
    EXPECT_EQ(fltText(9999999999.5), "10000000000");
    EXPECT_EQ(fltText(0.99999999999), "1");
    EXPECT_EQ(fltText(0.000099999999999), "0.0001");
}

// Zeros of the integer part are digits, not padding.
TEST(NumberText, FloatKeepsZerosBeforeThePoint) {
    EXPECT_EQ(fltText(1000000000.0), "1000000000");
    EXPECT_EQ(fltText(3e9), "3000000000");
    EXPECT_EQ(fltText(-200.0), "_200");
    EXPECT_EQ(fltText(100000000.5), "100000000.5");
}

TEST(NumberText, ComplexShowsImaginaryPartUnlessZero) {
    char buf[kComplexTextMax];
    EXPECT_EQ(std::string(buf, complexText(buf, 3, 0)), "3");
    EXPECT_EQ(std::string(buf, complexText(buf, 0, 1)), "0j1");
    EXPECT_EQ(std::string(buf, complexText(buf, 1.5, -2)), "1.5j_2");
    EXPECT_EQ(std::string(buf, complexText(buf, -1e20, -INFINITY)), "_1E20j_0w");
}

// The fixed form is defined on the 17-decimal printed text: keep ten
// significant digits, round up when the next printed digit exceeds 4. The
// fast path must give the very same text as doing exactly that.
std::string printedFixed(double x) {
    char b[64];
    std::snprintf(b, sizeof b, "%.17f", std::fabs(x));
    std::string s = b;
    std::size_t point = s.find('.');
    std::string digits = s.substr(0, point) + s.substr(point + 1);
    int intLen = static_cast<int>(point);
    std::size_t first = 0;
    if (s[0] == '0') {
        first = 1;
        while (digits[first] == '0') ++first;
    }
    std::size_t last = std::min(first + 10, digits.size());
    int next = last < digits.size() ? digits[last] - '0' : 0;
    std::string kept = digits.substr(0, last);
    if (next > 4) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') kept[i--] = '0';
        if (i >= 0) {
            ++kept[i];
        } else {
            kept.insert(0, "1");
            ++intLen;
        }
    }
    std::string ip = kept.substr(0, intLen), fp = kept.substr(intLen);
    if (ip.size() > 1 && ip[0] == '0') ip.erase(0, 1);
    while (!fp.empty() && fp.back() == '0') fp.pop_back();
    return (x < 0 ? "_" : "") + ip + (fp.empty() ? "" : "." + fp);
}

TEST(NumberText, FixedFormMatchesThePrintedDigitRule) {
    std::mt19937_64 gen(7);
    for (int i = 0; i < 200000; ++i) {
        double x;
        if (i % 2 == 0) {
            x = std::ldexp(static_cast<double>(gen() >> 11), -static_cast<int>(gen() % 86));
        } else {
            x = static_cast<double>(gen() % 100000000000ull) / std::pow(10.0, static_cast<double>(gen() % 16));
        }
        if (gen() & 1) x = -x;
        if (std::fabs(x) < 0.00001 || std::fabs(x) >= 1e10) continue;
        ASSERT_EQ(fltText(x), printedFixed(x)) << std::hexfloat << x;
    }
}

}  // namespace
}  // namespace wox::display
