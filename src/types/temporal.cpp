#include "types/temporal.h"

#include <array>

namespace wox::types {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::array<int, 12> kMonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Display widths by kind; slot 0 is no kind.
constexpr std::array<int, kTemporalKinds + 1> kKindWidths{0, 10, 12, 8, 5, 8, 23};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool leapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int monthLength(std::int64_t year, int month) { return kMonthDays[month - 1] + (month == 2 && leapYear(year)); }

// Floor division by a positive m.
constexpr std::int64_t floorDiv(std::int64_t v, std::int64_t m) { return v / m - (v % m < 0 ? 1 : 0); }

// Remainder in [0, m).
constexpr std::int64_t wrap(std::int64_t v, std::int64_t m) {
    const std::int64_t r = v % m;
    return r < 0 ? r + m : r;
}

// Days from 1970.01.01 in the proleptic Gregorian calendar, counted by
// 400-year eras so that no year needs a loop.
constexpr std::int64_t civilDays(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

constexpr std::int64_t kOrigin = civilDays(2000, 1, 1);

constexpr std::int64_t daysFromOrigin(std::int64_t y, std::int64_t m, std::int64_t d) {
    return civilDays(y, m, d) - kOrigin;
}

void dateOfDay(std::int64_t n, TemporalFields* f) {
    const std::int64_t z = n + kOrigin + 719'468;
    const std::int64_t era = floorDiv(z, 146'097);
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t month = mp + (mp < 10 ? 3 : -9);
    f->year = static_cast<std::int32_t>(yoe + era * 400 + (month <= 2));
    f->month = static_cast<std::int32_t>(month);
    f->day = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
}

constexpr std::int64_t kFirstDay = daysFromOrigin(kFirstYear, 1, 1);
constexpr std::int64_t kLastDay = daysFromOrigin(kLastYear, 12, 31);
constexpr std::int64_t kFirstMonth = (std::int64_t{kFirstYear} - 2000) * 12;
constexpr std::int64_t kLastMonth = (std::int64_t{kLastYear} - 2000) * 12 + 11;

// The counts each kind allows, by kind; slot 0 is no kind.
struct CountRange {
    std::int64_t first, last;
};
constexpr std::array<CountRange, kTemporalKinds + 1> kCountRanges{{
    {1, 0},
    {kFirstDay, kLastDay},
    {0, kMsPerDay - 1},
    {kFirstMonth, kLastMonth},
    {0, 24 * 60 - 1},
    {0, 24 * 60 * 60 - 1},
    {kFirstDay * kMsPerDay, kLastDay * kMsPerDay + kMsPerDay - 1},
}};

// Counts of the times of day wrap around midnight: the length of their day.
constexpr std::array<std::int64_t, kTemporalKinds + 1> kDayLengths{0, 0, kMsPerDay, 0, 24 * 60, 24 * 60 * 60, 0};

bool inRange(std::int32_t kind, std::int64_t count) {
    if (kind < kDateKind || kind > kDateTimeKind) return false;
    const CountRange& r = kCountRanges[static_cast<std::size_t>(kind)];
    return count >= r.first && count <= r.last;
}

std::int64_t msOfDay(const TemporalFields& r) {
    return ((std::int64_t{r.hour} * 60 + r.minute) * 60 + r.second) * 1000 + r.millisecond;
}

void setMsOfDay(std::int64_t ms, TemporalFields* r) {
    r->millisecond = static_cast<std::int32_t>(ms % 1000);
    r->second = static_cast<std::int32_t>(ms / 1000 % 60);
    r->minute = static_cast<std::int32_t>(ms / 60'000 % 60);
    r->hour = static_cast<std::int32_t>(ms / 3'600'000);
}

bool validFields(const TemporalFields& r) {
    if (r.kind < kDateKind || r.kind > kDateTimeKind) return false;
    if (r.year < kFirstYear || r.year > kLastYear || r.month < 1 || r.month > 12) return false;
    if (r.day < 1 || r.day > monthLength(r.year, r.month)) return false;
    return r.hour >= 0 && r.hour <= 23 && r.minute >= 0 && r.minute <= 59 && r.second >= 0 && r.second <= 59 &&
           r.millisecond >= 0 && r.millisecond <= 999;
}

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
bool timeOfDay(std::string_view t, std::size_t* i, TemporalFields* r) {
    if (!field(t, i, 2, &r->hour) || !punct(t, i, ':') || !field(t, i, 2, &r->minute)) return false;
    r->kind = kMinuteKind;
    if (*i + 1 < t.size() && t[*i] == ':' && isDigit(t[*i + 1])) {
        ++*i;
        if (!field(t, i, 2, &r->second)) return false;
        r->kind = kSecondKind;
        if (*i + 1 < t.size() && t[*i] == '.' && isDigit(t[*i + 1])) {
            ++*i;
            if (!field(t, i, 3, &r->millisecond)) return false;
            r->kind = kTimeKind;
        }
    }
    return true;
}

// One literal at *i.
bool oneLiteral(std::string_view t, std::size_t* i, TemporalFields* r) {
    std::size_t run = *i;
    while (run < t.size() && isDigit(t[run])) ++run;
    if (run - *i == 4) {
        if (!field(t, i, 4, &r->year) || !punct(t, i, '.') || !field(t, i, 2, &r->month)) return false;
        if (punct(t, i, 'm')) {
            r->kind = kMonthKind;
            return true;
        }
        if (!punct(t, i, '.') || !field(t, i, 2, &r->day)) return false;
        r->kind = kDateKind;
        if (!punct(t, i, 'T')) return true;
        TemporalFields time;
        if (!timeOfDay(t, i, &time) || time.kind == kMinuteKind) return false;
        r->hour = time.hour;
        r->minute = time.minute;
        r->second = time.second;
        r->millisecond = time.millisecond;
        r->kind = kDateTimeKind;
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

int composeTemporal(const TemporalFields& f, TemporalWord* out) {
    if (!validFields(f)) return kTemporalField;
    const std::int64_t days = daysFromOrigin(f.year, f.month, f.day);
    std::int64_t count = 0;
    switch (f.kind) {
        case kDateKind: count = days; break;
        case kTimeKind: count = msOfDay(f); break;
        case kMonthKind: count = (std::int64_t{f.year} - 2000) * 12 + f.month - 1; break;
        case kMinuteKind: count = f.hour * 60 + f.minute; break;
        case kSecondKind: count = (f.hour * 60 + f.minute) * 60 + f.second; break;
        case kDateTimeKind: count = days * kMsPerDay + msOfDay(f); break;
        default: return kTemporalField;
    }
    *out = temporalWord(f.kind, count);
    return kTemporalOk;
}

bool validTemporalWord(TemporalWord w) { return inRange(temporalKind(w), temporalCount(w)); }

bool decomposeTemporal(TemporalWord w, TemporalFields* out) {
    const std::int32_t kind = temporalKind(w);
    const std::int64_t count = temporalCount(w);
    if (!inRange(kind, count)) return false;
    TemporalFields f;
    f.kind = kind;
    switch (kind) {
        case kDateKind: dateOfDay(count, &f); break;
        case kTimeKind: setMsOfDay(count, &f); break;
        case kMonthKind:
            f.year = static_cast<std::int32_t>(2000 + floorDiv(count, 12));
            f.month = static_cast<std::int32_t>(wrap(count, 12) + 1);
            break;
        case kMinuteKind: setMsOfDay(count * 60'000, &f); break;
        case kSecondKind: setMsOfDay(count * 1000, &f); break;
        default:
            dateOfDay(floorDiv(count, kMsPerDay), &f);
            setMsOfDay(wrap(count, kMsPerDay), &f);
            break;
    }
    *out = f;
    return true;
}

int readTemporalLiteral(std::string_view text, std::size_t* pos, std::vector<TemporalWord>& words) {
    const std::size_t mark = words.size();
    auto fail = [&](int error) {
        words.resize(mark);
        return error;
    };
    std::size_t i = *pos;
    std::int32_t kind = 0;
    while (i < text.size() && isDigit(text[i])) {
        const std::size_t start = i;
        TemporalFields r;
        *pos = start;
        if (!oneLiteral(text, &i, &r)) return fail(kTemporalMalformed);
        TemporalWord w = 0;
        if (composeTemporal(r, &w) != kTemporalOk) return fail(kTemporalField);
        if (kind != 0 && r.kind != kind) return fail(kTemporalKindsDiffer);
        kind = r.kind;
        words.push_back(w);
        while (i < text.size() && text[i] == ' ') ++i;
    }
    *pos = i;
    return kTemporalOk;
}

int writeTemporal(TemporalWord w, char* out) {
    TemporalFields r;
    char* p = out;
    if (!decomposeTemporal(w, &r)) {
        *p++ = '?';
        *p = 0;
        return 1;
    }
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
        case kDateKind: date(); *p++ = '.'; digits(r.day, 2); break;
        case kTimeKind: clock(true, true); break;
        case kMonthKind: date(); *p++ = 'm'; break;
        case kMinuteKind: clock(false, false); break;
        case kSecondKind: clock(true, false); break;
        default:
            date();
            *p++ = '.';
            digits(r.day, 2);
            *p++ = 'T';
            clock(true, true);
            break;
    }
    *p = 0;
    return static_cast<int>(p - out);
}

int temporalKindWidth(std::int32_t kind) {
    return kind >= 0 && kind <= kTemporalKinds ? kKindWidths[static_cast<std::size_t>(kind)] : 0;
}

std::int64_t dayCount(std::int64_t year, std::int32_t month, std::int32_t day) {
    return daysFromOrigin(year, month, day);
}

int compareTemporal(TemporalWord a, TemporalWord b, int* order) {
    if (temporalKind(a) != temporalKind(b)) return kTemporalKindsDiffer;
    *order = a == b ? 0 : a > b ? 1 : 2;
    return kTemporalOk;
}

int moveTemporal(TemporalWord w, std::int64_t amount, TemporalWord* out) {
    const std::int32_t kind = temporalKind(w);
    if (!inRange(kind, temporalCount(w))) return kTemporalRange;
    std::int64_t count = temporalCount(w) + amount;
    if (const std::int64_t day = kDayLengths[static_cast<std::size_t>(kind)]; day != 0) count = wrap(count, day);
    if (!inRange(kind, count)) return kTemporalRange;
    *out = temporalWord(kind, count);
    return kTemporalOk;
}

int temporalDifference(TemporalWord a, TemporalWord b, double* out) {
    const std::int32_t kind = temporalKind(a);
    if (kind != temporalKind(b) || kind < kDateKind || kind > kDateTimeKind) return kTemporalKindsDiffer;
    const std::int64_t d = temporalCount(a) - temporalCount(b);
    *out = static_cast<double>(d) / differenceDivisor(kind);
    return kTemporalOk;
}

}  // namespace wox::types
