// The search and set functions where transcripts cannot reach: the hashed
// and direct-address searches agree with plain comparison on awkward
// numbers, and working memory that cannot be had is "workspace full" with
// the variables left as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "engine/line_session.h"
#include "primitives/search_keys.h"

namespace wox::primitives {
namespace {

// Only the first line a run writes.
struct Session : testing::LineSession {
    using LineSession::LineSession;
    std::string run(std::string_view line) {
        std::string s = LineSession::run(line);
        return s.substr(0, s.find("\r\n"));
    }
};

Capacities workTables(std::uint64_t bytes) {
    Capacities caps;
    caps.workTableBytes = bytes;
    return caps;
}

// Equality as the searches define it: numbers by value, the null equal to
// itself.
bool sameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

template <class A, class B>
std::vector<std::int32_t> plainSearch(const std::vector<A>& a, const std::vector<B>& b) {
    auto value = [](auto v) {
        if constexpr (std::is_same_v<decltype(v), std::int32_t>) return v == kIntNull ? NAN : static_cast<double>(v);
        else return static_cast<double>(v);
    };
    std::vector<std::int32_t> out;
    for (B y : b) {
        std::int32_t r = static_cast<std::int32_t>(a.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            if (sameNumber(value(a[i]), value(y))) { r = static_cast<std::int32_t>(i); break; }
        out.push_back(r);
    }
    return out;
}

TEST(SearchKeys, HashedSearchesAgreeWithPlainComparison) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(-40, 40);
    // Floats that are whole, halves, -0, nulls and infinities, against
    // Integers that include the integer null.
    auto real = [&] {
        int k = pick(rng);
        if (k == 40) return static_cast<double>(NAN);
        if (k == 39) return HUGE_VAL;
        if (k == 38) return -0.0;
        return k % 3 == 0 ? k / 2.0 : static_cast<double>(k / 3);
    };
    auto integer = [&] {
        int k = pick(rng);
        return k == 40 ? kIntNull : static_cast<std::int32_t>(k / 2);
    };
    for (int n : {10, 100, 3000}) {
        std::vector<double> fa(n), fb(n);
        std::vector<std::int32_t> ia(n), ib(n);
        for (int i = 0; i < n; ++i) fa[i] = real(), fb[i] = real(), ia[i] = integer(), ib[i] = integer();
        std::vector<std::int32_t> out(n);
        Capacities caps;
        auto run = [&](std::int32_t ta, const void* a, std::int32_t tb, const void* b) {
            Rc rc = searchElements(caps, false, ta, static_cast<const char*>(a), n, tb, static_cast<const char*>(b), n,
                                   out.data());
            EXPECT_FALSE(rc.failed());
            return out;
        };
        EXPECT_EQ(run(kFloat, fa.data(), kFloat, fb.data()), plainSearch(fa, fb)) << n;
        EXPECT_EQ(run(kFloat, fa.data(), kInteger, ib.data()), plainSearch(fa, ib)) << n;
        EXPECT_EQ(run(kInteger, ia.data(), kFloat, fb.data()), plainSearch(ia, fb)) << n;
        EXPECT_EQ(run(kInteger, ia.data(), kInteger, ib.data()), plainSearch(ia, ib)) << n;
        // Presence answers 1 exactly where the position search finds.
        std::vector<std::int32_t> positions = plainSearch(ia, fb);
        ASSERT_FALSE(searchElements(caps, true, kInteger, reinterpret_cast<const char*>(ia.data()), n, kFloat,
                                    reinterpret_cast<const char*>(fb.data()), n, out.data())
                         .failed());
        for (int j = 0; j < n; ++j) EXPECT_EQ(out[j], positions[j] < n ? 1 : 0) << j;
    }
}

TEST(SearchKeys, WideIntegerRangesAndCollidingKeysFindTheFirstOccurrence) {
    // Multiples of a large power of two collide in a multiplicative hash's
    // low bits and span too wide a range for a direct table.
    std::vector<std::int32_t> a, b;
    for (int i = 0; i < 2000; ++i) a.push_back((i % 700) * (1 << 20) - (1 << 29));
    for (int i = 0; i < 2000; ++i) b.push_back((i % 900) * (1 << 20) - (1 << 29));
    a.push_back(INT32_MAX);
    a.push_back(kIntNull);
    b.push_back(kIntNull);
    std::vector<std::int32_t> out(b.size());
    Capacities caps;
    ASSERT_FALSE(searchElements(caps, false, kInteger, reinterpret_cast<const char*>(a.data()),
                                static_cast<std::int64_t>(a.size()), kInteger, reinterpret_cast<const char*>(b.data()),
                                static_cast<std::int64_t>(b.size()), out.data())
                     .failed());
    EXPECT_EQ(out, plainSearch(a, b));
}

TEST(SearchLimits, TablesBeyondTheWorkingMemoryAreWorkspaceFull) {
    Session s(workTables(1024));
    s.run("a<-!5000");
    s.run("f<-a%3");
    s.run("r<-7");
    for (const char* line : {"r<-a!a", "r<-f!f", "r<-a?a", "r<-=f", "r<->.a", "r<-=a*1000", "r<-f?a"})
        EXPECT_EQ(s.run(line), "workspace full") << line;
    EXPECT_EQ(s.run("r"), "7");
    // Short searches and characters need no table (origin 1).
    EXPECT_EQ(s.run("1 2 3!3"), "3");
    EXPECT_EQ(s.run("(5000#'abc')!'c'"), "3");
    EXPECT_EQ(s.run("='mississippi'"), "misp");
}

TEST(SearchLimits, WorkingMemoryEnoughForTheTableSucceeds) {
    // A direct table over 5000 values takes 20,000 bytes of positions.
    Session s(workTables(64 * 1024));
    s.run("a<-!5000");
    EXPECT_EQ(s.run("+/(a!a)=a"), "5000");
    EXPECT_EQ(s.run("#=a"), "5000");
}

TEST(SearchLimits, UniqueOfANarrowRangeGathersWhereverThereIsRoom) {
    // A permutation of 0..13999 is its own unique. With a heap this small
    // the distinct values cannot always be gathered above the stack and go
    // to a work table instead; the result is the same either way.
    int checked = 0;
    for (std::uint32_t kib = 120; kib <= 400; kib += 20) {
        Capacities caps;
        caps.heapBytes = kib * 1024;
        Session s(caps);
        s.run("[]IO<-0");
        if (!s.run("a<-14000|7919*!14000").empty()) continue;
        EXPECT_EQ(s.run("(=a)~a"), "1") << kib;
        EXPECT_EQ(s.run("=(a<7)/a"), "0 4 1 5 2 6 3") << kib;  // order of first occurrence
        ++checked;
    }
    EXPECT_GT(checked, 5);
}

TEST(Match, DeepNestingDoesNotExhaustTheStack) {
    Session s{Capacities{}};
    s.run("x<-1");
    s.run("y<-1");
    for (int i = 0; i < 2000; ++i) {
        s.run("x<-(x;0)");
        s.run("y<-(y;0)");
    }
    EXPECT_EQ(s.run("x~y"), "1");
    s.run("y<-(y;1)");
    s.run("x<-(x;0)");
    EXPECT_EQ(s.run("x~y"), "0");
}

}  // namespace
}  // namespace wox::primitives

namespace wox::primitives {
namespace {

TEST(GroupLimits, ItemsSurviveACompactionWhileTheyAreCopied) {
    // Garbage left by replaced variables fills the heap, so copying the
    // groups' items needs a compaction partway; every run must still give
    // the groups made when the heap had room, and some run must compact.
    bool compacted = false;
    for (int garbage = 0; garbage < 40; ++garbage) {
        Capacities caps;
        caps.heapBytes = 150 * 1024;
        Session s(caps);
        s.run("[]IO<-0");
        s.run("a<-100|!4000");
        s.run("h<->.a");
        for (int i = 0; i < garbage; ++i) s.run("b<-!" + std::to_string(1000 + 20 * i));
        const std::uint64_t before = s.in.ws.compactions;
        EXPECT_EQ(s.run("(>.a)~h"), "1") << garbage;
        compacted = compacted || s.in.ws.compactions > before;
    }
    EXPECT_TRUE(compacted);
    Session s{Capacities{}};
    s.run("[]IO<-0");
    EXPECT_EQ(s.run("(>.100|!4000)[37]~37+100*!40"), "1");
}

}  // namespace
}  // namespace wox::primitives
