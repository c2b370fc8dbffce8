// Take x^.y and drop x!.y. Drop is take with converted counts. The result is
// filled with the fill element where it reaches beyond the argument, and the
// box where both overlap is copied as runs along the last axis.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "primitives/keyed/keyed_rows.h"
#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

struct TakePlan {
    int rank = 0;
    SmallDims src{0};     // argument dimensions (a scalar counts as a 1-vector)
    SmallDims dims{0};    // result dimensions
    std::vector<std::int64_t> start;  // argument index of result index 0, per axis
    bool padded = false;
};

// Reads x against y; counts are in take terms once `convert` (drop) has run.
Rc plan(const values::Workspace& ws, const Arg& x, const Arg& y, bool isDrop, TakePlan& p) {
    WOX_TRY(integralList(x));
    p.rank = y.d.rank == 0 ? 1 : y.d.rank;
    if (x.d.count != p.rank) return kLengthError;
    p.src = SmallDims(p.rank);
    p.dims = SmallDims(p.rank);
    p.start.assign(static_cast<std::size_t>(p.rank), 0);
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    for (int k = 0; k < p.rank; ++k) {
        const std::int64_t d = y.d.rank == 0 ? 1 : y.dim(ws, k);
        p.src[k] = static_cast<std::int32_t>(d);
        std::int64_t n = xs[k];
        if (isDrop) n = std::llabs(n) >= d ? 0 : n >= 0 ? n - d : n + d;
        const std::int64_t len = std::llabs(n);
        if (len > values::kMaxElements) return kWorkspaceFull;
        p.dims[k] = static_cast<std::int32_t>(len);
        p.start[static_cast<std::size_t>(k)] = n >= 0 ? 0 : d + n;
        if (len > d) p.padded = true;
    }
    return kOk;
}

// Fills the result and copies the overlapping box.
void layout(values::Workspace& ws, const TakePlan& p, const Arg& y, char* out, const Fill& fill) {
    const int w = elementStride(fill.type);
    std::int64_t n = values::elementCount(p.dims.data(), p.rank);
    if (p.padded) writeFill(fill, out, n);
    std::vector<std::int64_t> lo(static_cast<std::size_t>(p.rank)), hi(lo);
    for (int k = 0; k < p.rank; ++k) {
        const auto i = static_cast<std::size_t>(k);
        lo[i] = p.start[i] < 0 ? -p.start[i] : 0;
        hi[i] = p.dims[k] < p.src[k] - p.start[i] ? p.dims[k] : p.src[k] - p.start[i];
        if (lo[i] >= hi[i]) return;
    }
    const int last = p.rank - 1;
    const std::size_t run = static_cast<std::size_t>(hi[static_cast<std::size_t>(last)] - lo[static_cast<std::size_t>(last)]) *
                            static_cast<std::size_t>(w);
    const char* src = y.bytes(ws);
    std::vector<std::int64_t> at(lo);  // result index of the current run
    for (;;) {
        std::int64_t ri = 0, si = 0;
        for (int k = 0; k < p.rank; ++k) {
            const auto i = static_cast<std::size_t>(k);
            ri = ri * p.dims[k] + at[i];
            si = si * p.src[k] + at[i] + p.start[i];
        }
        std::memcpy(out + ri * w, src + si * w, run);
        int k = last - 1;
        for (; k >= 0; --k) {
            const auto i = static_cast<std::size_t>(k);
            if (++at[i] < hi[i]) break;
            at[i] = lo[i];
        }
        if (k < 0) return;
    }
}

// Tables, keyed tables, dictionaries and enumerations are taken and dropped
// by whole rows (entries, elements) under one count. No row can stand for a
// fill (a key would repeat, a domain has no blank), so taking more rows than
// there are is a length error.
Rc takeOrDropRows(values::Context& cx, int result, const Arg& x, const Arg& y, bool isDrop) {
    WOX_TRY(integralList(x));
    if (x.d.count != 1) return kLengthError;
    const std::int64_t d = rowCountOf(cx.ws, y.d);
    std::int64_t n = x.as<std::int32_t>(cx.ws)[0];
    if (isDrop) n = std::llabs(n) >= d ? 0 : n >= 0 ? n - d : n + d;
    if (std::llabs(n) > d) return kLengthError;
    std::vector<std::int32_t> rows(static_cast<std::size_t>(std::llabs(n)));
    const std::int64_t start = n >= 0 ? 0 : d + n;
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::int32_t>(start + static_cast<std::int64_t>(i));
    return selectRows(cx, result, y.ref, rows);
}

Rc takeOrDrop(values::Context& cx, int result, ValueRef left, ValueRef right, bool isDrop) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (movesByRows(y.d.type)) return takeOrDropRows(cx, result, x, y, isDrop);
    if (!isMovable(y.d.type)) return kDomainError;
    TakePlan p;
    WOX_TRY(plan(ws, x, y, isDrop, p));
    const Fill fill = fillOf(ws, y);
    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, p.dims.data(), p.rank, &out));
    if (!out) return kOk;
    y.refresh(ws, result);
    if (y.d.type != kGeneral) {
        layout(ws, p, y, out, fill);
        return kOk;
    }
    return ownItems(ws, result, [&] {
        y.refresh(ws, result);
        layout(ws, p, y, ws.base() + ws.var(result).data, fill);
    });
}

}  // namespace

Rc take(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    return takeOrDrop(cx, result, left, right, false);
}

Rc drop(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    return takeOrDrop(cx, result, left, right, true);
}

}  // namespace wox::primitives
