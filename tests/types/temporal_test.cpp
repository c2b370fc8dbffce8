// Temporal arithmetic against an independent oracle: sums and differences of
// 100,000 random dates and date-times over the years 1 to 9999 computed by
// Python's datetime (make_temporal_oracle.py wrote temporal_oracle.txt.gz
// once), and the word layout's round trips.
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <sstream>
#include <string>

#include "types/temporal.h"

namespace wox::types {
namespace {

TemporalFields date(std::istream& in) {
    TemporalFields r;
    r.kind = kDateKind;
    in >> r.year >> r.month >> r.day;
    return r;
}

TemporalFields dateTime(std::istream& in) {
    TemporalFields r = date(in);
    r.kind = kDateTimeKind;
    in >> r.hour >> r.minute >> r.second >> r.millisecond;
    return r;
}

TemporalWord word(const TemporalFields& f) {
    TemporalWord w = 0;
    EXPECT_EQ(composeTemporal(f, &w), kTemporalOk);
    return w;
}

std::string text(TemporalWord w) {
    char buf[kTemporalTextLength + 1];
    return std::string(buf, static_cast<std::size_t>(writeTemporal(w, buf)));
}

// The expected sum, or "out" when it leaves the years 1 to 9999.
void expectMoved(const TemporalFields& from, std::int64_t amount, std::istream& in, const std::string& line) {
    TemporalWord got = 0;
    const int e = moveTemporal(word(from), amount, &got);
    std::string first;
    in >> first;
    if (first == "out") {
        EXPECT_EQ(e, kTemporalRange) << line;
        return;
    }
    std::istringstream rest(first + " " + std::string(std::istreambuf_iterator<char>(in), {}));
    const TemporalFields want = from.kind == kDateKind ? date(rest) : dateTime(rest);
    ASSERT_EQ(e, kTemporalOk) << line;
    EXPECT_EQ(text(got), text(word(want))) << line;
    TemporalFields back;
    ASSERT_TRUE(decomposeTemporal(got, &back)) << line;
    EXPECT_EQ(word(back), got) << line;
}

std::string gunzip(const char* path) {
    std::unique_ptr<gzFile_s, int (*)(gzFile)> f(gzopen(path, "rb"), gzclose);
    std::string all;
    if (!f) return all;
    char buf[1 << 16];
    for (int n; (n = gzread(f.get(), buf, sizeof buf)) > 0;) all.append(buf, static_cast<std::size_t>(n));
    return all;
}

TEST(Temporal, AgreesWithDatetimeOracle) {
    std::istringstream file(gunzip(WOX_SOURCE_DIR "/tests/types/temporal_oracle.txt.gz"));
    std::string line;
    int cases = 0;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        std::string tag;
        in >> tag;
        ++cases;
        if (tag == "D") {
            const TemporalFields a = date(in);
            std::int64_t days = 0, amount = 0;
            in >> days >> amount;
            EXPECT_EQ(dayCount(a.year, a.month, a.day), days) << line;
            EXPECT_EQ(temporalCount(word(a)), days) << line;
            expectMoved(a, amount, in, line);
        } else if (tag == "T") {
            const TemporalFields a = dateTime(in);
            std::int64_t amount = 0;
            in >> amount;
            expectMoved(a, amount, in, line);
        } else if (tag == "DD" || tag == "TT") {
            const TemporalFields a = tag == "DD" ? date(in) : dateTime(in);
            const TemporalFields b = tag == "DD" ? date(in) : dateTime(in);
            double want = 0, got = 0;
            in >> want;
            if (tag == "TT") want /= 1000;
            ASSERT_EQ(temporalDifference(word(a), word(b), &got), kTemporalOk) << line;
            EXPECT_DOUBLE_EQ(got, want) << line;
            int order = -1;
            ASSERT_EQ(compareTemporal(word(a), word(b), &order), kTemporalOk);
            EXPECT_EQ(order, want == 0 ? 0 : want > 0 ? 1 : 2) << line;
        } else {
            ADD_FAILURE() << "unknown line: " << line;
        }
    }
    EXPECT_EQ(cases, 100'000);
}

// Every kind reads, writes back the same text, and keeps its count at the
// ends of its range; a word one step beyond either end is no value.
TEST(Temporal, LiteralsRoundTripAtTheEndsOfEachKind) {
    for (std::string_view t : {"0001.01.01 9999.12.31 1066.10.14 2000.02.29", "00:00:00.000 23:59:59.999",
                               "0001.01m 9999.12m", "00:00 23:59", "00:00:00 23:59:59",
                               "0001.01.01T00:00:00.000 9999.12.31T23:59:59.999"}) {
        std::vector<TemporalWord> words;
        std::size_t pos = 0;
        ASSERT_EQ(readTemporalLiteral(t, &pos, words), kTemporalOk) << t;
        std::string back;
        for (TemporalWord w : words) back += (back.empty() ? "" : " ") + text(w);
        EXPECT_EQ(back, t);
        const TemporalWord step = TemporalWord{1} << kKindBits;
        EXPECT_FALSE(validTemporalWord(words.front() - step)) << t;
        EXPECT_FALSE(validTemporalWord(words[1] + step)) << t;
    }
    EXPECT_FALSE(validTemporalWord(0));
    EXPECT_EQ(text(7), "?");
}

// A literal that fails leaves the words as they were; fields outside the
// calendar (a leap day of a century year, year 0) are field errors.
TEST(Temporal, FailedLiteralsAddNoWord) {
    std::vector<TemporalWord> words;
    std::size_t pos = 0;
    EXPECT_EQ(readTemporalLiteral("2013.01.01 2013.01.02 12:00", &pos, words), kTemporalKindsDiffer);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(pos, 22u);
    for (std::string_view t : {"1900.02.29", "0000.12.31", "2013.13m", "24:00"}) {
        pos = 0;
        EXPECT_EQ(readTemporalLiteral(t, &pos, words), kTemporalField) << t;
    }
    pos = 0;
    EXPECT_EQ(readTemporalLiteral("2013.1.01", &pos, words), kTemporalMalformed);
    EXPECT_TRUE(words.empty());
}

}  // namespace
}  // namespace wox::types
