#include "frontend/number_reader.h"

#include <charconv>
#include <cstring>
#include <limits>

#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "types/temporal.h"
#include "values/messages.h"
#include "values/narrowing.h"

namespace wox::frontend {

namespace {

// Dates and times are read before plain numbers: a literal that has the
// shape of a date or a time (four digits, a point, two digits and "m" or a
// point; or digits and a colon before a digit) becomes a Temporal constant
// here and never reaches the number syntax; breaking the temporal rules
// then is an error, not another number.
Rc readTemporal(values::Workspace& ws, std::string_view text, std::size_t pos, int* slot, std::size_t* end,
                std::size_t* errPos, bool* matched) {
    *matched = types::looksTemporal(text, pos);
    if (!*matched) return kOk;
    std::vector<types::TemporalWord> words;
    std::size_t at = pos;
    if (int e = types::readTemporalLiteral(text, &at, words); e != types::kTemporalOk) {
        *errPos = at;
        return static_cast<int>(kTimeFormat) - 1 + e;
    }
    int s = 0;
    Rc rc = takeConstant(ws, &s);
    const std::int64_t n = static_cast<std::int64_t>(words.size());
    if (!rc.failed() && n > 1) rc = ws.allocConst(s, kTemporal, n);
    if (rc.failed()) {
        *errPos = pos;
        return rc;
    }
    ValueDescriptor& d = ws.consts[s];
    d.type = kTemporal;
    d.rank = n == 1 ? 0 : 1;
    d.count = static_cast<std::int32_t>(n);
    if (n == 1) {
        setInlineWord(d, words[0]);
    } else {
        d.shape0 = d.count;
        std::memcpy(ws.base() + d.data, words.data(), sizeof(types::TemporalWord) * words.size());
    }
    *slot = s;
    *end = at;
    return kOk;
}

constexpr double kIntegerInfinity = 2147483647.0;

bool digitAt(std::string_view text, std::size_t i) { return i < text.size() && isDigit(text[i]); }

// Reads one real number (sign, 0n/0w/0wi or mantissa and exponent) at i.
Rc parseReal(std::string_view text, std::size_t i, bool leadingMinus, std::string& buf, double* value,
             std::size_t* next, std::size_t* errPos) {
    const std::size_t n = text.size();
    const std::size_t start = i;
    bool negative = false;
    if (i < n && (text[i] == '_' || (leadingMinus && text[i] == '-'))) {
        negative = true;
        ++i;
    }
    if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'n' || text[i + 1] == 'w')) {
        // 0wi is the Integer infinity, the largest Integer, which is how it displays.
        const bool integer = text[i + 1] == 'w' && i + 2 < n && text[i + 2] == 'i';
        double magnitude = integer ? kIntegerInfinity : std::numeric_limits<double>::infinity();
        if (text[i + 1] == 'n') *value = std::numeric_limits<double>::quiet_NaN();
        else *value = negative ? -magnitude : magnitude;
        *next = i + (integer ? 3 : 2);
        return kOk;
    }
    buf.clear();
    if (negative) buf += '-';
    // Magnitude bookkeeping, so that a conversion out of range can tell an
    // overflow (infinity) from an underflow (zero).
    long long significantInt = 0, fractionZeros = 0;
    bool seenNonZero = false, any = false;
    while (i < n && isDigit(text[i])) {
        if (text[i] != '0' || seenNonZero) {
            seenNonZero = true;
            ++significantInt;
        }
        buf += text[i++];
        any = true;
    }
    if (i < n && text[i] == '.') {
        if (digitAt(text, i + 1)) {
            buf += text[i++];
            while (i < n && isDigit(text[i])) {
                if (!seenNonZero) {
                    if (text[i] == '0') ++fractionZeros;
                    else seenNonZero = true;
                }
                buf += text[i++];
            }
            any = true;
        } else if (any && !(i + 1 < n && text[i + 1] == ':')) {
            ++i;  // "1." is 1; ".:" after a number begins an outer product
        }
    }
    if (!any) {
        *errPos = start;
        return kSyntaxError;
    }
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t at = i++;
        bool minus = false;
        if (i < n && (text[i] == '_' || text[i] == '-')) {
            minus = true;
            ++i;
        }
        if (!digitAt(text, i)) {
            *errPos = at;
            return kSyntaxError;
        }
        buf += minus ? "e-" : "e";
        while (i < n && isDigit(text[i])) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
            buf += text[i++];
        }
        if (minus) exponent = -exponent;
        if (i < n && text[i] == '.') {
            *errPos = i;
            return kValueError;
        }
    }
    double v = 0;
    auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        long long magnitude = (significantInt > 0 ? significantInt : -fractionZeros) + exponent;
        v = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) v = -v;
    } else if (r.ec != std::errc()) {
        *errPos = start;
        return kSyntaxError;
    }
    *value = v;
    *next = i;
    return kOk;
}

}  // namespace

