#include "primitives/keyed/foreign_key.h"

#include <cstring>

#include "values/shaped_result.h"
#include "primitives/structural_result.h"
#include "primitives/work_table.h"
#include "types/enumeration.h"
#include "values/messages.h"
#include "values/shape.h"

namespace wox::primitives {

namespace {


// Column `name` of a Table, or null.
const ValueDescriptor* tableColumn(const values::Workspace& ws, const ValueDescriptor& t, std::int32_t name) {
    const ValueDescriptor* nc = t.type == kTable ? descriptorPair(ws, t) : nullptr;
    if (!nc || nc[0].type != kSymbol || nc[1].type != kGeneral || nc[0].count != nc[1].count) return nullptr;
    const std::int32_t* names = ws.elems<std::int32_t>(nc[0]);
    const ValueDescriptor* columns = ws.elems<ValueDescriptor>(nc[1]);
    for (std::int32_t i = 0; i < nc[0].count; ++i)
        if (names[i] == name) return &columns[i];
    return nullptr;
}

// Column `name` of a table, or of a keyed table's key table and then its
// value table; null when there is none.
const ValueDescriptor* columnNamed(const values::Workspace& ws, const ValueDescriptor& t, std::int32_t name) {
    if (t.type == kTable) return tableColumn(ws, t, name);
    if (t.type != kDictionary || t.shape0 != kKeyedTable) return nullptr;
    const ValueDescriptor* kv = descriptorPair(ws, t);
    if (!kv) return nullptr;
    if (const ValueDescriptor* c = tableColumn(ws, kv[0], name)) return c;
    return tableColumn(ws, kv[1], name);
}

// The keyed table an enumerated column refers to, held in variable slot
// *slot; null when the column is no enumeration over a keyed table.
const ValueDescriptor* referencedTable(const values::Workspace& ws, const ValueDescriptor& e, int* slot) {
    types::EnumerationHeader h;
    if (e.type != kEnumeration || !types::readHeader(ws, e, &h)) return nullptr;
    *slot = types::domainSlot(ws, h);
    if (*slot < 0) return nullptr;
    const ValueDescriptor& kt = ws.vars[static_cast<std::size_t>(*slot)];
    return kt.type == kDictionary && kt.shape0 == kKeyedTable ? &kt : nullptr;
}

// For each element of enumeration `e`, the element of column `referenced`
// of the keyed table that is its domain.
Rc referencedColumn(values::Context& cx, int result, const ValueDescriptor& e, std::int32_t referenced) {
    values::Workspace& ws = cx.ws;
    const std::int32_t n = e.count;
    int slot = -1;
    const ValueDescriptor* kt = n > 0 ? referencedTable(ws, e, &slot) : nullptr;
    if (e.type != kEnumeration || (n > 0 && !kt)) return kForeignKeyProblem;
    if (n == 0) {
        char* none;
        return makeVector(ws, result, kInteger, 0, &none);
    }
    const ValueDescriptor* c = columnNamed(ws, *kt, referenced);
    if (!c) return kDomainError;
    if (c->rank > 2) return kRankError;
    // Rows of a character-matrix column stay rows.
    const std::int32_t rows = c->rank == 0 ? 1 : values::dimension(ws, *c, 0);
    const std::int32_t width = c->rank == 2 ? values::dimension(ws, *c, 1) : 1;
    WorkTable<std::int32_t> at;
    WOX_TRY(at.allocate(ws.caps, static_cast<std::uint64_t>(n)));
    std::memcpy(at.data(), types::positionsOf(ws, e), 4 * static_cast<std::size_t>(n));
    for (std::int32_t j = 0; j < n; ++j)
        if (static_cast<std::uint32_t>(at[static_cast<std::uint64_t>(j)]) >= static_cast<std::uint32_t>(rows))
            return kIndexError;
    const std::int32_t type = c->type;
    const std::int32_t dims[2] = {n, width};
    char* out;
    // From here on `e` may have moved with the heap; its positions are in `at`.
    WOX_TRY(values::makeResult(ws, result, type, dims, c->rank == 2 ? 2 : 1, &out));
    // The result's block may have moved the table's: find the column again.
    auto lay = [&, type](char* to) {
        const ValueDescriptor* col = columnNamed(ws, ws.var(slot), referenced);
        const std::size_t row = static_cast<std::size_t>(elementStride(type)) * static_cast<std::size_t>(width);
        const char* from = values::elementsOf(ws, *col);
        for (std::int32_t j = 0; j < n; ++j)
            std::memcpy(to + row * static_cast<std::size_t>(j), from + row * static_cast<std::size_t>(at[static_cast<std::uint64_t>(j)]), row);
    };
    if (type != kGeneral) {
        lay(out);
        return kOk;
    }
    return ownItems(ws, result, [&] { lay(ws.base() + ws.var(result).data); });
}

}  // namespace

Rc foreignKeyPath(values::Context& cx, int result, ValueRef table, std::int32_t column, std::int32_t referenced) {
    const ValueDescriptor& t = cx.ws.at(table);
    if (t.unset()) return kValueError;
    const ValueDescriptor* e = columnNamed(cx.ws, t, column);
    if (!e) return kDomainError;
    return referencedColumn(cx, result, *e, referenced);
}

Rc enumerationMember(values::Context& cx, int result, ValueRef enumeration, std::int32_t referenced) {
    const ValueDescriptor& e = cx.ws.at(enumeration);
    if (e.unset()) return kValueError;
    return referencedColumn(cx, result, e, referenced);
}

}  // namespace wox::primitives
