#include "display/element_text.h"

#include "display/cell_layout.h"
#include "types/enumeration.h"

namespace wox::display {

EnumerationElements::EnumerationElements(const values::Context& cx, const ValueDescriptor& d, TextStyle style)
    : cx(cx), style(style), positions(types::positionsOf(cx.ws, d)) {
    const types::Domain dom = types::currentDomain(cx.ws, d);
    column = dom.column;
    length = dom.length;
}

ElementText EnumerationElements::operator()(std::int64_t i, char* buf) const {
    const std::int32_t at = positions[i];
    if (column && static_cast<std::uint32_t>(at) < static_cast<std::uint32_t>(length))
        return elementAt(cx, *column, at, style, buf);
    return {{}, {buf, static_cast<std::size_t>(integerText(buf, at))}};
}

ElementText elementAt(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, TextStyle style,
                      char* buf) {
    if (i < 0 || i >= d.count) return {};
    return withElements(cx, d, style, [&](const auto& e) { return e(i, buf); });
}

int elementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, int width, std::string& out) {
    char buf[kElementTextMax];
    const ElementText t = elementAt(cx, d, i, TextStyle::kCell, buf);
    t.appendTo(out);
    const int n = static_cast<int>(t.size());
    if (width == -1 || n >= width) return n;
    padBlanks(out, width - n);
    return width;
}

}  // namespace wox::display
