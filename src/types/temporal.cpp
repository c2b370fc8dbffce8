#include "types/temporal.h"

#include <array>

namespace wox::types {

using values::TemporalRecord;

namespace {

constexpr std::int32_t kFirstYear = 2000;
constexpr std::int32_t kLastYear = 2100;
constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::array<int, 12> kMonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Display widths by kind; slot 0 is no kind.
constexpr std::array<int, values::kTemporalKinds + 1> kKindWidths{0, 10, 12, 8, 5, 8, 23};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool leapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int monthLength(std::int64_t year, int month) { return kMonthDays[month - 1] + (month == 2 && leapYear(year)); }

int yearLength(std::int64_t year) { return leapYear(year) ? 366 : 365; }

// Days before 1 January of year y, counted from 1 January 2000 (division
// truncates toward zero, as the day-number rule is written).
std::int64_t daysBeforeYear(std::int64_t y) {
    if (y == 2000) return 0;
    return 365 * y + (y - 1997) / 4 + (y - 1) / 400 - (y - 1) / 100 - 729'985;
}

// The date of day number n (n > 0 for any date from 2000 on).
void dateOfDay(std::int64_t n, TemporalRecord* r) {
    std::int64_t year = 2000 + n / 365;
    std::int64_t d = n - daysBeforeYear(year);
    while (d <= 0) {
        --year;
        d += yearLength(year);
    }
    int month = 1;
    while (month < 12 && d > monthLength(year, month)) d -= monthLength(year, month++);
    r->year = static_cast<std::int32_t>(year);
    r->month = month;
    r->day = static_cast<std::int32_t>(d);
}

std::int64_t msOfDay(const TemporalRecord& r) {
    return ((std::int64_t{r.hour} * 60 + r.minute) * 60 + r.second) * 1000 + r.millisecond;
}

void setMsOfDay(std::int64_t ms, TemporalRecord* r) {
    r->millisecond = static_cast<std::int32_t>(ms % 1000);
    r->second = static_cast<std::int32_t>(ms / 1000 % 60);
    r->minute = static_cast<std::int32_t>(ms / 60'000 % 60);
    r->hour = static_cast<std::int32_t>(ms / 3'600'000);
}

// Remainder in [0, m).
std::int64_t wrap(std::int64_t v, std::int64_t m) {
    const std::int64_t r = v % m;
    return r < 0 ? r + m : r;
}

// Floor division by a positive m.
std::int64_t floorDiv(std::int64_t v, std::int64_t m) { return v / m - (v % m < 0 ? 1 : 0); }

// Reads exactly `width` digits at *i; a longer or shorter run is malformed.
bool field(std::string_view t, std::size_t* i, int width, std::int32_t* v) {
    std::size_t j = *i;
    std::int32_t x = 0;
    while (j < t.size() && isDigit(t[j]) && j - *i <= static_cast<std::size_t>(width)) x = x * 10 + (t[j++] - '0');
    if (j - *i != static_cast<std::size_t>(width) || (j < t.size() && isDigit(t[j]))) return false;
    *v = x;
    *i = j;
    return true;
}

bool punct(std::string_view t, std::size_t* i, char c) {
    if (*i >= t.size() || t[*i] != c) return false;
    ++*i;
    return true;
}

// hh:mm:ss with an optional .mmm; sets the kind to second or time.
bool timeOfDay(std::string_view t, std::size_t* i, TemporalRecord* r) {
    if (!field(t, i, 2, &r->hour) || !punct(t, i, ':') || !field(t, i, 2, &r->minute)) return false;
    r->kind = values::kMinuteKind;
    if (*i + 1 < t.size() && t[*i] == ':' && isDigit(t[*i + 1])) {
        ++*i;
        if (!field(t, i, 2, &r->second)) return false;
        r->kind = values::kSecondKind;
        if (*i + 1 < t.size() && t[*i] == '.' && isDigit(t[*i + 1])) {
            ++*i;
            if (!field(t, i, 3, &r->millisecond)) return false;
            r->kind = values::kTimeKind;
        }
    }
    return true;
}

// One literal at *i.
bool oneLiteral(std::string_view t, std::size_t* i, TemporalRecord* r) {
    std::size_t run = *i;
    while (run < t.size() && isDigit(t[run])) ++run;
    if (run - *i == 4) {
        if (!field(t, i, 4, &r->year) || !punct(t, i, '.') || !field(t, i, 2, &r->month)) return false;
        if (punct(t, i, 'm')) {
            r->kind = values::kMonthKind;
            return true;
        }
        if (!punct(t, i, '.') || !field(t, i, 2, &r->day)) return false;
        r->kind = values::kDateKind;
        if (!punct(t, i, 'T')) return true;
        TemporalRecord time;
        if (!timeOfDay(t, i, &time) || time.kind == values::kMinuteKind) return false;
        r->hour = time.hour;
        r->minute = time.minute;
        r->second = time.second;
        r->millisecond = time.millisecond;
        r->kind = values::kDateTimeKind;
        return true;
    }
    if (run - *i == 2) return timeOfDay(t, i, r);
    return false;
}

}  // namespace

bool looksTemporal(std::string_view t, std::size_t pos) {
    std::size_t j = pos;
    while (j < t.size() && isDigit(t[j])) ++j;
    if (j == pos) return false;
    if (j - pos == 4 && j + 3 < t.size() && t[j] == '.' && isDigit(t[j + 1]) && isDigit(t[j + 2]) &&
        (t[j + 3] == 'm' || t[j + 3] == '.'))
        return true;
    return j + 1 < t.size() && t[j] == ':' && isDigit(t[j + 1]);
}

bool validTemporal(const TemporalRecord& r) {
    if (r.kind < values::kDateKind || r.kind > values::kDateTimeKind) return false;
    if (r.year < kFirstYear || r.year > kLastYear || r.month < 1 || r.month > 12) return false;
    if (r.day < 1 || r.day > monthLength(r.year, r.month)) return false;
    return r.hour >= 0 && r.hour <= 23 && r.minute >= 0 && r.minute <= 59 && r.second >= 0 && r.second <= 59 &&
           r.millisecond >= 0 && r.millisecond <= 999;
}

int storeTemporal(TemporalTable& table, const TemporalRecord& r, std::int32_t* index) {
    if (table.size() >= static_cast<std::size_t>(values::kTemporalCapacity)) return kTemporalFull;
    *index = static_cast<std::int32_t>(table.size());
    table.push_back(r);
    return kTemporalOk;
}

int readTemporalLiteral(TemporalTable& table, std::string_view text, std::size_t* pos,
                        std::vector<std::int32_t>& indices) {
    const std::size_t tableMark = table.size(), indexMark = indices.size();
    auto fail = [&](int error) {
        table.resize(tableMark);
        indices.resize(indexMark);
        return error;
    };
    std::size_t i = *pos;
    std::int32_t kind = 0;
    while (i < text.size() && isDigit(text[i])) {
        const std::size_t start = i;
        TemporalRecord r;
        *pos = start;
        if (!oneLiteral(text, &i, &r)) return fail(kTemporalMalformed);
        if (!validTemporal(r)) return fail(kTemporalField);
        if (kind != 0 && r.kind != kind) return fail(kTemporalKinds);
        kind = r.kind;
        std::int32_t index = 0;
        if (int e = storeTemporal(table, r, &index); e != kTemporalOk) return fail(e);
        indices.push_back(index);
        while (i < text.size() && text[i] == ' ') ++i;
    }
    *pos = i;
    return kTemporalOk;
}

int writeTemporal(const TemporalRecord& r, char* out) {
    char* p = out;
    auto digits = [&p](std::int32_t v, int width) {
        for (int k = width - 1; k >= 0; --k, v /= 10) p[k] = static_cast<char>('0' + v % 10);
        p += width;
    };
    auto date = [&] {
        digits(r.year, 4);
        *p++ = '.';
        digits(r.month, 2);
    };
    auto clock = [&](bool seconds, bool ms) {
        digits(r.hour, 2);
        *p++ = ':';
        digits(r.minute, 2);
        if (seconds) {
            *p++ = ':';
            digits(r.second, 2);
        }
        if (ms) {
            *p++ = '.';
            digits(r.millisecond, 3);
        }
    };
    switch (r.kind) {
        case values::kDateKind: date(); *p++ = '.'; digits(r.day, 2); break;
        case values::kTimeKind: clock(true, true); break;
        case values::kMonthKind: date(); *p++ = 'm'; break;
        case values::kMinuteKind: clock(false, false); break;
        case values::kSecondKind: clock(true, false); break;
        case values::kDateTimeKind:
            date();
            *p++ = '.';
            digits(r.day, 2);
            *p++ = 'T';
            clock(true, true);
            break;
        default: *p++ = '?'; break;
    }
    *p = 0;
    return static_cast<int>(p - out);
}

int temporalKindWidth(std::int32_t kind) {
    return kind >= 0 && kind <= values::kTemporalKinds ? kKindWidths[static_cast<std::size_t>(kind)] : 0;
}

std::int64_t dayNumber(std::int32_t year, std::int32_t month, std::int32_t day) {
    std::int64_t n = daysBeforeYear(year) + day;
    for (int m = 1; m < month; ++m) n += monthLength(year, m);
    return n;
}

int compareTemporal(const TemporalRecord& a, const TemporalRecord& b, int* order) {
    if (a.kind != b.kind) return kTemporalKinds;
    // Fields a kind does not use hold the same defaults in every record.
    const std::array<std::int32_t, 7> x{a.year, a.month, a.day, a.hour, a.minute, a.second, a.millisecond};
    const std::array<std::int32_t, 7> y{b.year, b.month, b.day, b.hour, b.minute, b.second, b.millisecond};
    *order = x == y ? 0 : x > y ? 1 : 2;
    return kTemporalOk;
}

int moveTemporal(const TemporalRecord& r, std::int64_t amount, TemporalRecord* out) {
    TemporalRecord m = r;
    switch (r.kind) {
        case values::kDateKind: {
            const std::int64_t n = dayNumber(r.year, r.month, r.day) + amount;
            if (n <= 0) return kTemporalRange;
            dateOfDay(n, &m);
            break;
        }
        case values::kTimeKind: setMsOfDay(wrap(msOfDay(r) + amount, kMsPerDay), &m); break;
        case values::kMinuteKind: setMsOfDay(wrap(msOfDay(r) / 60'000 + amount, 1440) * 60'000, &m); break;
        case values::kSecondKind: setMsOfDay(wrap(msOfDay(r) / 1000 + amount, 86'400) * 1000, &m); break;
        case values::kMonthKind: {
            // Months since 2000.01, where 2000.01 counts 1: a multiple of
            // 12 is December of the year before.
            const std::int64_t count = (std::int64_t{r.year} - 2000) * 12 + r.month + amount;
            if (count < 0) return kTemporalRange;
            std::int64_t year = 2000 + count / 12, month = count % 12;
            if (month == 0) {
                --year;
                month = 12;
            }
            if (year < kFirstYear || year > kLastYear) return kTemporalRange;
            m.year = static_cast<std::int32_t>(year);
            m.month = static_cast<std::int32_t>(month);
            break;
        }
        case values::kDateTimeKind: {
            const std::int64_t ms = msOfDay(r) + amount;
            const std::int64_t n = dayNumber(r.year, r.month, r.day) + floorDiv(ms, kMsPerDay);
            if (n <= 0) return kTemporalRange;
            dateOfDay(n, &m);
            setMsOfDay(wrap(ms, kMsPerDay), &m);
            break;
        }
        default: return kTemporalRange;
    }
    if (!validTemporal(m)) return kTemporalRange;
    *out = m;
    return kTemporalOk;
}

int addToTemporal(TemporalTable& table, const TemporalRecord& r, std::int64_t amount, std::int32_t* index) {
    TemporalRecord m;
    if (int e = moveTemporal(r, amount, &m); e != kTemporalOk) return e;
    return storeTemporal(table, m, index);
}

int temporalDifference(const TemporalRecord& a, const TemporalRecord& b, double* out) {
    if (a.kind != b.kind) return kTemporalKinds;
    const std::int64_t days = dayNumber(a.year, a.month, a.day) - dayNumber(b.year, b.month, b.day);
    const std::int64_t ms = msOfDay(a) - msOfDay(b);
    switch (a.kind) {
        case values::kDateKind: *out = static_cast<double>(days); break;
        case values::kMonthKind:
            *out = static_cast<double>((std::int64_t{a.year} - b.year) * 12 + a.month - b.month);
            break;
        case values::kMinuteKind: *out = static_cast<double>(ms / 60'000); break;
        case values::kSecondKind: *out = static_cast<double>(ms / 1000); break;
        case values::kTimeKind: *out = static_cast<double>(ms) / 1000; break;
        case values::kDateTimeKind: *out = static_cast<double>(days * kMsPerDay + ms) / 1000; break;
        default: return kTemporalKinds;
    }
    return kTemporalOk;
}

}  // namespace wox::types
