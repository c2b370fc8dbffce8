#include "engine/execute_line.h"

namespace wox::engine {

int executeLine(Interpreter& in, std::string_view text) {
    // Until the evaluator arrives a line does nothing.
    (void)in;
    (void)text;
    return 0;
}

}  // namespace wox::engine
