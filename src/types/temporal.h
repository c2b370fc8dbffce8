#pragma once
// Temporal values: the literal reader, the writer, comparison, and the
// arithmetic that moves a value by an amount or takes the difference of two.
//
// Routines answer a temporal error (TemporalError); the caller turns error n
// into the language's error 30 + n.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "values/temporal_record.h"

namespace wox::types {

enum TemporalError : int {
    kTemporalOk = 0,
    kTemporalMalformed = 1,   // a malformed literal; the sum of two temporal values
    kTemporalFull = 2,        // the record table is full
    kTemporalField = 3,       // a literal field out of range
    kTemporalKinds = 4,       // kinds differ
    kTemporalRange = 5,       // arithmetic left the valid range
};

using TemporalTable = std::vector<values::TemporalRecord>;

// Longest text the writer produces (a date-time).
inline constexpr int kTemporalTextLength = 23;

// Whether the text at pos has the shape of a temporal literal: four digits,
// ".", two digits and then "m" or "."; or digits followed at once by ":"
// and a digit. Anything else is left to the number reader.
bool looksTemporal(std::string_view text, std::size_t pos);

// Reads the vector literal at *pos (literals of one kind separated by
// blanks), appends a record per literal and their indices to `indices`, and
// leaves *pos after the literal and its trailing blanks. On failure the
// table is as it was and *pos is where the fault lies.
int readTemporalLiteral(TemporalTable& table, std::string_view text, std::size_t* pos,
                        std::vector<std::int32_t>& indices);

// Writes the display form of r into out (room for kTemporalTextLength + 1);
// returns its length.
int writeTemporal(const values::TemporalRecord& r, char* out);

// Column width of a kind in displays of rank 2 and more; 0 for no kind.
int temporalKindWidth(std::int32_t kind);

// Days from 1999.12.31: 2000.01.01 is day 1.
std::int64_t dayNumber(std::int32_t year, std::int32_t month, std::int32_t day);

// Compares a with b: *order is 0 when equal, 1 when a is later, 2 when a is
// earlier. Kinds must match.
int compareTemporal(const values::TemporalRecord& a, const values::TemporalRecord& b, int* order);

// The record `amount` units of its kind after r (day, millisecond, month,
// minute, second, millisecond), appended to the table; its index in *index.
int addToTemporal(TemporalTable& table, const values::TemporalRecord& r, std::int64_t amount,
                  std::int32_t* index);

// The same without taking a slot: the moved record in *out.
int moveTemporal(const values::TemporalRecord& r, std::int64_t amount, values::TemporalRecord* out);

// a minus b in the unit of their kind: days, months, minutes, seconds;
// seconds with a fraction for times and date-times.
int temporalDifference(const values::TemporalRecord& a, const values::TemporalRecord& b, double* out);

// Appends r to the table; its index in *index.
int storeTemporal(TemporalTable& table, const values::TemporalRecord& r, std::int32_t* index);

// Whether every field of r lies in the valid ranges of its kind.
bool validTemporal(const values::TemporalRecord& r);

}  // namespace wox::types
