// Selecting from an enumeration and storing into one. Both go through the
// positions indexing selects, so their checks (rank, index type, index
// range) are indexing's own; enumerations stay vectors or scalars.
#include <cstring>
#include <vector>

#include "primitives/keyed/domain_search.h"
#include "primitives/keyed/enumerations.h"
#include "primitives/indexing.h"
#include "values/shaped_result.h"
#include "primitives/work_table.h"
#include "types/enumeration.h"
#include "values/messages.h"

namespace wox::primitives {

Rc indexEnumeration(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io) {
    values::Workspace& ws = cx.ws;
    std::vector<std::int64_t> at;
    std::vector<std::int32_t> dims;
    WOX_TRY(selectedPositions(ws, ws.at(x), indices, io, &at, &dims));
    if (dims.size() > 1) return kRankError;
    const auto n = static_cast<std::int32_t>(at.size());
    WorkTable<std::int32_t> picked;
    WOX_TRY(picked.allocate(ws.caps, at.size()));
    types::EnumerationHeader h;
    if (n > 0) {
        (void)types::readHeader(ws, ws.at(x), &h);  // a selection of one element has a block
        const std::int32_t* p = types::positionsOf(ws, ws.at(x));
        for (std::int32_t j = 0; j < n; ++j) picked[static_cast<std::uint64_t>(j)] = p[at[static_cast<std::size_t>(j)]];
    }
    char* out;
    WOX_TRY(values::makeResult(ws, result, kEnumeration, dims.data(), static_cast<int>(dims.size()), &out));
    if (n == 0) return kOk;
    std::memcpy(out, &h, sizeof h);
    std::memcpy(out + types::kEnumerationHeaderBytes, picked.data(), 4 * static_cast<std::size_t>(n));
    return kOk;
}

Rc assignIntoEnumeration(values::Context& cx, int target, ValueRef v, std::span<const ValueRef> indices, int io) {
    values::Workspace& ws = cx.ws;
    std::vector<std::int64_t> at;
    std::vector<std::int32_t> dims;
    WOX_TRY(selectedPositions(ws, ws.var(target), indices, io, &at, &dims));
    const ValueDescriptor& vd = ws.at(v);
    if (vd.unset()) return kValueError;
    if (vd.type > kTemporal && vd.type != kEnumeration) return kDomainError;
    const bool single = vd.count == 1 && vd.rank <= 1;
    if (!single && (vd.rank != static_cast<int>(dims.size()) || vd.count != static_cast<std::int64_t>(at.size())))
        return kLengthError;
    if (at.empty()) return kOk;
    types::EnumerationHeader h;
    (void)types::readHeader(ws, ws.var(target), &h);  // not empty: a position was selected
    WorkTable<std::int32_t> positions;
    WOX_TRY(positions.allocate(ws.caps, static_cast<std::uint64_t>(vd.count)));
    WOX_TRY(positionsOfValue(ws, types::currentDomain(ws, ws.var(target)), h, vd, positions.data()));
    for (std::int32_t j = 0; j < vd.count; ++j)
        if (positions[static_cast<std::uint64_t>(j)] == kNotInDomain) return kDomainError;
    // Every check has passed and nothing was allocated from the heap: the
    // store is made in place.
    std::int32_t* stored = types::positionsOf(ws, ws.var(target));
    const std::uint64_t step = single ? 0 : 1;
    for (std::size_t k = 0; k < at.size(); ++k) stored[at[k]] = positions[step * k];
    return kOk;
}

}  // namespace wox::primitives
