#pragma once
// CSV text (RFC 4180) split into records and fields: "," (or another
// separator) between fields, fields in double quotes when they hold a
// separator, a quote (doubled) or a line end, "\n" or "\r\n" after each
// record. The text must be UTF-8; a byte-order mark in front is skipped.
//
// Fields are not copied: a quoted field is rewritten in place (its quotes
// dropped, doubled quotes made single), so every field is a run of the
// records' own text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wox::csv_file {

// Where a read failed: a message number, the line (from 1; 0 when none
// applies) and the column (from 1; 0 when none applies).
struct Fault {
    int message = 0;
    std::int64_t line = 0;
    std::int32_t column = 0;
};

struct Field {
    std::uint32_t at = 0;
    std::uint32_t size = 0;
};

struct Records {
    std::string text;
    std::int32_t width = 0;            // fields of every record
    std::vector<Field> fields;         // record after record
    std::vector<std::int64_t> lines;   // the line each record starts on

    std::int64_t count() const { return static_cast<std::int64_t>(lines.size()); }
    std::string_view field(std::int64_t record, std::int32_t column) const {
        const Field& f = fields[static_cast<std::size_t>(record * width + column)];
        return std::string_view(text.data() + f.at, f.size);
    }
};

// The separators a file may use.
constexpr bool isSeparator(char c) { return c == ',' || c == ';' || c == '\t' || c == '|'; }

// The largest text split: field positions are 32-bit.
inline constexpr std::uint64_t kMaxText = 0xffffffffu;

// Position of the first byte that is not valid UTF-8, or npos.
std::size_t invalidUtf8(std::string_view text);

// Splits `bytes` (taken over) into records. Fails with the CSV messages
// (not UTF-8 text, a quote error, a ragged line, an empty text) and the
// line; a text beyond kMaxText is "workspace full".
bool splitRecords(std::string bytes, char separator, Records& out, Fault& fault);

}  // namespace wox::csv_file
