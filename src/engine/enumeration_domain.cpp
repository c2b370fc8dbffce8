#include "engine/enumeration_domain.h"

#include "frontend/name_table.h"
#include "frontend/scope_stack.h"
#include "primitives/keyed/enumerations.h"
#include "values/messages.h"

namespace wox::engine {

int variableSlot(const Interpreter& in, std::string_view name) {
    if (name.empty()) return -1;
    if (int s = frontend::findInScope(in.front, in.scope, name); s >= 0) return in.scope.at(s).slot;
    const int g = frontend::findGlobal(in.front, name);
    if (g < 0) return -1;
    const frontend::NameEntry& e = in.front.globals[static_cast<std::size_t>(g)];
    return e.kind == frontend::kVariableName ? e.slot : -1;
}

bool namesDomain(const values::Workspace& ws, ValueRef x) {
    const ValueDescriptor& d = ws.at(x);
    return d.type == kSymbol && d.rank == 0;
}

Rc makeEnumeration(Interpreter& in, int result, ValueRef x, ValueRef y) {
    const std::int32_t name = inlineInt(in.ws.at(x));
    const int slot = variableSlot(in, in.symbols.name(name));
    if (slot < kFirstGlobalSlot || in.ws.var(slot).unset()) return kDomainError;
    return primitives::enumerate(in, result, name, slot, y);
}

}  // namespace wox::engine
