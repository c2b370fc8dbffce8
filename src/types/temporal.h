#pragma once
// Temporal values: the element layout, the literal reader, the writer,
// comparison, and the arithmetic that moves a value by an amount or takes the
// difference of two.
//
// A temporal element is one 64-bit word that holds its own value: the kind
// in the low three bits and, above them, a signed count from the kind's
// origin in the kind's unit. The origin is 2000.01.01 for dates, months and
// date-times, midnight for the times of day. Words of one kind therefore
// order as integers do, and equal moments are equal words.
//
// Routines answer a temporal error (TemporalError); the caller turns error n
// into the language's error 30 + n.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace wox::types {

enum TemporalKind : std::int32_t {
    kDateKind = 1,
    kTimeKind = 2,
    kMonthKind = 3,
    kMinuteKind = 4,
    kSecondKind = 5,
    kDateTimeKind = 6,
};
inline constexpr int kTemporalKinds = 6;

enum TemporalError : int {
    kTemporalOk = 0,
    kTemporalMalformed = 1,   // a malformed literal; the sum of two temporal values
    kTemporalField = 3,       // a literal field out of range
    kTemporalKindsDiffer = 4, // kinds differ
    kTemporalRange = 5,       // arithmetic left the valid range
};

using TemporalWord = std::int64_t;

inline constexpr int kKindBits = 3;
inline constexpr TemporalWord kKindMask = (1 << kKindBits) - 1;

constexpr TemporalWord temporalWord(std::int32_t kind, std::int64_t count) {
    return count * (TemporalWord{1} << kKindBits) + kind;
}
constexpr std::int32_t temporalKind(TemporalWord w) { return static_cast<std::int32_t>(w & kKindMask); }
constexpr std::int64_t temporalCount(TemporalWord w) { return w >> kKindBits; }

// Whether the n words share one kind, so that they order as integers.
inline bool oneTemporalKind(const TemporalWord* w, std::int64_t n) {
    TemporalWord differ = 0;
    for (std::int64_t i = 1; i < n; ++i) differ |= w[i] ^ w[0];
    return (differ & kKindMask) == 0;
}

// The broken-down form of a temporal value, as literals and displays write
// it. Fields a kind does not use hold year 2000, month 1, day 1 and zeros.
struct TemporalFields {
    std::int32_t kind = 0;
    std::int32_t year = 2000;
    std::int32_t month = 1;
    std::int32_t day = 1;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::int32_t millisecond = 0;
};

inline constexpr std::int32_t kFirstYear = 1;
inline constexpr std::int32_t kLastYear = 9999;

// Longest text the writer produces (a date-time).
inline constexpr int kTemporalTextLength = 23;

// Whether the text at pos has the shape of a temporal literal: four digits,
// ".", two digits and then "m" or "."; or digits followed at once by ":"
// and a digit. Anything else is left to the number reader.
bool looksTemporal(std::string_view text, std::size_t pos);

// Reads the vector literal at *pos (literals of one kind separated by
// blanks), appends a word per literal to `words`, and leaves *pos after the
// literal and its trailing blanks. On failure `words` is as it was and *pos
// is where the fault lies.
int readTemporalLiteral(std::string_view text, std::size_t* pos, std::vector<TemporalWord>& words);

// The word of a broken-down value; kTemporalField when a field is out of
// its kind's range.
int composeTemporal(const TemporalFields& f, TemporalWord* out);

// The broken-down form of w; false when w is no valid temporal word.
bool decomposeTemporal(TemporalWord w, TemporalFields* out);

// Whether w has a kind and a count within the years 1 to 9999.
bool validTemporalWord(TemporalWord w);

// Writes the display form of w into out (room for kTemporalTextLength + 1);
// returns its length. An invalid word writes "?".
int writeTemporal(TemporalWord w, char* out);

// Column width of a kind in displays of rank 2 and more; 0 for no kind.
int temporalKindWidth(std::int32_t kind);

// Days from 2000.01.01 to the given date of the Gregorian calendar.
std::int64_t dayCount(std::int64_t year, std::int32_t month, std::int32_t day);

// Compares a with b: *order is 0 when equal, 1 when a is later, 2 when a is
// earlier. Kinds must match.
int compareTemporal(TemporalWord a, TemporalWord b, int* order);

// w moved by `amount` units of its kind (day, millisecond, month, minute,
// second, millisecond); times of day wrap around midnight.
int moveTemporal(TemporalWord w, std::int64_t amount, TemporalWord* out);

// a minus b in the unit of their kind: days, months, minutes, seconds;
// seconds with a fraction for times and date-times.
int temporalDifference(TemporalWord a, TemporalWord b, double* out);

// What temporalDifference divides a difference of counts by: 1000 where
// counts are milliseconds and differences seconds, else 1.
constexpr double differenceDivisor(std::int32_t kind) { return kind == kTimeKind || kind == kDateTimeKind ? 1000 : 1; }

}  // namespace wox::types
