// Wox's complex functions and matrix divide against values computed
// elsewhere: Python's cmath for 1,000 arguments of each complex function,
// and least-squares solutions and inverses from NumPy or exact rational
// arithmetic. make_numeric_oracle.py wrote the data file once; these tests
// only read it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "numeric/complex_functions.h"
#include "numeric/linear_solve.h"
#include "values/value.h"

namespace wox::numeric {
namespace {

constexpr double kRelative = 1e-12;

std::ifstream oracle() {
    std::ifstream in(std::string(WOX_SOURCE_DIR) + "/tests/numeric/data/numeric_oracle.txt");
    EXPECT_TRUE(in.good()) << "the oracle's data file is missing";
    return in;
}

// The oracle's value with our clean-up applied: parts below 1e-13 are 0.
Complex cleaned(double re, double im) {
    auto c = [](double v) { return std::fabs(v) < kCleanupBelow ? 0.0 : v; };
    return {c(re), c(im)};
}

// Relative to the magnitude of the expected value: a part that is small
// beside the other is compared on the same scale.
bool close(Complex got, Complex want) {
    return std::hypot(got.re - want.re, got.im - want.im) <= kRelative * std::hypot(want.re, want.im);
}

struct Unary {
    bool monadic;
    ComplexMonadic f;
    int circle;
};

const std::map<std::string, Unary>& unaries() {
    static const std::map<std::string, Unary> m{
        {"exp", {true, ComplexMonadic::Exponential, 0}}, {"log", {true, ComplexMonadic::NaturalLog, 0}},
        {"sin", {false, {}, 1}},       {"cos", {false, {}, 2}},       {"tan", {false, {}, 3}},
        {"sinh", {false, {}, 5}},      {"cosh", {false, {}, 6}},      {"tanh", {false, {}, 7}},
        {"asin", {false, {}, -1}},     {"acos", {false, {}, -2}},     {"atan", {false, {}, -3}},
        {"asinh", {false, {}, -5}},    {"acosh", {false, {}, -6}},    {"atanh", {false, {}, -7}},
        {"circle0", {false, {}, 0}},   {"circle4", {false, {}, 4}},   {"circle-4", {false, {}, -4}},
        {"circle8", {false, {}, 8}},   {"circle-12", {false, {}, -12}},
    };
    return m;
}

const std::map<std::string, ComplexDyadic>& binaries() {
    static const std::map<std::string, ComplexDyadic> m{
        {"pow", ComplexDyadic::Power}, {"logb", ComplexDyadic::Logarithm}, {"div", ComplexDyadic::Divide}};
    return m;
}

TEST(NumericOracle, ComplexFunctionsAgreeWithCmath) {
    std::ifstream in = oracle();
    std::map<std::string, int> cases, misses;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string name;
        s >> name;
        Complex got{}, want{};
        std::string shown;
        if (auto u = unaries().find(name); u != unaries().end()) {
            double a, b, c, d;
            s >> a >> b >> c >> d;
            Complex z{a, b};
            got = u->second.monadic ? complexMonadic(u->second.f, z) : complexCircle(u->second.circle, z);
            want = cleaned(c, d);
            shown = name + "(" + std::to_string(a) + "j" + std::to_string(b) + ")";
        } else if (auto f = binaries().find(name); f != binaries().end()) {
            double a, b, c, d, e, g;
            s >> a >> b >> c >> d >> e >> g;
            ASSERT_TRUE(complexDyadic(f->second, {a, b}, {c, d}, got)) << line;
            want = cleaned(e, g);
            shown = line;
        } else {
            continue;
        }
        ++cases[name];
        if (!close(got, want) && misses[name]++ < 3)
            ADD_FAILURE() << shown << ": " << got.re << "j" << got.im << ", cmath " << want.re << "j" << want.im;
    }
    EXPECT_EQ(cases.size(), unaries().size() + binaries().size());
    for (const auto& [name, n] : cases) EXPECT_EQ(n, 1000) << name;
    for (const auto& [name, n] : misses) EXPECT_EQ(n, 0) << name << " differs from cmath beyond 1e-12";
}

std::vector<double> numbers(std::istream& in) {
    std::string line;
    std::getline(in, line);
    std::istringstream s(line);
    std::vector<double> v;
    for (double x; s >> x;) v.push_back(x);
    return v;
}

// Largest difference against the largest expected magnitude.
bool closeNorm(const std::vector<double>& got, const std::vector<double>& want) {
    double diff = 0, size = 0;
    for (std::size_t i = 0; i < want.size(); ++i) {
        diff = std::max(diff, std::fabs(got[i] - want[i]));
        size = std::max(size, std::fabs(want[i]));
    }
    return diff <= kRelative * size;
}

TEST(NumericOracle, MatrixDivideAgreesWithLeastSquares) {
    std::ifstream in = oracle();
    int solved = 0, inverted = 0, square = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string kind;
        s >> kind;
        if (kind == "lstsq") {
            int m, n, k;
            s >> m >> n >> k;
            std::vector<double> a = numbers(in), b = numbers(in), want = numbers(in);
            ASSERT_EQ(want.size(), static_cast<std::size_t>(n * k)) << line;
            std::vector<double> got(want.size());
            Matrix y{a.data(), kFloat, m, n}, x{b.data(), kFloat, m, k};
            ASSERT_EQ(matrixDivide(x, y, got.data(), systemScratch()).code, 0) << line;
            EXPECT_TRUE(closeNorm(got, want)) << line;
            ++solved;
            square += m == n;
        } else if (kind == "inverse") {
            int n;
            s >> n;
            std::vector<double> a = numbers(in), want = numbers(in);
            std::vector<double> got(want.size());
            ASSERT_EQ(matrixInverse(Matrix{a.data(), kFloat, n, n}, got.data(), systemScratch()).code, 0) << line;
            EXPECT_TRUE(closeNorm(got, want)) << line;
            ++inverted;
        }
    }
    EXPECT_EQ(solved, 120);
    EXPECT_GT(square, 0);
    EXPECT_EQ(inverted, 40);
}

}  // namespace
}  // namespace wox::numeric
