// Matrix divide and inverse: argument checks, shapes, and the working memory,
// which comes from the free heap above the stack and must fit there.
#include "primitives/matrix_divide.h"

#include "numeric/linear_solve.h"
#include "primitives/heap_scratch.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

bool isRealType(std::int32_t type) { return type >= kBoolean && type <= kFloat; }

// A vector counts as one column, a scalar as one row of one column.
std::int32_t rowsOf(const values::Workspace& ws, const Arg& a) {
    if (a.d.rank == 0) return 1;
    if (a.d.rank == 1) return a.d.count;
    return a.dim(ws, 0);
}
std::int32_t colsOf(const values::Workspace& ws, const Arg& a) { return a.d.rank == 2 ? a.dim(ws, 1) : 1; }

numeric::Matrix matrixOf(const values::Workspace& ws, const Arg& a) {
    return numeric::Matrix{a.bytes(ws), a.d.type, rowsOf(ws, a), colsOf(ws, a)};
}

// A Float result of the given dimensions (an empty one is Integer).
Rc floatResult(values::Workspace& ws, int result, const SmallDims& dims, double** out) {
    std::int64_t n = values::elementCount(dims.data(), dims.rank());
    char* bytes = nullptr;
    WOX_TRY(values::makeResult(ws, result, n == 0 ? kInteger : kFloat, dims.data(), dims.rank(), &bytes));
    *out = n == 0 ? nullptr : reinterpret_cast<double*>(bytes);
    return kOk;
}

// Makes room for `bytes` of working memory above the stack, compacting the
// heap when the free space is short; the arguments are re-read after.
Rc roomFor(values::Workspace& ws, std::uint64_t bytes, int result, Arg& a, Arg* b) {
    if (bytes > ws.freeBytes()) ws.compact();
    a.refresh(ws, result);
    if (b) b->refresh(ws, result);
    return bytes > ws.freeBytes() ? kWorkspaceFull : kOk;
}

}  // namespace

Rc matrixDivide(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left), y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!isRealType(x.d.type) || !isRealType(y.d.type)) return kDomainError;
    if (x.d.rank > 2 || y.d.rank > 2) return kRankError;
    const bool singles = x.d.count == 1 && y.d.count == 1;
    if (!singles && rowsOf(ws, x) != rowsOf(ws, y)) return kRankError;
    const std::int32_t n = colsOf(ws, y), k = colsOf(ws, x);
    // A scalar when neither is a matrix; n values for a vector (or scalar)
    // x; else cols(y) by cols(x).
    SmallDims dims(x.d.rank == 2 ? 2 : (y.d.rank == 2 ? 1 : 0));
    if (dims.rank() >= 1) dims[0] = n;
    if (dims.rank() == 2) dims[1] = k;
    double* out = nullptr;
    WOX_TRY(floatResult(ws, result, dims, &out));
    if (!out) return kOk;
    const std::int32_t m = rowsOf(ws, y);
    WOX_TRY(roomFor(ws, numeric::matrixDivideScratchBytes(m, n, k), result, x, &y));
    out = reinterpret_cast<double*>(values::resultElements(cx, result));
    HeapScratch scratch(ws, HeapScratch::Beyond::Nothing);
    return numeric::matrixDivide(matrixOf(ws, x), matrixOf(ws, y), out, scratch.scratch());
}

Rc matrixInverse(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (!isRealType(y.d.type)) return kDomainError;
    if (y.d.rank > 2) return kRankError;
    const std::int32_t n = rowsOf(ws, y);
    if (y.d.rank == 2 && colsOf(ws, y) != n) return kDomainError;
    double* out = nullptr;
    WOX_TRY(floatResult(ws, result, y.dims(ws), &out));
    if (!out) return kOk;
    y.refresh(ws, result);
    if (y.d.rank < 2) return numeric::vectorPseudoInverse(y.bytes(ws), y.d.type, y.d.count, out);
    WOX_TRY(roomFor(ws, numeric::matrixInverseScratchBytes(n), result, y, nullptr));
    out = reinterpret_cast<double*>(values::resultElements(cx, result));
    HeapScratch scratch(ws, HeapScratch::Beyond::Nothing);
    return numeric::matrixInverse(matrixOf(ws, y), out, scratch.scratch());
}

}  // namespace wox::primitives