bool startsNumber(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return false;
    char c = text[pos];
    if (isDigit(c)) return true;
    return (c == '_' || c == '.') && digitAt(text, pos + 1);
}

Rc scanNumbers(std::string_view text, std::size_t pos, bool leadingMinus, NumberList& out, std::size_t* end,
               std::size_t* errPos) {
    out.re.clear();
    out.im.clear();
    out.complex = false;
    const std::size_t n = text.size();
    std::size_t i = pos;
    bool first = true;
    for (;;) {
        double re = 0, im = 0;
        WOX_TRY(parseReal(text, i, first && leadingMinus, out.buffer, &re, &i, errPos));
        if (i < n && text[i] == 'j') {
            std::size_t at = i++;
            if (!(digitAt(text, i) || (i < n && text[i] == '_' && digitAt(text, i + 1)))) {
                *errPos = at;
                return kDomainError;
            }
            WOX_TRY(parseReal(text, i, false, out.buffer, &im, &i, errPos));
            out.complex = true;
        }
        // Numbers must be parted by blanks: "1.2.3" and "1_2" are malformed.
        if (i < n && (isDigit(text[i]) || ((text[i] == '.' || text[i] == '_') && digitAt(text, i + 1)))) {
            *errPos = i;
            return kSyntaxError;
        }
        out.re.push_back(re);
        out.im.push_back(im);
        first = false;
        std::size_t j = i;
        while (j < n && text[j] == ' ') ++j;
        if (!startsNumber(text, j)) break;
        i = j;
    }
    *end = i;
    return kOk;
}

Rc integerConstant(values::Workspace& ws, int value, int* slot) {
    if (value == 0 || value == 1 || value == 2) {
        *slot = value == 2 ? 3 : value;
        return kOk;
    }
    int s = 0;
    WOX_TRY(takeConstant(ws, &s));
    ValueDescriptor& d = ws.consts[s];
    d.type = kInteger;
    d.count = 1;
    setInlineInt(d, value);
    *slot = s;
    return kOk;
}

Rc readNumber(values::Workspace& ws, std::string_view text, std::size_t pos, NumberList& nl, int* slot,
              std::size_t* end, std::size_t* errPos) {
    bool temporal = false;
    WOX_TRY(readTemporal(ws, text, pos, slot, end, errPos, &temporal));
    if (temporal) return kOk;

    WOX_TRY(scanNumbers(text, pos, false, nl, end, errPos));
    const std::size_t n = nl.re.size();
    if (n == 1 && !nl.complex) {
        double v = nl.re[0];
        if (v == 0.0 || v == 1.0 || v == 2.0) {
            *slot = v == 2.0 ? 3 : static_cast<int>(v);
            return kOk;
        }
    }
    int s = 0;
    if (Rc rc = takeConstant(ws, &s); rc.failed()) {
        *errPos = pos;
        return rc;
    }
    if (n == 1 && !nl.complex) {
        ValueDescriptor& d = ws.consts[s];
        d.type = kFloat;
        d.count = 1;
        setInlineFloat(d, nl.re[0]);
    } else {
        std::int32_t type = nl.complex ? kComplex : kFloat;
        if (Rc rc = ws.allocConst(s, type, static_cast<std::int64_t>(n)); rc.failed()) {
            *errPos = pos;
            return rc;
        }
        ValueDescriptor& d = ws.consts[s];
        d.type = type;
        d.rank = n == 1 ? 0 : 1;
        d.count = static_cast<std::int32_t>(n);
        d.shape0 = n == 1 ? 0 : d.count;
        char* e = ws.base() + d.data;
        if (nl.complex) {
            for (std::size_t k = 0; k < n; ++k) {
                std::memcpy(e + 16 * k, &nl.re[k], 8);
                std::memcpy(e + 16 * k + 8, &nl.im[k], 8);
            }
        } else {
            std::memcpy(e, nl.re.data(), 8 * n);
        }
    }
    values::narrow(ws, ws.consts[s]);
    *slot = s;
    return kOk;
}

}  // namespace wox::frontend
