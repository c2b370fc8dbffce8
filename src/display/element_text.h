#pragma once
// The text of one element, for every element type: numbers, characters,
// symbols, temporal and enumeration elements. Value display, the format
// function and the cells of dictionaries and tables all take their element
// texts from here and differ only in the style they ask for.
//
// withElements picks the element writer of a value's type once; the caller's
// loop then runs over the raw elements with that writer. A writer offers
//   writer(i, buf)      the text of element i (buf: kElementTextMax chars),
//   kAlign, kMark       how a column lines its texts up (cell_layout.h),
//   writer.leastWidth() the least width of a column of these elements.
#include <cstdint>
#include <string>
#include <string_view>

#include "display/extended_types.h"
#include "display/number_text.h"
#include "display/text_columns.h"
#include "values/context.h"
#include "values/shape.h"
#include "values/value.h"

namespace wox::display {

enum class TextStyle {
    kDisplay,  // the session: symbols with their backquote
    kFormat,   // the format function: integers plain (the null and the infinities by value), symbols bare
    kCell,     // cells of dictionaries and tables: as display, but symbols bare
};

// Room for any element text a writer puts into the caller's buffer.
inline constexpr int kElementTextMax = kComplexTextMax;
static_assert(kElementTextMax >= kTemporalTextMax);

// An element's text: `lead` (a symbol's backquote) then `body`. The parts
// lie in the caller's buffer, the workspace or the symbol table, and hold
// until the next element is asked for.
struct ElementText {
    std::string_view lead;
    std::string_view body;
    std::size_t size() const { return lead.size() + body.size(); }
    // Columns on the screen (see text_columns.h).
    int columns() const { return textColumns(lead) + textColumns(body); }
    void appendTo(std::string& out) const {
        if (!lead.empty()) out.append(lead);
        out.append(body);
    }
};

// Where the texts of a column line up: their ends, a mark in them (the
// text's end when it has none), or their starts.
enum class Align { kRight, kOnMark, kLeft };

// What a writer does not say otherwise: its texts start at their column's
// left edge, and its columns need no least width.
struct ElementWriter {
    static constexpr Align kAlign = Align::kLeft;
    static constexpr char kMark = 0;
    static int leastWidth() { return 0; }
};

// Right-aligned.
template <bool Plain>
struct IntegerElements : ElementWriter {
    static constexpr Align kAlign = Align::kRight;
    const std::int32_t* p;
    ElementText operator()(std::int64_t i, char* buf) const {
        return {{}, {buf, static_cast<std::size_t>(integerTextAs<Plain>(buf, p[i]))}};
    }
};

// Aligned on the decimal point.
struct FloatElements : ElementWriter {
    static constexpr Align kAlign = Align::kOnMark;
    static constexpr char kMark = '.';
    const double* p;
    ElementText operator()(std::int64_t i, char* buf) const {
        return {{}, {buf, static_cast<std::size_t>(floatText(buf, p[i]))}};
    }
};

// Aligned on the "j": real parts right, imaginary parts left.
struct ComplexElements : ElementWriter {
    static constexpr Align kAlign = Align::kOnMark;
    static constexpr char kMark = 'j';
    const double* p;
    ElementText operator()(std::int64_t i, char* buf) const {
        return {{}, {buf, static_cast<std::size_t>(complexText(buf, p[2 * i], p[2 * i + 1]))}};
    }
};

// A character, or for a character matrix (`cols` wide) the whole row i; a
// row past the end is empty.
struct CharElements : ElementWriter {
    const char* p;
    std::int64_t cols;
    std::int64_t count;
    ElementText operator()(std::int64_t i, char*) const {
        if ((i + 1) * cols > count) return {};
        return {{}, {p + i * cols, static_cast<std::size_t>(cols)}};
    }
};

template <bool Backquote>
struct SymbolElements : ElementWriter {
    const values::Context& cx;
    const std::int32_t* p;
    ElementText operator()(std::int64_t i, char*) const {
        return {Backquote ? std::string_view("`") : std::string_view(), symbolName(cx, p[i])};
    }
};

// A column is at least as wide as the kind of its array's first element.
struct TemporalElements : ElementWriter {
    const std::int64_t* p;
    ElementText operator()(std::int64_t i, char* buf) const {
        return {{}, {buf, static_cast<std::size_t>(temporalText(p[i], buf))}};
    }
    int leastWidth() const { return temporalWidth(p[0]); }
};

// The domain element a position names, as the domain's own elements read in
// the same style; a position beyond the domain (or with the domain gone)
// reads as the integer it is.
struct EnumerationElements : ElementWriter {
    EnumerationElements(const values::Context& cx, const ValueDescriptor& d, TextStyle style);
    ElementText operator()(std::int64_t i, char* buf) const;

    const values::Context& cx;
    TextStyle style;
    const std::int32_t* positions;
    const ValueDescriptor* column;  // null when the domain is gone
    std::int32_t length;
};

// Values without element texts (general arrays, dictionaries, tables).
struct NoElements : ElementWriter {
    ElementText operator()(std::int64_t, char*) const { return {}; }
};

// Calls f with the writer of d's elements in `style` and returns what f
// returns.
template <class F>
decltype(auto) withElements(const values::Context& cx, const ValueDescriptor& d, TextStyle style, F&& f) {
    const auto& ws = cx.ws;
    switch (d.type) {
        case kBoolean:
        case kInteger:
            if (style == TextStyle::kFormat) return f(IntegerElements<true>{{}, ws.elems<std::int32_t>(d)});
            return f(IntegerElements<false>{{}, ws.elems<std::int32_t>(d)});
        case kFloat:
            return f(FloatElements{{}, ws.elems<double>(d)});
        case kComplex:
            return f(ComplexElements{{}, ws.elems<double>(d)});
        case kChar: {
            const std::int64_t cols = d.rank >= 2 ? values::dimension(ws, d, d.rank - 1) : 1;
            return f(CharElements{{}, ws.elems<char>(d), cols, d.count});
        }
        case kSymbol:
            if (style == TextStyle::kDisplay) return f(SymbolElements<true>{{}, cx, ws.elems<std::int32_t>(d)});
            return f(SymbolElements<false>{{}, cx, ws.elems<std::int32_t>(d)});
        case kTemporal:
            return f(TemporalElements{{}, ws.elems<std::int64_t>(d)});
        case kEnumeration:
            return f(EnumerationElements(cx, d, style));
        default:
            return f(NoElements{});
    }
}

// Elements [0, n) parted by single blanks.
template <class Elements>
void appendJoined(std::string& out, const Elements& e, std::int64_t n) {
    char buf[kElementTextMax];
    for (std::int64_t i = 0; i < n; ++i) {
        if (i > 0) out.push_back(' ');
        e(i, buf).appendTo(out);
    }
}

// The text of element i of d alone; empty when i lies outside d.
ElementText elementAt(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, TextStyle style,
                      char* buf);

// Appends the text of element i of d as a cell shows it. With width other
// than -1 the text is padded with blanks on the right to that width, never
// cut. Returns the number of characters appended.
int elementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, int width, std::string& out);

}  // namespace wox::display
