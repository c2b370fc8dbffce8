#pragma once
// How the elements of an array of rank 2 or more fill their columns. Display
// and the format function lay rows out with the same cells: each column is
// measured once over all rows and planes, and every text in it stands so that
// its alignment point (by the element writer's kAlign: a number's end, a
// decimal point, the "j" of a complex number, or the start of the text)
// meets the column's alignment line.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "display/element_text.h"

namespace wox::display {

inline void padBlanks(std::string& out, int n) {
    if (n > 0) out.append(static_cast<std::size_t>(n), ' ');
}

// The widest parts of a column's texts before and from its alignment line;
// every cell of the column is exactly width() characters wide.
struct ColumnWidth {
    int before = 0;
    int after = 0;
    int width() const { return before + after; }
};

// Where text t of writer Elements meets its column's alignment line.
template <class Elements>
int alignAt(const ElementText& t) {
    if constexpr (Elements::kAlign == Align::kRight) {
        return t.columns();
    } else if constexpr (Elements::kAlign == Align::kLeft) {
        return 0;
    } else {
        const void* at = std::memchr(t.body.data(), Elements::kMark, t.body.size());
        return at ? static_cast<int>(static_cast<const char*>(at) - t.body.data()) : t.columns();
    }
}

// The widths of the `cols` columns of count elements laid out in rows.
template <class Elements>
std::vector<ColumnWidth> columnWidths(const Elements& e, std::int64_t count, int cols) {
    if (cols <= 0 || count <= 0) return {};
    // Only texts that start at the left edge have a least width.
    std::vector<ColumnWidth> widths(static_cast<std::size_t>(cols), ColumnWidth{0, e.leastWidth()});
    ColumnWidth* w = widths.data();
    char buf[kElementTextMax];
    for (std::int64_t i = 0; i < count; i += cols) {
        for (int c = 0; c < cols; ++c) {
            const ElementText t = e(i + c, buf);
            const int at = alignAt<Elements>(t);
            if constexpr (Elements::kAlign != Align::kLeft) w[c].before = std::max(w[c].before, at);
            if constexpr (Elements::kAlign != Align::kRight)
                w[c].after = std::max(w[c].after, t.columns() - at);
        }
    }
    return widths;
}

// Appends element i as a cell of a column of width w.
template <class Elements>
void putCell(std::string& out, const Elements& e, std::int64_t i, ColumnWidth w) {
    char buf[kElementTextMax];
    const ElementText t = e(i, buf);
    const int at = alignAt<Elements>(t);
    if constexpr (Elements::kAlign != Align::kLeft) padBlanks(out, w.before - at);
    t.appendTo(out);
    if constexpr (Elements::kAlign != Align::kRight) padBlanks(out, w.after - (t.columns() - at));
}

}  // namespace wox::display
