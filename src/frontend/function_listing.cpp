#include "frontend/function_listing.h"

namespace wox::frontend {

std::string functionListing(std::string_view name, std::span<const TaggedLine> lines) {
    std::size_t half = name.size() / 2;
    std::string dashes(half >= 10 ? 0 : 10 - half, '-');
    std::string out = dashes;
    out += name;
    out += dashes;

    std::size_t width = lines.empty() ? 1 : std::to_string(lines.size() - 1).size();
    std::size_t pad = kListingTextColumn >= width + 3 ? kListingTextColumn - width - 2 : 1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string number = std::to_string(i);
        out += "\r\n[";
        out.append(width - number.size(), ' ');
        out += number;
        out += ']';
        out.append(pad, ' ');
        out += lines[i].text;
    }
    out += "\r\n";
    out.append(20, '-');
    return out;
}

std::string functionListing(const FunctionText& f) { return functionListing(f.name, f.executable); }

std::string reservedFunctionLine(std::string_view name) {
    std::string out = "`";
    out += name;
    out += " is a reserved function.";
    return out;
}

}  // namespace wox::frontend
