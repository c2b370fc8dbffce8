#include "display/column_widths.h"

#include <algorithm>
#include <cstring>

#include "display/extended_types.h"
#include "display/number_text.h"
#include "values/shape.h"

namespace wox::display {

namespace {

template <bool Plain>
void integerWidths(const std::int32_t* p, std::int64_t rows, int cols, std::vector<ColumnWidth>& w) {
    char buf[kNumberTextMax];
    std::int64_t i = 0;
    for (std::int64_t r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c, ++i) w[c].first = std::max(w[c].first, integerTextAs<Plain>(buf, p[i]));
}

template <class Measure>
void eachCell(std::int64_t rows, int cols, std::vector<ColumnWidth>& w, Measure measure) {
    std::int64_t i = 0;
    for (std::int64_t r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c, ++i) measure(i, w[c]);
}

}  // namespace

int pointPosition(const char* text, int length) {
    const void* dot = std::memchr(text, '.', static_cast<std::size_t>(length));
    return dot ? static_cast<int>(static_cast<const char*>(dot) - text) : length;
}

std::vector<ColumnWidth> columnWidths(const values::Context& cx, const ValueDescriptor& d, bool plainIntegers) {
    const auto& ws = cx.ws;
    const int cols = d.rank >= 2 ? values::dimension(ws, d, d.rank - 1) : 0;
    if (cols <= 0 || d.count <= 0) return {};
    std::vector<ColumnWidth> w(static_cast<std::size_t>(cols));
    const std::int64_t rows = d.count / cols;
    char buf[kNumberTextMax];
    switch (d.type) {
        case kBoolean:
        case kInteger: {
            const auto* p = ws.elems<std::int32_t>(d);
            if (plainIntegers) {
                integerWidths<true>(p, rows, cols, w);
            } else {
                integerWidths<false>(p, rows, cols, w);
            }
            break;
        }
        case kFloat: {
            const auto* p = ws.elems<double>(d);
            eachCell(rows, cols, w, [&](std::int64_t i, ColumnWidth& cw) {
                const int n = floatText(buf, p[i]);
                const int before = pointPosition(buf, n);
                cw.first = std::max(cw.first, before);
                cw.second = std::max(cw.second, n - before);
            });
            break;
        }
        case kComplex: {
            const auto* p = ws.elems<double>(d);
            eachCell(rows, cols, w, [&](std::int64_t i, ColumnWidth& cw) {
                cw.first = std::max(cw.first, floatText(buf, p[2 * i]));
                if (p[2 * i + 1] != 0) cw.second = std::max(cw.second, floatText(buf, p[2 * i + 1]));
            });
            break;
        }
        case kSymbol: {
            const auto* p = ws.elems<std::int32_t>(d);
            eachCell(rows, cols, w, [&](std::int64_t i, ColumnWidth& cw) {
                cw.first = std::max(cw.first, static_cast<int>(symbolName(cx, p[i]).size()));
            });
            break;
        }
        case kTemporal: {
            // Every column takes the width of the first element's kind; an
            // element of a longer kind still gets its full text.
            const auto* p = ws.elems<std::int32_t>(d);
            const int kind = temporalWidth(cx, p[0]);
            for (auto& cw : w) cw.first = kind;
            char text[kTemporalTextMax];
            eachCell(rows, cols, w, [&](std::int64_t i, ColumnWidth& cw) {
                cw.first = std::max(cw.first, temporalText(cx, p[i], text));
            });
            break;
        }
        default:
            break;
    }
    return w;
}

}  // namespace wox::display
