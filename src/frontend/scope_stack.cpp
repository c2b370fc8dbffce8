#include "frontend/scope_stack.h"

#include "frontend/front_tables.h"
#include "frontend/name_table.h"

namespace wox::frontend {

int findInScope(const FrontTables& ft, const ScopeStack& scope, std::string_view name) {
    for (int i = scope.top; i >= 0; --i) {
        const ScopeBinding& b = scope.at(i);
        if (b.name < 0 || b.name > ft.lastLocal) continue;
        if (nameEquals(ft, ft.locals[static_cast<std::size_t>(b.name)], name)) return i;
    }
    return -1;
}

}  // namespace wox::frontend
