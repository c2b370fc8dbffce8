#pragma once
// One entry of a function's line lists: the text and an integer tag that ties
// it to the line it was made from.
#include <string>

namespace wox::frontend {

struct TaggedLine {
    std::string text;
    int tag = -1;

    bool operator==(const TaggedLine&) const = default;
};

}  // namespace wox::frontend
