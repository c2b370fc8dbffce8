#pragma once
// How one element of an array of rank 2 or more fills its column, per element
// type. Display and the format function lay rows out with the same cells;
// each cell is exactly width(c) characters wide.
//
// A cells type offers width(c), fitWidth(c) (what the wrap test of display
// counts) and put(out, i, c), which appends element i in column c.
#include <cstdint>
#include <string>

#include "display/column_widths.h"
#include "display/extended_types.h"
#include "display/number_text.h"
#include "values/context.h"

namespace wox::display {

inline void padBlanks(std::string& out, int n) {
    if (n > 0) out.append(static_cast<std::size_t>(n), ' ');
}

// Right-aligned.
template <bool Plain>
struct IntegerCells {
    const std::int32_t* p;
    const ColumnWidth* w;
    int width(int c) const { return w[c].first; }
    int fitWidth(int c) const { return w[c].first; }
    void put(std::string& out, std::int64_t i, int c) const {
        char buf[kNumberTextMax];
        const int n = integerTextAs<Plain>(buf, p[i]);
        padBlanks(out, w[c].first - n);
        out.append(buf, static_cast<std::size_t>(n));
    }
};

// Aligned on the decimal point.
struct FloatCells {
    const double* p;
    const ColumnWidth* w;
    int width(int c) const { return w[c].first + w[c].second; }
    int fitWidth(int c) const { return width(c); }
    void put(std::string& out, std::int64_t i, int c) const {
        char buf[kNumberTextMax];
        const int n = floatText(buf, p[i]);
        const int before = pointPosition(buf, n);
        padBlanks(out, w[c].first - before);
        out.append(buf, static_cast<std::size_t>(n));
        padBlanks(out, w[c].second - (n - before));
    }
};

// Real part right-aligned, then "j" and the imaginary part left-aligned;
// a column without imaginary parts has no room for them.
struct ComplexCells {
    const double* p;
    const ColumnWidth* w;
    int width(int c) const { return w[c].first + (w[c].second > 0 ? w[c].second + 1 : 0); }
    int fitWidth(int c) const { return width(c); }
    void put(std::string& out, std::int64_t i, int c) const {
        char buf[kNumberTextMax];
        int n = floatText(buf, p[2 * i]);
        padBlanks(out, w[c].first - n);
        out.append(buf, static_cast<std::size_t>(n));
        if (w[c].second == 0) return;
        const double im = p[2 * i + 1];
        if (im == 0) {
            padBlanks(out, w[c].second + 1);
            return;
        }
        n = floatText(buf, im);
        out.push_back('j');
        out.append(buf, static_cast<std::size_t>(n));
        padBlanks(out, w[c].second - n);
    }
};

// Left-aligned; display writes the backquote, the format function does not.
// The wrap test counts the name only.
template <bool Backquote>
struct SymbolCells {
    const values::Context& cx;
    const std::int32_t* p;
    const ColumnWidth* w;
    int width(int c) const { return w[c].first + (Backquote ? 1 : 0); }
    int fitWidth(int c) const { return w[c].first; }
    void put(std::string& out, std::int64_t i, int c) const {
        const std::string_view name = symbolName(cx, p[i]);
        if (Backquote) out.push_back('`');
        out.append(name);
        padBlanks(out, w[c].first - static_cast<int>(name.size()));
    }
};

// Fixed width of the first element's kind.
struct TemporalCells {
    const values::Context& cx;
    const std::int32_t* p;
    const ColumnWidth* w;
    int width(int c) const { return w[c].first; }
    int fitWidth(int c) const { return w[c].first; }
    void put(std::string& out, std::int64_t i, int c) const {
        char buf[kTemporalTextMax];
        const int n = temporalText(cx, p[i], buf);
        out.append(buf, static_cast<std::size_t>(n));
        padBlanks(out, w[c].first - n);
    }
};

}  // namespace wox::display
