#pragma once
// The temporal record table: every date or time element of every value is an
// index into it. Records are appended and never compacted; clearing the
// workspace empties the table.
#include <cstdint>

namespace wox::values {

// Kinds of temporal record, as stored in a record's first field.
enum TemporalKind : std::int32_t {
    kDateKind = 1,
    kTimeKind = 2,
    kMonthKind = 3,
    kMinuteKind = 4,
    kSecondKind = 5,
    kDateTimeKind = 6,
};
inline constexpr int kTemporalKinds = 6;

// Slots of the table; taking one more fails with "time table is full".
inline constexpr int kTemporalCapacity = 10'005;

struct TemporalRecord {
    std::int32_t kind = 0;
    std::int32_t year = 2000;
    std::int32_t month = 1;
    std::int32_t day = 1;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::int32_t millisecond = 0;
};
static_assert(sizeof(TemporalRecord) == 32);

}  // namespace wox::values
