#include "display/extended_types.h"

// Until the symbol, temporal, enumeration and keyed-collection tables exist
// there is nothing to look names and records up in: elements show as "?",
// and whole displays are refused the way unsupported nesting is.

namespace wox::display {

namespace {
constexpr std::string_view kUnknownText = "?";
}  // namespace

std::string_view symbolName(const values::Context&, std::int32_t) { return kUnknownText; }

int temporalText(const values::Context&, std::int32_t, char* out) {
    out[0] = kUnknownText[0];
    return 1;
}

int temporalWidth(const values::Context&, std::int32_t) { return 1; }

int enumerationElementText(const values::Context&, const ValueDescriptor&, std::int64_t, std::string& out) {
    out.append(kUnknownText);
    return static_cast<int>(kUnknownText.size());
}

Rc displayEnumeration(Printer& p, const ValueDescriptor&, bool) {
    p.diagnostic(kUnsupportedDisplay);
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
