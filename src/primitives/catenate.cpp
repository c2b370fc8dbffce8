// Catenate x,y along an axis, laminate x,[a]y along a new axis, and raze.
// Both arguments are brought to one shape frame: the joining axis splits
// each into `outer` slabs of `length * inner` elements, and the result is the
// left slab and the right slab for every outer index. A single side is one
// element repeated over its slab.
#include <cstring>

#include "primitives/element_convert.h"
#include "primitives/keyed/keyed.h"
#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "primitives/temporal_kinds.h"
#include "vocabulary/vocabulary.h"
#include "values/keyed_value.h"
#include "values/messages.h"
#include "values/narrowing.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

struct Side {
    Arg* arg;
    bool repeat;          // one element standing for a whole slab
    std::int64_t slab;    // elements of one slab
};

// Lays out the slabs of both sides, `outer` times.
void joinSlabs(values::Workspace& ws, char* out, std::int32_t type, Side a, Side b, std::int64_t outer) {
    const std::size_t w = static_cast<std::size_t>(elementStride(type));
    const char* pa = a.arg->bytes(ws);
    const char* pb = b.arg->bytes(ws);
    const std::size_t wa = static_cast<std::size_t>(elementStride(a.arg->d.type));
    const std::size_t wb = static_cast<std::size_t>(elementStride(b.arg->d.type));
    for (std::int64_t o = 0; o < outer; ++o) {
        convertRun(out, type, a.repeat ? pa : pa + static_cast<std::size_t>(o * a.slab) * wa, a.arg->d.type, a.slab, a.repeat);
        out += static_cast<std::size_t>(a.slab) * w;
        convertRun(out, type, b.repeat ? pb : pb + static_cast<std::size_t>(o * b.slab) * wb, b.arg->d.type, b.slab, b.repeat);
        out += static_cast<std::size_t>(b.slab) * w;
    }
}

// Fills the result (simple, or General with items to copy afterwards) and
// narrows a numeric mix that went through Float.
Rc finish(values::Workspace& ws, int result, std::int32_t type, char* out, Side a, Side b, std::int64_t outer) {
    a.arg->refresh(ws, result);
    b.arg->refresh(ws, result);
    if (type != kGeneral) {
        if (out) joinSlabs(ws, out, type, a, b, outer);
        if (type == kFloat && (a.arg->d.type != kFloat || b.arg->d.type != kFloat)) values::narrow(ws, ws.var(result));
        return kOk;
    }
    if (!out) return kOk;
    return ownItems(ws, result, [&] {
        a.arg->refresh(ws, result);
        b.arg->refresh(ws, result);
        joinSlabs(ws, ws.base() + ws.var(result).data, type, a, b, outer);
    });
}

// The kind of a temporal side, from a pass over its words.
std::int32_t sideKind(const values::Workspace& ws, const Arg& s) {
    return s.d.type == kTemporal ? kindOfWords(s.as<std::int64_t>(ws), s.d.count) : kNoKind;
}

// The result type; Temporal sides must also be of one kind, whatever the
// unlike types give.
Rc joinTypes(const values::Workspace& ws, const Arg& x, const Arg& y, std::int32_t* type, int unlike) {
    if (!isMovable(x.d.type) || !isMovable(y.d.type)) return kDomainError;
    std::int32_t t = joinedType(x.d.type, x.d.count == 0, y.d.type, y.d.count == 0);
    if (t < 0) return unlike;
    if (t == kTemporal) WOX_TRY(sameKind(sideKind(ws, x), sideKind(ws, y)));
    *type = t;
    return kOk;
}

}  // namespace

Rc catenate(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (isTable(ws.at(left)) && code == vocabulary::code::kCatenate) return appendRows(cx, result, left, right);
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    std::int32_t type;
    WOX_TRY(joinTypes(ws, x, y, &type, kDomainError));

    // A scalar, or a one-element side of lower rank, is extended.
    const bool xExt = x.d.rank == 0 || (x.d.count == 1 && x.d.rank < y.d.rank);
    const bool yExt = y.d.rank == 0 || (y.d.count == 1 && y.d.rank < x.d.rank);
    int rank = x.d.rank > y.d.rank ? x.d.rank : y.d.rank;
    if (rank == 0) rank = 1;
    if (!xExt && !yExt && (x.d.rank - y.d.rank > 1 || y.d.rank - x.d.rank > 1)) return kRankError;

    int axis = rank - 1;
    if (code == vocabulary::code::kCatenateFirst) {
        axis = 0;
    } else if (code > vocabulary::code::kCatenateAxisBase && code <= vocabulary::code::kCatenateAxisBase + vocabulary::code::kMaxAxis) {
        axis = code - vocabulary::code::kCatenateAxisBase;
        if (axis >= rank) return kAxisError;
    }

    // Each side's shape in the frame of the result: a side one rank short
    // has a unit axis at the joining axis; an extended side has the other
    // side's shape with a unit joining axis.
    auto frame = [&](const Arg& s, SmallDims& f) {
        SmallDims own = s.dims(ws);
        for (int k = 0, j = 0; k < rank; ++k) f[k] = s.d.rank == rank ? own[k] : k == axis ? 1 : own[j++];
    };
    auto extended = [&](const SmallDims& other, SmallDims& f) {
        for (int k = 0; k < rank; ++k) f[k] = k == axis ? 1 : other[k];
    };
    SmallDims fx(rank), fy(rank);
    if (!xExt) frame(x, fx);
    if (!yExt) frame(y, fy);
    if (xExt && yExt) {
        fx[0] = fy[0] = 1;
    } else if (xExt) {
        extended(fy, fx);
    } else if (yExt) {
        extended(fx, fy);
    }
    for (int k = 0; k < rank; ++k)
        if (k != axis && fx[k] != fy[k]) return kLengthError;

    SmallDims dims(rank);
    std::int64_t outer = 1, inner = 1;
    for (int k = 0; k < rank; ++k) {
        dims[k] = fx[k];
        if (k < axis) outer *= fx[k];
        if (k > axis) inner *= fx[k];
    }
    std::int64_t joined = static_cast<std::int64_t>(fx[axis]) + fy[axis];
    if (joined > values::kMaxElements) return kWorkspaceFull;
    dims[axis] = static_cast<std::int32_t>(joined);

    char* out;
    WOX_TRY(values::makeResult(ws, result, type, dims.data(), rank, &out));
    Side a{&x, xExt, fx[axis] * inner};
    Side b{&y, yExt, fy[axis] * inner};
    return finish(ws, result, type, out, a, b, outer);
}

