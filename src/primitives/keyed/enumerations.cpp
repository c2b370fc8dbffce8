// Making enumerations, taking them apart, and comparing them. Every routine
// reads what it needs from its arguments into working memory before its
// result is allocated, since the allocation may move owned blocks (the
// domain's among them) and the result slot may be an argument's.
#include "primitives/keyed/enumerations.h"

#include <cstring>

#include "primitives/keyed/domain_search.h"
#include "primitives/scalar_seams.h"
#include "primitives/search_keys.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "primitives/work_table.h"
#include "types/enumeration.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

using types::Domain;
using types::EnumerationHeader;

// Writes an enumeration of `n` positions (a scalar when rank is 0).
Rc writeEnumeration(values::Workspace& ws, int result, const EnumerationHeader& h, int rank, std::int32_t n,
                    const std::int32_t* positions) {
    char* out;
    WOX_TRY(values::makeResult(ws, result, kEnumeration, &n, rank, &out));
    if (n == 0) return kOk;
    std::memcpy(out, &h, sizeof h);
    std::memcpy(out + types::kEnumerationHeaderBytes, positions, 4 * static_cast<std::size_t>(n));
    return kOk;
}

}  // namespace

Rc enumerate(values::Context& cx, int result, std::int32_t name, int domainSlot, ValueRef v) {
    values::Workspace& ws = cx.ws;
    Domain dom;
    WOX_TRY(types::domainOf(ws, ws.var(domainSlot), &dom));
    const ValueDescriptor vd = ws.at(v);
    if (vd.unset()) return kValueError;
    if (vd.rank > 1) return kRankError;
    if (vd.type == kGeneral || (vd.type > kTemporal && vd.type != kEnumeration)) return kDomainError;
    const EnumerationHeader h{name, varRef(domainSlot)};
    WorkTable<std::int32_t> positions;
    WOX_TRY(positions.allocate(ws.caps, static_cast<std::uint64_t>(vd.count)));
    WOX_TRY(positionsOfValue(ws, dom, h, vd, positions.data()));
    for (std::int32_t j = 0; j < vd.count; ++j)
        if (positions[static_cast<std::uint64_t>(j)] == kNotInDomain) return kDomainError;
    return writeEnumeration(ws, result, h, vd.rank, vd.count, positions.data());
}

Rc enumerationValues(values::Context& cx, int result, ValueRef e) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor ed = ws.at(e);
    if (ed.unset()) return kValueError;
    if (ed.type != kEnumeration) return kTypeError;
    const std::int32_t n = ed.count;
    WorkTable<std::int32_t> positions;
    WOX_TRY(positions.allocate(ws.caps, static_cast<std::uint64_t>(n)));
    if (n > 0) std::memcpy(positions.data(), types::positionsOf(ws, ed), 4 * static_cast<std::size_t>(n));
    types::EnumerationHeader h;
    const int slot = types::readHeader(ws, ed, &h) ? types::domainSlot(ws, h) : -1;
    const Domain dom = types::domainInSlot(ws, slot);
    const bool within = dom.column && types::allWithin(ws, ed, dom.length);
    const std::int32_t type = within ? dom.column->type : kInteger;
    char* out;
    WOX_TRY(values::makeResult(ws, result, type, &n, ed.rank, &out));
    if (n == 0) return kOk;
    if (!within) {
        std::memcpy(out, positions.data(), 4 * static_cast<std::size_t>(n));
        return kOk;
    }
    // The result's block may have moved the domain's: read it afresh.
    const Domain now = types::domainInSlot(ws, slot);
    const int stride = elementStride(type);
    const char* de = ws.elems<char>(*now.column);
    for (std::int32_t j = 0; j < n; ++j)
        std::memcpy(out + std::int64_t{j} * stride, de + std::int64_t{positions[static_cast<std::uint64_t>(j)]} * stride,
                    static_cast<std::size_t>(stride));
    return kOk;
}

Rc indexInEnumeration(values::Context& cx, int result, ValueRef x, ValueRef y, int origin) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor xd = ws.at(x), yd = ws.at(y);
    if (yd.type > kTemporal && yd.type != kEnumeration) return kDomainError;
    if (yd.type == kGeneral) return kDomainError;
    WorkTable<std::int32_t> px, py;
    WOX_TRY(px.allocate(ws.caps, static_cast<std::uint64_t>(xd.count)));
    WOX_TRY(py.allocate(ws.caps, static_cast<std::uint64_t>(yd.count)));
    EnumerationHeader h;
    if (types::readHeader(ws, xd, &h)) {
        std::memcpy(px.data(), types::positionsOf(ws, xd), 4 * static_cast<std::size_t>(xd.count));
        WOX_TRY(positionsOfValue(ws, types::currentDomain(ws, xd), h, yd, py.data()));
    } else {
        for (std::int32_t j = 0; j < yd.count; ++j) py[static_cast<std::uint64_t>(j)] = kNotInDomain;
    }
    const SmallDims dims = Arg(ws, y).dims(ws);
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kInteger, dims.data(), yd.rank, &bytes));
    if (yd.count == 0) return kOk;
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    WOX_TRY(firstPositionsInt<false>(ws.caps, xd.count, px.data(), yd.count, py.data(), out));
    for (std::int32_t j = 0; j < yd.count; ++j) out[j] += origin;
    return kOk;
}

namespace {

// Both sides are brought to positions in the domain of the enumerated one
// (the left when both are): same positions, same element. A value with no
// position there equals nothing.
Rc equalThroughDomain(values::Workspace& ws, int code, int result, ValueRef left, ValueRef right) {
    ValueDescriptor a = ws.at(left), b = ws.at(right);
    if (a.type != kEnumeration) std::swap(a, b);
    if (b.type == kGeneral) return kDomainError;  // items are no domain elements
    const bool aSingle = a.count == 1, bSingle = b.count == 1;
    const bool shapeOfB = aSingle && (!bSingle || b.rank > a.rank);
    const std::int32_t n = shapeOfB ? b.count : a.count;
    const int rank = shapeOfB ? b.rank : a.rank;
    EnumerationHeader h;
    WorkTable<std::int32_t> pa, pb;
    WOX_TRY(pa.allocate(ws.caps, static_cast<std::uint64_t>(a.count)));
    WOX_TRY(pb.allocate(ws.caps, static_cast<std::uint64_t>(b.count)));
    if (types::readHeader(ws, a, &h)) {
        std::memcpy(pa.data(), types::positionsOf(ws, a), 4 * static_cast<std::size_t>(a.count));
        WOX_TRY(positionsOfValue(ws, types::currentDomain(ws, a), h, b, pb.data()));
    }
    char* bytes;
    WOX_TRY(values::makeResult(ws, result, kBoolean, &n, rank, &bytes));
    if (n == 0) return kOk;
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    const std::int32_t differ = code == vocabulary::code::kNotEqual ? 1 : 0;
    const std::uint64_t sa = aSingle ? 0 : 1, sb = bSingle ? 0 : 1;
    for (std::int32_t i = 0; i < n; ++i)
        out[i] = (pa[sa * static_cast<std::uint64_t>(i)] == pb[sb * static_cast<std::uint64_t>(i)]) ^ differ;
    return kOk;
}

}  // namespace

Rc enumerationEquality(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    Rc rc = equalThroughDomain(cx.ws, code, result, left, right);
    return rc.failed() ? cx.fail(rc.code) : rc;
}

}  // namespace wox::primitives
