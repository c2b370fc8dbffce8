// Temporal arithmetic against an independent oracle: day numbers, sums and
// differences of random dates and date-times computed by Python's datetime
// (make_temporal_oracle.py wrote temporal_oracle.txt once).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "types/temporal.h"

namespace wox::types {
namespace {

using values::TemporalRecord;

TemporalRecord date(std::istream& in) {
    TemporalRecord r;
    r.kind = values::kDateKind;
    in >> r.year >> r.month >> r.day;
    return r;
}

TemporalRecord dateTime(std::istream& in) {
    TemporalRecord r = date(in);
    r.kind = values::kDateTimeKind;
    in >> r.hour >> r.minute >> r.second >> r.millisecond;
    return r;
}

std::string text(const TemporalRecord& r) {
    char buf[kTemporalTextLength + 1];
    return std::string(buf, static_cast<std::size_t>(writeTemporal(r, buf)));
}

// The expected sum, or "out" when it leaves the valid range.
void expectMoved(const TemporalRecord& from, std::int64_t amount, std::istream& in, const std::string& line) {
    TemporalRecord got;
    const int e = moveTemporal(from, amount, &got);
    std::string word;
    in >> word;
    if (word == "out") {
        EXPECT_EQ(e, kTemporalRange) << line;
        return;
    }
    std::istringstream rest(word + " " + std::string(std::istreambuf_iterator<char>(in), {}));
    TemporalRecord want = from.kind == values::kDateKind ? date(rest) : dateTime(rest);
    want.kind = from.kind;
    ASSERT_EQ(e, kTemporalOk) << line;
    EXPECT_EQ(text(got), text(want)) << line;
}

TEST(Temporal, AgreesWithDatetimeOracle) {
    std::ifstream file(WOX_SOURCE_DIR "/tests/types/temporal_oracle.txt");
    ASSERT_TRUE(file) << "temporal_oracle.txt";
    std::string line;
    int cases = 0;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        std::string tag;
        in >> tag;
        ++cases;
        if (tag == "D") {
            const TemporalRecord a = date(in);
            std::int64_t days = 0, amount = 0;
            in >> days >> amount;
            EXPECT_EQ(dayNumber(a.year, a.month, a.day), days) << line;
            expectMoved(a, amount, in, line);
        } else if (tag == "T") {
            const TemporalRecord a = dateTime(in);
            std::int64_t amount = 0;
            in >> amount;
            expectMoved(a, amount, in, line);
        } else if (tag == "DD" || tag == "TT") {
            const TemporalRecord a = tag == "DD" ? date(in) : dateTime(in);
            const TemporalRecord b = tag == "DD" ? date(in) : dateTime(in);
            double want = 0, got = 0;
            in >> want;
            if (tag == "TT") want /= 1000;
            ASSERT_EQ(temporalDifference(a, b, &got), kTemporalOk) << line;
            EXPECT_DOUBLE_EQ(got, want) << line;
            int order = -1;
            ASSERT_EQ(compareTemporal(a, b, &order), kTemporalOk);
            EXPECT_EQ(order, want == 0 ? 0 : want > 0 ? 1 : 2) << line;
        } else {
            ADD_FAILURE() << "unknown line: " << line;
        }
    }
    EXPECT_EQ(cases, 2000);
}

// A literal that fails leaves the table as it was, even after some of its
// records were taken; a full table refuses the next record.
TEST(Temporal, FailedLiteralTakesNoRecord) {
    TemporalTable table;
    std::vector<std::int32_t> indices;
    std::size_t pos = 0;
    EXPECT_EQ(readTemporalLiteral(table, "2013.01.01 2013.01.02 12:00", &pos, indices), kTemporalKinds);
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(indices.empty());
    EXPECT_EQ(pos, 22u);
    table.resize(values::kTemporalCapacity - 1);
    pos = 0;
    EXPECT_EQ(readTemporalLiteral(table, "12:00 13:00", &pos, indices), kTemporalFull);
    EXPECT_EQ(table.size(), static_cast<std::size_t>(values::kTemporalCapacity - 1));
    pos = 0;
    EXPECT_EQ(readTemporalLiteral(table, "12:00", &pos, indices), kTemporalOk);
    EXPECT_EQ(table.size(), static_cast<std::size_t>(values::kTemporalCapacity));
}

}  // namespace
}  // namespace wox::types
