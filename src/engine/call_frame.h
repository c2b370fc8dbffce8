#pragma once
// One call of a defined function that has not returned: running, or
// suspended by an error until "->" leaves it.

namespace wox::engine {

struct CallFrame {
    int function = -1;
    int boundary = -1;    // position of the call's boundary mark on dfxstack
    int firstLocal = 0;   // the call's local slots are firstLocal .. firstLocal + locals - 1
    int locals = 0;
    int depth = 0;        // its entry on the call-trace stack
};

}  // namespace wox::engine
