#pragma once
// The bindings of active calls ("dfxstack" in the workspace report): for each
// call a boundary mark, then every local-name entry the call binds with the
// variable slot it is bound to in that call. The engine pushes and pops
// bindings as calls begin and end; translation only reads them, so that a
// line typed while a function is suspended sees that call's locals.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace wox::frontend {

struct FrontTables;

struct ScopeBinding {
    std::int32_t name;  // local-name entry; -1 marks a call boundary
    std::int32_t slot;
};
static_assert(sizeof(ScopeBinding) == 8);

struct ScopeStack {
    explicit ScopeStack(int capacity) : bindings(static_cast<std::size_t>(capacity)) {}

    std::vector<ScopeBinding> bindings;
    int top = -1;  // the newest binding in use, -1 for none

    bool empty() const { return top < 0; }
    const ScopeBinding& at(int i) const { return bindings[static_cast<std::size_t>(i)]; }
};

// Position of the innermost binding of the name, or -1.
int findInScope(const FrontTables& ft, const ScopeStack& scope, std::string_view name);

}  // namespace wox::frontend
