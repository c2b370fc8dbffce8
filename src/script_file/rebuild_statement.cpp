#include "script_file/rebuild_statement.h"

namespace wox::script_file {

std::string rebuildStatement(const Interpreter&, std::string_view, const ValueDescriptor&) {
    // Enumerations, dictionaries and tables have no values in the workspace
    // yet; until they do, every value has its tagged text ("Q" with no data
    // for a type without a letter, which a reader refuses).
    return {};
}

}  // namespace wox::script_file
