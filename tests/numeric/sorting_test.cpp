// The sorts behind grade: every kernel against a plain stable sort of the
// same keys, working memory that cannot be had, and reads kept inside the
// argument.
#include "numeric/sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "values/messages.h"
#include "values/value.h"

namespace wox::numeric {
namespace {

// The grade by definition: positions ordered by a stable sort with the
// element comparison (the null below every number).
template <class T, class Less>
std::vector<std::int32_t> reference(const std::vector<T>& v, int origin, Direction dir, Less less) {
    std::vector<std::int32_t> p(v.size());
    std::iota(p.begin(), p.end(), 0);
    std::stable_sort(p.begin(), p.end(), [&](std::int32_t a, std::int32_t b) {
        return dir == Direction::Up ? less(v[a], v[b]) : less(v[b], v[a]);
    });
    for (auto& x : p) x += origin;
    return p;
}

bool floatLess(double a, double b) {
    if (std::isnan(a)) return !std::isnan(b);
    if (std::isnan(b)) return false;
    return a < b;
}

template <class T>
std::vector<std::int32_t> graded(const std::vector<T>& v, std::int32_t type, int origin, Direction dir) {
    std::vector<std::int32_t> out(v.size(), -7);
    EXPECT_EQ(gradeVector(v.data(), type, out.data(), origin, static_cast<std::int64_t>(v.size()), dir).code, 0);
    return out;
}

TEST(GradeIntegers, CountingAndRadixPathsMatchAStableSortInBothDirections) {
    std::mt19937 gen(5);
    auto less = [](std::int32_t a, std::int32_t b) { return a < b; };
    // Small ranges are counted; wide ones take one, two or three radix passes.
    for (std::int64_t spread : {std::int64_t{2}, std::int64_t{300}, std::int64_t{70000}, std::int64_t{5000000},
                                std::int64_t{1} << 32}) {
        std::uniform_int_distribution<std::int64_t> d(-spread / 2, spread / 2 - 1);
        std::vector<std::int32_t> v(5000);
        for (auto& x : v) x = static_cast<std::int32_t>(std::clamp<std::int64_t>(d(gen), INT32_MIN, INT32_MAX));
        for (int origin : {0, 1})
            for (Direction dir : {Direction::Up, Direction::Down})
                EXPECT_EQ(graded(v, kInteger, origin, dir), reference(v, origin, dir, less)) << spread;
    }
}

TEST(GradeIntegers, ExtremesAndTheNullOrderAtTheEnds) {
    std::vector<std::int32_t> v{INT32_MAX, kIntNull, 0, INT32_MAX, kIntNull + 1, kIntNull};
    auto less = [](std::int32_t a, std::int32_t b) { return a < b; };
    EXPECT_EQ(graded(v, kInteger, 0, Direction::Up), reference(v, 0, Direction::Up, less));
    EXPECT_EQ(graded(v, kInteger, 1, Direction::Down), reference(v, 1, Direction::Down, less));
    EXPECT_EQ(graded(v, kInteger, 0, Direction::Up).front(), 1);
}

TEST(GradeChars, CharactersCompareAsSignedBytes) {
    std::vector<char> v{'a', static_cast<char>(0xC3), 'A', static_cast<char>(0xA9), 'a', ' '};
    // 0xA9 and 0xC3 are negative, so they come first.
    EXPECT_EQ(graded(v, kChar, 0, Direction::Up), (std::vector<std::int32_t>{3, 1, 5, 2, 0, 4}));
    EXPECT_EQ(graded(v, kChar, 0, Direction::Down), (std::vector<std::int32_t>{0, 4, 2, 5, 1, 3}));
}

TEST(GradeFloats, NullsInfinitiesAndZerosMatchThePlainComparison) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    std::mt19937 gen(9);
    std::uniform_int_distribution<int> pick(0, 9);
    std::vector<double> v(3000);
    for (auto& x : v) {
        int k = pick(gen);
        x = k == 0 ? nan : k == 1 ? inf : k == 2 ? -inf : k == 3 ? -0.0 : k == 4 ? 0.0 : (pick(gen) - 5) * 0.25;
    }
    for (int origin : {0, 1})
        for (Direction dir : {Direction::Up, Direction::Down})
            EXPECT_EQ(graded(v, kFloat, origin, dir), reference(v, origin, dir, floatLess));
}

TEST(GradeWords, NarrowAndWideSpansMatchAStableSortInBothDirections) {
    std::mt19937_64 gen(11);
    auto less = [](std::int64_t a, std::int64_t b) { return a < b; };
    // Words that share their low three bits (one temporal kind): spans that
    // are counted, sorted as 32-bit keys, and sorted as 64-bit keys; then
    // words that share no low bits, over the whole signed range.
    for (std::int64_t spread : {std::int64_t{40}, std::int64_t{1} << 20, std::int64_t{1} << 40,
                                std::int64_t{1} << 60}) {
        std::uniform_int_distribution<std::int64_t> d(-spread, spread);
        std::vector<std::int64_t> v(4000);
        for (auto& x : v) x = d(gen) * 8 + 6;
        for (int origin : {0, 1})
            for (Direction dir : {Direction::Up, Direction::Down})
                EXPECT_EQ(graded(v, kTemporal, origin, dir), reference(v, origin, dir, less)) << spread;
    }
    std::vector<std::int64_t> v(3000);
    for (auto& x : v) x = static_cast<std::int64_t>(gen() >> (gen() % 64)) * ((gen() & 1) ? -1 : 1);
    v[5] = std::numeric_limits<std::int64_t>::min();
    v[9] = std::numeric_limits<std::int64_t>::max();
    for (Direction dir : {Direction::Up, Direction::Down})
        EXPECT_EQ(graded(v, kTemporal, 0, dir), reference(v, 0, dir, less));
    std::vector<std::int64_t> rows{8, 16, 8, 9, -8, 0, 8, 16};
    std::vector<std::int32_t> out(4);
    ASSERT_EQ(gradeRows(rows.data(), kTemporal, out.data(), 0, 4, 2, Direction::Up).code, 0);
    EXPECT_EQ(out, (std::vector<std::int32_t>{2, 1, 0, 3}));
    ASSERT_EQ(gradeRows(rows.data(), kTemporal, out.data(), 0, 4, 2, Direction::Down).code, 0);
    EXPECT_EQ(out, (std::vector<std::int32_t>{0, 3, 1, 2}));
}

TEST(GradeRows, RowsCompareLexicographicallyAndEqualRowsKeepTheirOrder) {
    std::vector<std::int32_t> m{1, 2, 1, 1, 1, 2, 0, 9, 1, 1};
    std::vector<std::int32_t> out(5);
    ASSERT_EQ(gradeRows(m.data(), kInteger, out.data(), 0, 5, 2, Direction::Up).code, 0);
    EXPECT_EQ(out, (std::vector<std::int32_t>{3, 1, 4, 0, 2}));
    ASSERT_EQ(gradeRows(m.data(), kInteger, out.data(), 1, 5, 2, Direction::Down).code, 0);
    EXPECT_EQ(out, (std::vector<std::int32_t>{1, 3, 2, 5, 4}));
}

TEST(GradeMemory, WorkingMemoryThatCannotBeHadIsWorkspaceFull) {
    Scratch none{[](void*, std::size_t) -> void* { return nullptr; }, [](void*, void*) {}};
    std::vector<std::int32_t> ints{5, -9000000, 7, 1 << 30};
    std::vector<double> floats{2.5, 1.5};
    std::vector<std::int64_t> words{std::int64_t{1} << 50, -8};
    std::vector<std::int32_t> out(4);
    EXPECT_EQ(gradeVector(ints.data(), kInteger, out.data(), 0, 4, Direction::Up, none).code, kWorkspaceFull);
    EXPECT_EQ(gradeVector(floats.data(), kFloat, out.data(), 0, 2, Direction::Up, none).code, kWorkspaceFull);
    EXPECT_EQ(gradeVector(words.data(), kTemporal, out.data(), 0, 2, Direction::Up, none).code, kWorkspaceFull);
    // Characters, and rows that fit one run of 32, need no working memory;
    // more rows merge through a spare block of positions.
    std::vector<char> chars{'b', 'a'};
    EXPECT_EQ(gradeVector(chars.data(), kChar, out.data(), 0, 2, Direction::Up, none).code, 0);
    std::vector<std::int32_t> rows(2 * 40, 1), rowOut(40);
    EXPECT_EQ(gradeRows(rows.data(), kInteger, rowOut.data(), 0, 32, 2, Direction::Up, none).code, 0);
    EXPECT_EQ(gradeRows(rows.data(), kInteger, rowOut.data(), 0, 40, 2, Direction::Up, none).code, kWorkspaceFull);
}

TEST(GradeMemory, NoSortReadsPastItsArgument) {
    // The argument ends at a page that cannot be read: a read beyond the
    // last element faults.
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    char* region = static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(region, MAP_FAILED);
    ASSERT_EQ(mprotect(region + page, page, PROT_NONE), 0);
    std::vector<std::int32_t> out(page);
    for (std::int32_t type : {kInteger, kFloat, kChar, kTemporal}) {
        std::size_t size = type == kFloat || type == kTemporal ? 8 : type == kChar ? 1 : 4;
        std::int64_t n = 301;
        char* data = region + page - n * size;
        for (std::int64_t i = 0; i < n * static_cast<std::int64_t>(size); ++i) data[i] = static_cast<char>(i * 37);
        if (type == kFloat)
            for (std::int64_t i = 0; i < n; ++i) reinterpret_cast<double*>(data)[i] = static_cast<double>((i * 37) % 11);
        EXPECT_EQ(gradeVector(data, type, out.data(), 0, n, Direction::Down).code, 0);
        EXPECT_EQ(gradeRows(data, type, out.data(), 0, n / 7, 7, Direction::Up).code, 0);
    }
    munmap(region, 2 * page);
}

}  // namespace
}  // namespace wox::numeric
