// Index of x!y and membership x?y: where each element of y first occurs in
// the vector x, and whether each element of x occurs in y.
#include <cstdint>
#include <vector>

#include "primitives/keyed/enumerations.h"
#include "primitives/keyed/keyed_rows.h"
#include "primitives/search.h"
#include "primitives/search_keys.h"
#include "primitives/structural_result.h"
#include "values/keyed_value.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// Types the searches read; a dictionary, table or enumeration on the left
// has a lookup of its own. Temporal words are equal exactly when kind and
// moment are, so a value of another kind is not found, as a number is not
// among symbols.
bool searchable(std::int32_t type) { return type <= kSymbol || type == kTemporal; }

}  // namespace

Rc indexOf(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (x.d.type == kEnumeration) return indexInEnumeration(cx, result, left, right, origin);
    if (isPlainDictionary(x.d)) return keyOfValue(cx, result, left, right);
    if (isTable(x.d)) return rowOfRecord(cx, result, left, right, origin);
    // An enumeration on the right is searched for as its elements read.
    std::int32_t yType = y.d.type;
    std::vector<std::uint64_t> yPlain;
    if (yType == kEnumeration) elementsThroughDomain(ws, y.d, &yType, yPlain);
    if (!searchable(x.d.type) || !searchable(yType)) return kDomainError;
    if (x.d.rank > 1) return kRankError;
    SmallDims dims = y.dims(ws);
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kInteger, dims.data(), y.d.rank, &bytes));
    if (y.d.count == 0) return kOk;
    x.refresh(ws, result);
    y.refresh(ws, result);
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    AlignedElements xe, ye;
    const char* ys = yPlain.empty() ? ye.at(ws, y) : reinterpret_cast<const char*>(yPlain.data());
    WOX_TRY(searchElements(ws.caps, false, x.d.type, xe.at(ws, x), x.d.count, yType, ys, y.d.count, out));
    if (origin != 0)
        for (std::int32_t j = 0; j < y.d.count; ++j) out[j] += origin;
    return kOk;
}

Rc membership(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!searchable(x.d.type) || !searchable(y.d.type)) return kDomainError;
    SmallDims dims = x.dims(ws);
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kBoolean, dims.data(), x.d.rank, &bytes));
    if (x.d.count == 0) return kOk;
    x.refresh(ws, result);
    y.refresh(ws, result);
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    AlignedElements xe, ye;
    return searchElements(ws.caps, true, y.d.type, ye.at(ws, y), y.d.count, x.d.type, xe.at(ws, x), x.d.count, out);
}

}  // namespace wox::primitives
