#include "display/format_by_specification.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "display/character_form.h"
#include "display/number_text.h"
#include "values/messages.h"
#include "values/shaped_result.h"
#include "values/shape.h"

namespace wox::display {

namespace {

struct Field {
    std::int32_t width = 0;
    std::int32_t decimals = 0;
};

bool wholeNumber(double v) { return std::isfinite(v) && v == std::floor(v); }

// The fields x asks for, one per column.
Rc fieldsOf(const values::Workspace& ws, const ValueDescriptor& x, std::int64_t cols, std::vector<Field>& fields) {
    if (x.rank > 1) return kRankError;
    if (x.type != kBoolean && x.type != kInteger && x.type != kFloat) return kDomainError;
    std::vector<double> v(static_cast<std::size_t>(x.count));
    const char* e = values::elementsOf(ws, x);
    for (std::int32_t i = 0; i < x.count; ++i) {
        if (x.type == kFloat) {
            v[static_cast<std::size_t>(i)] = reinterpret_cast<const double*>(e)[i];
        } else {
            const std::int32_t n = reinterpret_cast<const std::int32_t*>(e)[i];
            v[static_cast<std::size_t>(i)] = n == kIntNull ? NAN : n;
        }
    }
    for (double d : v)
        if (!wholeNumber(d)) return kDomainError;
    if (x.count != 1 && x.count != 2 && x.count != 2 * cols) return kLengthError;
    fields.assign(static_cast<std::size_t>(cols), Field{});
    for (std::int64_t c = 0; c < cols; ++c) {
        Field& f = fields[static_cast<std::size_t>(c)];
        if (x.count == 1) {
            f.decimals = static_cast<std::int32_t>(std::fmax(std::fmin(v[0], 1e6), -1e6));
        } else {
            const std::size_t at = x.count == 2 ? 0 : static_cast<std::size_t>(2 * c);
            if (v[at] < 0 || v[at] > kMaxFieldWidth) return kDomainError;
            f.width = static_cast<std::int32_t>(v[at]);
            f.decimals = static_cast<std::int32_t>(std::fmax(std::fmin(v[at + 1], 1e6), -1e6));
        }
        if (f.decimals > kMaxDecimals || f.decimals < -kMaxDecimals) return kDomainError;
    }
    return kOk;
}

// The text of v in the form of its field, "_" for the minus sign; a number
// that rounds to zero shows no sign.
std::string numberIn(double v, const Field& f) {
    char buf[kNumberTextMax + kMaxDecimals + 320];
    if (!std::isfinite(v)) return std::string(buf, static_cast<std::size_t>(floatText(buf, v)));
    int n = 0;
    if (f.decimals >= 0) {
        n = std::snprintf(buf, sizeof buf, "%.*f", f.decimals, v);
    } else {
        n = std::snprintf(buf, sizeof buf, "%.*E", -f.decimals - 1, v);
    }
    std::string t(buf, static_cast<std::size_t>(n));
    std::string out;
    bool nonzero = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == 'E') {
            // "E+04" is "E4", "E-04" is "E_4".
            out.push_back('E');
            std::size_t j = i + 1;
            if (t[j] == '-') out.push_back('_');
            if (t[j] == '+' || t[j] == '-') ++j;
            while (j + 1 < t.size() && t[j] == '0') ++j;
            out.append(t, j, std::string::npos);
            break;
        }
        if (c >= '1' && c <= '9') nonzero = true;
        out.push_back(c == '-' ? '_' : c);
    }
    if (!nonzero && !out.empty() && out[0] == '_') out.erase(0, 1);
    return out;
}

}  // namespace

Rc formatBySpecification(values::Context& cx, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor x = ws.at(left), y = ws.at(right);
    if (x.unset() || y.unset()) return cx.fail(kValueError);
    if (y.type != kBoolean && y.type != kInteger && y.type != kFloat) return cx.fail(kDomainError);
    const std::int64_t cols = y.rank == 0 ? 1 : values::dimension(ws, y, y.rank - 1);
    std::vector<Field> fields;
    if (Rc rc = fieldsOf(ws, x, cols, fields); rc.failed()) return cx.fail(rc.code);

    const char* e = values::elementsOf(ws, y);
    auto element = [&](std::int64_t i) -> double {
        if (y.type == kFloat) return reinterpret_cast<const double*>(e)[i];
        const std::int32_t n = reinterpret_cast<const std::int32_t*>(e)[i];
        return n == kIntNull ? NAN : n;
    };
    std::vector<std::string> texts(static_cast<std::size_t>(y.count));
    for (std::int64_t i = 0; i < y.count; ++i)
        texts[static_cast<std::size_t>(i)] = numberIn(element(i), fields[static_cast<std::size_t>(i % cols)]);
    // A width of 0 is the column's widest text and a blank before it.
    std::vector<std::size_t> widths(static_cast<std::size_t>(cols));
    std::int64_t rowWidth = 0;
    for (std::int64_t c = 0; c < cols; ++c) {
        std::size_t w = static_cast<std::size_t>(fields[static_cast<std::size_t>(c)].width);
        if (w == 0) {
            for (std::int64_t i = c; i < y.count; i += cols) w = std::max(w, texts[static_cast<std::size_t>(i)].size());
            ++w;
        }
        widths[static_cast<std::size_t>(c)] = w;
        rowWidth += static_cast<std::int64_t>(w);
    }
    if (y.count > 0 && rowWidth * (y.count / cols) > INT32_MAX) return cx.fail(kWorkspaceFull);
    std::string text;
    text.reserve(static_cast<std::size_t>(rowWidth * (cols > 0 ? y.count / cols : 0)));
    for (std::int64_t i = 0; i < y.count; ++i) {
        const std::string& t = texts[static_cast<std::size_t>(i)];
        const std::size_t w = widths[static_cast<std::size_t>(i % cols)];
        if (t.size() > w) text.append(w, '*');
        else text.append(w - t.size(), ' ').append(t);
    }
    if (Rc rc = storeCharacters(cx, result, y, text, rowWidth); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

}  // namespace wox::display
