#pragma once
// The text of one field as a value of a column's type, and back: the type
// letters of a column (those of CREATE TABLE, and "D" for temporal values),
// what a whole column of fields reads as when no letter is given, and the
// text a value is written as.
#include <cstdint>
#include <string>
#include <string_view>

#include "csv_file/csv_records.h"
#include "types/temporal.h"

namespace wox::csv_file {

enum class ColumnKind : std::uint8_t { Skip, Boolean, Integer, Float, Temporal, Symbol, Text };

// The kind a type letter names ("B", "I", "E", "D", "S", "C"; blank skips
// the column); false for any other character.
bool kindOfLetter(char letter, ColumnKind* kind);

// A field as a value; false when it does not read so. Empty fields are
// handled by the caller.
bool readBoolean(std::string_view f, std::int32_t* out);
bool readInteger(std::string_view f, std::int32_t* out);  // the null (INT32_MIN) does not read
bool readFloat(std::string_view f, double* out);          // also inf, -inf, nan
// An ISO 8601 date (2024-01-31), month (2024-01), date-time
// (2024-01-31T12:30:00.250, seconds and fraction optional), time of day
// (12:30:00.250), second (12:30:00) or minute (12:30).
bool readTemporal(std::string_view f, types::TemporalWord* out);

// The null of temporal values of a kind: the least count, which no valid
// value reaches.
constexpr types::TemporalWord temporalNull(std::int32_t kind) { return INT64_MIN + kind; }

// Columns that repeat no more than this many values read as text.
inline constexpr std::int64_t kMaxSymbolValues = 1000;

// What a column's fields (from record `first` on) read as: Integer while
// every field fits 32 bits, then Float, then one temporal kind (in
// *temporalKind), then Symbol when values repeat, else Text. A column of
// empty fields is Text.
ColumnKind inferKind(const Records& r, std::int32_t column, std::int64_t first, std::int32_t* temporalKind);

// Appends a field's text, in quotes (doubled inside) when it holds the
// separator, a quote or a line end, or starts with a byte-order mark.
void appendField(std::string& out, std::string_view text, char separator);
// The texts of values: the shortest that reads back the same for floats,
// "inf" and "-inf", nothing for nulls and for temporal words that hold no
// valid value; ISO 8601 for temporal values.
void appendInteger(std::string& out, std::int32_t v);
void appendFloat(std::string& out, double v);
void appendTemporal(std::string& out, types::TemporalWord w);

}  // namespace wox::csv_file
