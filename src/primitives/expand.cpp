// Expand x\y along the last axis, x\.y along the first: one result item per
// element of x, the next item of y for a 1 and the fill element for a 0.
#include <cstring>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "primitives/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

Rc expand(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!isIntegralType(x.d.type)) return kDomainError;
    if (x.d.rank > 1) return kRankError;
    if (!isSimple(y.d.type)) return kDomainError;
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    std::int64_t ones = 0;
    for (std::int32_t i = 0; i < x.d.count; ++i) {
        if (xs[i] != 0 && xs[i] != 1) return kDomainError;
        ones += xs[i];
    }
    // A scalar y stands for as many items as x has 1s.
    const bool scalarY = y.d.rank == 0;
    const int rank = scalarY ? 1 : y.d.rank;
    int axis = code == code::kExpandFirst ? 0 : rank - 1;
    // The axis forms x\[k]y; the primitive table does not route them here yet.
    if (code > code::kExpandAxisBase && code <= code::kExpandAxisBase + code::kMaxAxis) {
        axis = code - code::kExpandAxisBase;
        if (axis >= rank) return kAxisError;
    }
    SmallDims dims = scalarY ? SmallDims(1) : y.dims(ws);
    if (scalarY) dims[0] = static_cast<std::int32_t>(ones);
    if (dims[axis] != ones) return kLengthError;
    std::int64_t outer = 1, inner = 1;
    for (int k = 0; k < rank; ++k) {
        if (k < axis) outer *= dims[k];
        if (k > axis) inner *= dims[k];
    }
    const std::int64_t length = dims[axis];
    dims[axis] = x.d.count;

    char* out;
    WOX_TRY(makeResult(ws, result, y.d.type, dims.data(), rank, &out));
    if (!out) return kOk;
    x.refresh(ws, result);
    y.refresh(ws, result);
    xs = x.as<std::int32_t>(ws);
    const char* src = y.bytes(ws);
    const std::size_t item = static_cast<std::size_t>(inner) * static_cast<std::size_t>(elementStride(y.d.type));
    for (std::int64_t o = 0; o < outer; ++o) {
        const char* from = scalarY ? src : src + static_cast<std::size_t>(o * length) * item;
        for (std::int32_t i = 0; i < x.d.count; ++i) {
            if (xs[i]) {
                std::memcpy(out, from, item);
                if (!scalarY) from += item;
            } else {
                writeFill(y.d.type, out, inner);
            }
            out += item;
        }
    }
    return kOk;
}

}  // namespace wox::primitives
