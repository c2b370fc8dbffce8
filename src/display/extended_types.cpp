#include "display/extended_types.h"

#include "types/temporal.h"

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

}  // namespace wox::display
