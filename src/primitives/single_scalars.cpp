#include "primitives/single_scalars.h"

namespace wox::primitives {

const std::array<SingleDyadic, kSingleDyadicCodes> kSingleDyadicTable = [] {
    std::array<SingleDyadic, kSingleDyadicCodes> t{};
    for (int c = 0; c < kSingleDyadicCodes; ++c) {
        SingleDyadic single = singleArithmetic(c);
        t[static_cast<std::size_t>(c)] = single ? single : singleComparison(c);
    }
    return t;
}();

}  // namespace wox::primitives