Rc laminate(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    std::int32_t type;
    if (!isMovable(x.d.type) || !isMovable(y.d.type)) return kTypeError;
    WOX_TRY(joinTypes(ws, x, y, &type, kTypeError));
    if (type == kGeneral && (x.d.type != kGeneral || y.d.type != kGeneral)) return kTypeError;

    const bool xExt = x.d.rank == 0, yExt = y.d.rank == 0;
    const Arg& shaped = xExt ? y : x;
    if (!xExt && !yExt) {
        if (x.d.rank != y.d.rank) return kRankError;
        for (int k = 0; k < x.d.rank; ++k)
            if (x.dim(ws, k) != y.dim(ws, k)) return kLengthError;
    }
    const int axis = code - vocabulary::code::kLaminateFirst;
    const int inRank = shaped.d.rank;
    if (axis > inRank) return kAxisError;

    SmallDims own = shaped.dims(ws);
    SmallDims dims(inRank + 1);
    std::int64_t outer = 1, inner = 1;
    for (int k = 0, j = 0; k <= inRank; ++k) {
        if (k == axis) {
            dims[k] = 2;
            continue;
        }
        dims[k] = own[j];
        if (k < axis) outer *= own[j];
        else inner *= own[j];
        ++j;
    }
    char* out;
    WOX_TRY(values::makeResult(ws, result, type, dims.data(), inRank + 1, &out));
    return finish(ws, result, type, out, Side{&x, xExt, inner}, Side{&y, yExt, inner}, outer);
}

Rc raze(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor y = ws.at(right);
    if (y.unset()) return kValueError;
    if (y.type != kGeneral) return values::copyToTemp(ws, result, right);
    if (y.rank > 1) return kRankError;

    std::int32_t type = kInteger;
    bool typed = false;
    std::int64_t total = 0;
    std::int32_t kind = kNoKind;  // of the Temporal items, which matters for a Temporal result
    {
        const ValueDescriptor* items = ws.elems<ValueDescriptor>(y);
        for (std::int32_t i = 0; i < y.count; ++i) {
            const ValueDescriptor& it = items[i];
            if (!isMovable(it.type)) return kDomainError;
            total += it.count;
            kind = joinKinds(kind, kindOfValue(ws, it));
            if (it.count == 0) continue;
            std::int32_t t = typed ? joinedType(type, false, it.type, false) : it.type;
            if (t < 0) return kDomainError;
            type = t;
            typed = true;
        }
    }
    if (!typed && y.count > 0) type = ws.elems<ValueDescriptor>(y)[0].type;
    if (type == kTemporal && kind == kMixedKinds) return kDomainError;
    char* out;
    WOX_TRY(makeVector(ws, result, type, total, &out));
    if (total == 0) return kOk;
    const std::size_t w = static_cast<std::size_t>(elementStride(type));
    bool widened = false;
    // The items of a General result are first plain copies of the items'
    // items, which then get blocks of their own.
    auto lay = [&](char* to) {
        const ValueDescriptor* items = ws.elems<ValueDescriptor>(right == varRef(result) ? y : ws.at(right));
        for (std::int32_t i = 0; i < y.count; ++i) {
            const ValueDescriptor& it = items[i];
            convertRun(to, type, ws.elems<char>(it), it.type, it.count, false);
            widened |= it.count > 0 && it.type != type;
            to += static_cast<std::size_t>(it.count) * w;
        }
    };
    if (type == kGeneral) return ownItems(ws, result, [&] { lay(ws.base() + ws.var(result).data); });
    lay(out);
    if (type == kFloat && widened) values::narrow(ws, ws.var(result));
    return kOk;
}

}  // namespace wox::primitives
