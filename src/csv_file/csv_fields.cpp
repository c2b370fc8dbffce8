#include "csv_file/csv_fields.h"

#include "types/symbol_table.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <unordered_set>

namespace wox::csv_file {

namespace {

constexpr std::string_view kLetters = "BIEDSC ";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr ColumnKind kLetterKinds[] = {ColumnKind::Boolean, ColumnKind::Integer, ColumnKind::Float,
                                       ColumnKind::Temporal, ColumnKind::Symbol, ColumnKind::Text,
                                       ColumnKind::Skip};

bool digits(std::string_view f, std::size_t at, std::size_t n, std::int32_t* out) {
    if (at + n > f.size()) return false;
    std::int32_t v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (f[i] < '0' || f[i] > '9') return false;
        v = v * 10 + (f[i] - '0');
    }
    *out = v;
    return true;
}

// HH:MM, HH:MM:SS or HH:MM:SS.fff... from `at` to the end; the kind says
// which of the three it was (a fraction makes it a time of day).
bool readClock(std::string_view f, std::size_t at, types::TemporalFields& t, std::int32_t* kind) {
    if (!digits(f, at, 2, &t.hour) || f.size() < at + 5 || f[at + 2] != ':' || !digits(f, at + 3, 2, &t.minute))
        return false;
    if (f.size() == at + 5) {
        *kind = types::kMinuteKind;
        return true;
    }
    if (f[at + 5] != ':' || !digits(f, at + 6, 2, &t.second)) return false;
    if (f.size() == at + 8) {
        *kind = types::kSecondKind;
        return true;
    }
    // A fraction of 1 to 9 digits, kept to the millisecond.
    const std::size_t frac = at + 9, n = f.size() - frac;
    if (f[at + 8] != '.' || n < 1 || n > 9) return false;
    std::int32_t all = 0;
    if (!digits(f, frac, n, &all)) return false;
    std::int32_t ms = 0;
    for (std::size_t i = 0; i < 3; ++i) ms = ms * 10 + (i < n ? f[frac + i] - '0' : 0);
    t.millisecond = ms;
    *kind = types::kTimeKind;
    return true;
}

}  // namespace

bool kindOfLetter(char letter, ColumnKind* kind) {
    std::size_t at = kLetters.find(letter);
    if (letter == '\0' || at == std::string_view::npos) return false;
    *kind = kLetterKinds[at];
    return true;
}

bool readBoolean(std::string_view f, std::int32_t* out) {
    if (f == "0" || f == "false" || f == "False" || f == "FALSE") *out = 0;
    else if (f == "1" || f == "true" || f == "True" || f == "TRUE") *out = 1;
    else return false;
    return true;
}

bool readInteger(std::string_view f, std::int32_t* out) {
    if (f.size() > 1 && f[0] == '+' && f[1] >= '0' && f[1] <= '9') f.remove_prefix(1);
    auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), *out);
    return ec == std::errc{} && end == f.data() + f.size() && *out != INT32_MIN;
}

bool readFloat(std::string_view f, double* out) {
    if (f.size() > 1 && f[0] == '+' && f[1] != '-' && f[1] != '+') f.remove_prefix(1);
    auto [end, ec] = std::from_chars(f.data(), f.data() + f.size(), *out);
    // Out of range is not a number of this column either.
    return ec == std::errc{} && end == f.data() + f.size();
}

bool readTemporal(std::string_view f, types::TemporalWord* out) {
    types::TemporalFields t;
    if (f.size() >= 3 && f[2] == ':') {
        if (!readClock(f, 0, t, &t.kind)) return false;
    } else {
        if (!digits(f, 0, 4, &t.year) || f.size() < 7 || f[4] != '-' || !digits(f, 5, 2, &t.month)) return false;
        t.kind = types::kMonthKind;
        if (f.size() > 7) {
            if (f[7] != '-' || !digits(f, 8, 2, &t.day)) return false;
            t.kind = types::kDateKind;
            if (f.size() > 10) {
                std::int32_t clock = 0;
                if ((f[10] != 'T' && f[10] != ' ') || !readClock(f, 11, t, &clock)) return false;
                if (clock == types::kMinuteKind) return false;
                t.kind = types::kDateTimeKind;
            }
        }
    }
    return types::composeTemporal(t, out) == types::kTemporalOk;
}

ColumnKind inferKind(const Records& r, std::int32_t column, std::int64_t first, std::int32_t* temporalKind) {
    bool integers = true, floats = true, temporals = true;
    std::int32_t kind = 0;
    std::int64_t filled = 0;
    for (std::int64_t i = first; i < r.count() && (integers || floats || temporals); ++i) {
        std::string_view f = r.field(i, column);
        if (f.empty()) continue;
        ++filled;
        std::int32_t n;
        double d;
        if (integers && !readInteger(f, &n)) integers = false;
        if (!integers && floats && !readFloat(f, &d)) floats = false;
        types::TemporalWord w;
        if (temporals) {
            if (!readTemporal(f, &w) || (kind != 0 && types::temporalKind(w) != kind)) temporals = false;
            else kind = types::temporalKind(w);
        }
    }
    if (filled > 0) {
        if (integers) return ColumnKind::Integer;
        if (floats) return ColumnKind::Float;
        if (temporals) {
            *temporalKind = kind;
            return ColumnKind::Temporal;
        }
    } else {
        return ColumnKind::Text;
    }
    // Symbols when few values repeat, each short enough for a symbol.
    std::unordered_set<std::string_view> seen;
    const std::int64_t rows = r.count() - first;
    for (std::int64_t i = first; i < r.count(); ++i) {
        std::string_view f = r.field(i, column);
        if (f.size() > static_cast<std::size_t>(types::kMaxSymbolLength)) return ColumnKind::Text;
        seen.insert(f);
        if (static_cast<std::int64_t>(seen.size()) > kMaxSymbolValues) return ColumnKind::Text;
    }
    return static_cast<std::int64_t>(seen.size()) < rows ? ColumnKind::Symbol : ColumnKind::Text;
}

void appendField(std::string& out, std::string_view text, char separator) {
    // A field that starts with a byte-order mark is quoted, or at the start
    // of a file the mark would be skipped.
    bool quote = text.starts_with(kByteOrderMark);
    for (char c : text)
        if (c == separator || c == '"' || c == '\n' || c == '\r') {
            quote = true;
            break;
        }
    if (!quote) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendInteger(std::string& out, std::int32_t v) {
    if (v == INT32_MIN) return;
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
}

void appendFloat(std::string& out, double v) {
    if (std::isnan(v)) return;
    if (std::isinf(v)) {
        out += v > 0 ? "inf" : "-inf";
        return;
    }
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
}

void appendTemporal(std::string& out, types::TemporalWord w) {
    types::TemporalFields t;
    if (!types::decomposeTemporal(w, &t)) return;
    char buf[32];
    int n = 0;
    switch (t.kind) {
        case types::kDateKind: n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day); break;
        case types::kMonthKind: n = std::snprintf(buf, sizeof buf, "%04d-%02d", t.year, t.month); break;
        case types::kTimeKind:
            n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", t.hour, t.minute, t.second, t.millisecond);
            break;
        case types::kMinuteKind: n = std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour, t.minute); break;
        case types::kSecondKind: n = std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second); break;
        case types::kDateTimeKind:
            n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                              t.minute, t.second, t.millisecond);
            break;
        default: return;
    }
    if (n > 0) out.append(buf, static_cast<std::size_t>(n));
}

}  // namespace wox::csv_file
