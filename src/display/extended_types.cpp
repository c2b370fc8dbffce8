#include "display/extended_types.h"

#include "display/element_text.h"
#include "display/number_text.h"
#include "types/enumeration.h"
#include "types/temporal.h"

// Symbols and temporal elements are looked up in their tables, enumeration
// elements in their domains. Until the keyed-collection displays exist
// their whole displays are refused the way unsupported nesting is.

namespace wox::display {

namespace {
constexpr std::string_view kUnknownText = "?";
}  // namespace

std::string_view symbolName(const values::Context& cx, std::int32_t index) {
    return cx.symbolNames ? cx.symbolNames->name(index) : kUnknownText;
}

// An index outside the table (a damaged value) shows as "?" rather than
// reading past it.
int temporalText(const values::Context& cx, std::int32_t index, char* out) {
    if (index < 0 || static_cast<std::size_t>(index) >= cx.ws.temporals.size()) {
        out[0] = kUnknownText[0];
        return 1;
    }
    return types::writeTemporal(cx.ws.temporals[static_cast<std::size_t>(index)], out);
}

int temporalWidth(const values::Context& cx, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= cx.ws.temporals.size()) return 1;
    return types::temporalKindWidth(cx.ws.temporals[static_cast<std::size_t>(index)].kind);
}

namespace {

// Element i through domain `dom`: the domain element, else (beyond the
// domain's end, or with the domain gone) the stored position as an integer.
int enumerationElement(const values::Context& cx, const types::Domain& dom, const ValueDescriptor& d, std::int64_t i,
                       bool backquote, std::string& out) {
    const std::size_t start = out.size();
    const std::int32_t at = types::positionsOf(cx.ws, d)[i];
    if (dom.column && static_cast<std::uint32_t>(at) < static_cast<std::uint32_t>(dom.length)) {
        if (backquote && dom.symbols()) out.push_back('`');
        elementText(cx, *dom.column, at, -1, out);
    } else {
        char buf[kComplexTextMax];
        out.append(buf, static_cast<std::size_t>(integerText(buf, at)));
    }
    return static_cast<int>(out.size() - start);
}

}  // namespace

int enumerationElementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    if (i < 0 || i >= d.count || d.type != kEnumeration) return 0;
    return enumerationElement(cx, types::currentDomain(cx.ws, d), d, i, false, out);
}

// "`name:" and the elements, wrapped when an element would take the line
// past column 107 (its separating blank not counted).
Rc displayEnumeration(Printer& p, const ValueDescriptor& d, bool item) {
    p.beginValue(item);
    types::EnumerationHeader h;
    if (types::readHeader(p.cx.ws, d, &h)) {
        p.text.push_back('`');
        p.text.append(symbolName(p.cx, h.name));
        p.text.push_back(':');
        const types::Domain dom = types::currentDomain(p.cx.ws, d);
        std::string piece;
        for (std::int64_t i = 0; i < d.count; ++i) {
            piece.clear();
            enumerationElement(p.cx, dom, d, i, true, piece);
            if (i > 0) {
                if (p.lineLength() + piece.size() > static_cast<std::size_t>(kLineLimit)) {
                    p.continuationLine();
                } else {
                    p.text.push_back(' ');
                }
            }
            p.text.append(piece);
        }
    }
    p.state.linePending = true;
    return kOk;
}

Rc displayDictionary(Printer& p, const ValueDescriptor&, bool) {
    p.diagnostic(kUnsupportedDisplay);
    return kOk;
}

Rc displayTable(Printer& p, const ValueDescriptor&, bool) {
    p.diagnostic(kUnsupportedDisplay);
    return kOk;
}

}  // namespace wox::display
