#include "display/extended_types.h"

#include "types/temporal.h"

namespace wox::display {

namespace {
constexpr std::string_view kUnknownText = "?";
}  // namespace

std::string_view symbolName(const values::Context& cx, std::int32_t index) {
    return cx.symbolNames ? cx.symbolNames->name(index) : kUnknownText;
}

// A damaged word shows as "?" rather than as some other moment.
int temporalText(std::int64_t word, char* out) { return types::writeTemporal(word, out); }

int temporalWidth(std::int64_t word) {
    return types::validTemporalWord(word) ? types::temporalKindWidth(types::temporalKind(word)) : 1;
}

}  // namespace wox::display
