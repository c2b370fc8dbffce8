// Transpose: &.y reverses the order of the axes; x&.y sends axis k of y to
// axis x[k] of the result, and axes sent to the same place are walked
// together (their diagonal). Both walk the result in row-major order with
// the source stride of every result axis.
#include <cstring>
#include <vector>

#include "primitives/keyed/keyed.h"
#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// out[i] = src[sum of index_k * stride_k] over the result's axes.
void gather(char* out, const char* src, const SmallDims& dims, const std::vector<std::int64_t>& stride, int w) {
    const int rank = dims.rank();
    std::int64_t n = values::elementCount(dims.data(), rank);
    if (n <= 0) return;
    const std::size_t width = static_cast<std::size_t>(w);
    if (rank == 2 && w == 4) {
        // The common case: a matrix of 32-bit elements.
        auto* o = reinterpret_cast<std::int32_t*>(out);
        const auto* s = reinterpret_cast<const std::int32_t*>(src);
        for (std::int64_t i = 0; i < dims[0]; ++i)
            for (std::int64_t j = 0; j < dims[1]; ++j) *o++ = s[i * stride[0] + j * stride[1]];
        return;
    }
    std::vector<std::int64_t> at(static_cast<std::size_t>(rank), 0);
    std::int64_t offset = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        std::memcpy(out + static_cast<std::size_t>(i) * width, src + static_cast<std::size_t>(offset) * width, width);
        for (int k = rank - 1; k >= 0; --k) {
            const auto u = static_cast<std::size_t>(k);
            offset += stride[u];
            if (++at[u] < dims[k]) break;
            offset -= stride[u] * at[u];
            at[u] = 0;
        }
    }
}

std::vector<std::int64_t> stridesOf(const SmallDims& dims) {
    std::vector<std::int64_t> s(static_cast<std::size_t>(dims.rank()), 1);
    for (int k = dims.rank() - 2; k >= 0; --k) s[static_cast<std::size_t>(k)] = s[static_cast<std::size_t>(k) + 1] * dims[k + 1];
    return s;
}

Rc arrange(values::Workspace& ws, int result, Arg& y, const SmallDims& dims, const std::vector<std::int64_t>& stride) {
    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, dims.data(), dims.rank(), &out));
    if (!out) return kOk;
    y.refresh(ws, result);
    gather(out, y.bytes(ws), dims, stride, elementStride(y.d.type));
    return kOk;
}

}  // namespace

Rc transpose(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (y.d.type == kDictionary || y.d.type == kTable) return flip(cx, result, right);
    if (!isSimple(y.d.type)) return kDomainError;
    const int rank = y.d.rank;
    SmallDims own = y.dims(ws);
    std::vector<std::int64_t> ownStride = stridesOf(own);
    SmallDims dims(rank);
    std::vector<std::int64_t> stride(static_cast<std::size_t>(rank));
    for (int k = 0; k < rank; ++k) {
        dims[k] = own[rank - 1 - k];
        stride[static_cast<std::size_t>(k)] = ownStride[static_cast<std::size_t>(rank - 1 - k)];
    }
    return arrange(ws, result, y, dims, stride);
}

Rc transposeAxes(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!isIntegralType(x.d.type)) return kDomainError;
    if (x.d.rank > 1) return kRankError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isSimple(y.d.type)) return kDomainError;
    const int rank = y.d.rank;
    if (x.d.count != rank) return kLengthError;
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    int resultRank = 0;
    for (int k = 0; k < rank; ++k) {
        std::int64_t a = static_cast<std::int64_t>(xs[k]) - origin;
        if (a < 0 || a >= rank) return kDomainError;
        if (a + 1 > resultRank) resultRank = static_cast<int>(a + 1);
    }
    // Every result axis must be the image of some axis of y.
    SmallDims own = y.dims(ws);
    std::vector<std::int64_t> ownStride = stridesOf(own);
    SmallDims dims(resultRank);
    std::vector<std::int64_t> stride(static_cast<std::size_t>(resultRank), 0);
    std::vector<bool> seen(static_cast<std::size_t>(resultRank), false);
    bool diagonal = false;
    for (int k = 0; k < rank; ++k) {
        const int a = xs[k] - origin;
        const auto u = static_cast<std::size_t>(a);
        if (seen[u]) {
            diagonal = true;
            if (own[k] < dims[a]) dims[a] = own[k];
        } else {
            dims[a] = own[k];
        }
        seen[u] = true;
        stride[u] += ownStride[static_cast<std::size_t>(k)];
    }
    for (bool s : seen)
        if (!s) return kDomainError;
    if (diagonal && y.d.count == 0) return kLengthError;
    return arrange(ws, result, y, dims, stride);
}

}  // namespace wox::primitives
