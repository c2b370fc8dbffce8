#pragma once
// Enumerations: values whose elements are positions in a domain, either a
// Symbol vector or the one key column of a keyed table, held in a named
// variable. The block starts with two words, the symbol index of the
// domain's name and a reference to the variable that holds the domain, and
// the positions (0-based) follow.
//
// The reference names the variable's slot, not a copy of its value, so the
// domain is always read as it is now: a domain that grows is seen, and one
// that shrinks leaves positions beyond its end, which show as integers. Slot
// numbers survive compaction and workspace files unchanged.
#include <cstdint>

#include "values/rc.h"
#include "values/value.h"
#include "values/keyed_value.h"
#include "values/workspace.h"

namespace wox::types {

struct EnumerationHeader {
    std::int32_t name = 0;   // symbol index of the domain variable's name
    ValueRef domain = 0;     // the variable that holds the domain
};
inline constexpr std::uint32_t kEnumerationHeaderBytes = sizeof(EnumerationHeader);
static_assert(kEnumerationHeaderBytes == 8);

// A domain as it stands now. `column` is null when there is none: the
// reference no longer names a variable holding a domain.
struct Domain {
    const ValueDescriptor* column = nullptr;
    std::int32_t length = 0;
    bool symbols() const { return column != nullptr && column->type == kSymbol; }
};



// The domain that value v offers: v itself when it is a Symbol vector of
// more than one element; the key column of a keyed table whose key table
// has exactly one column, a vector of a simple type. Anything else is 7.
Rc domainOf(const values::Workspace& ws, const ValueDescriptor& v, Domain* out);

// The domain held by variable slot `slot` now; an empty Domain when the
// slot is no variable slot or holds no domain.
Domain domainInSlot(const values::Workspace& ws, int slot);

// The header of enumeration e; false for an empty one, which has no block
// and so names no domain.
bool readHeader(const values::Workspace& ws, const ValueDescriptor& e, EnumerationHeader* h);

// The domain enumeration e refers to now (empty when it refers to none).
Domain currentDomain(const values::Workspace& ws, const ValueDescriptor& e);

// Where e's positions start; null for an empty enumeration.
const std::int32_t* positionsOf(const values::Workspace& ws, const ValueDescriptor& e);
std::int32_t* positionsOf(values::Workspace& ws, ValueDescriptor& e);

// Whether every position of e lies within a domain of that length.
bool allWithin(const values::Workspace& ws, const ValueDescriptor& e, std::int32_t length);

// The variable slot a header's reference names, or -1 when it names none.
int domainSlot(const values::Workspace& ws, const EnumerationHeader& h);

}  // namespace wox::types
