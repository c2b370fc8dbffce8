#pragma once
// What value display carries from one piece of output to the next.
#include <cstdint>

namespace wox::display {

struct DisplayState {
    std::int32_t depth = 0;   // general arrays being displayed around the current item
    bool firstItem = false;   // the current item is the first of its general array
    bool linePending = true;  // the session line holds output: the next one starts below

    // Before every executed line: output starts below the input line.
    void reset() {
        depth = 0;
        firstItem = false;
        linePending = true;
    }
};

}  // namespace wox::display
