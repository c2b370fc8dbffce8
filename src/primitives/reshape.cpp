// Shape, reshape, ravel and count: the functions that read or replace a
// value's shape and leave its elements in row-major order.
#include <cstring>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

// n elements of width w from a source of m elements, cyclically. The first
// pass copies the source once; then the filled part doubles itself, so a
// long result costs a few large copies however short the source is.
void cycleBytes(char* out, const char* src, std::int64_t m, std::int64_t n, int w) {
    if (n <= 0 || m <= 0) return;
    const std::size_t width = static_cast<std::size_t>(w);
    std::size_t total = static_cast<std::size_t>(n) * width;
    std::size_t done = static_cast<std::size_t>(m < n ? m : n) * width;
    std::memcpy(out, src, done);
    while (done < total) {
        std::size_t step = done < total - done ? done : total - done;
        std::memcpy(out + done, out, step);
        done += step;
    }
}

void setInteger(ValueDescriptor& d, std::int32_t v) {
    d = ValueDescriptor{};
    d.type = kInteger;
    d.count = 1;
    setInlineInt(d, v);
}

}  // namespace

Rc shapeOf(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    SmallDims dims = y.dims(ws);
    char* out;
    WOX_TRY(makeVector(ws, result, kInteger, y.d.rank, &out));
    if (y.d.rank > 0) std::memcpy(out, dims.data(), 4 * static_cast<std::size_t>(y.d.rank));
    return kOk;
}

Rc rankOf(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& y = ws.at(right);
    if (y.unset()) return kValueError;
    std::int32_t rank = y.rank;
    char* out;
    WOX_TRY(makeVector(ws, result, kInteger, 1, &out));
    std::memcpy(out, &rank, 4);
    return kOk;
}

Rc reshape(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    WOX_TRY(integralList(x));
    if (!isMovable(y.d.type)) return kDomainError;
    if (y.d.type == kGeneral && x.d.rank != 0) return kRankError;

    const int rank = x.d.rank == 0 ? 1 : x.d.count;
    SmallDims dims(rank);
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    for (int k = 0; k < rank; ++k) {
        if (xs[k] < 0) return kDomainError;
        dims[k] = xs[k];
    }
    std::int64_t n = values::elementCount(dims.data(), rank);
    if (n < 0) return kWorkspaceFull;
    if (n > 0 && y.d.count == 0) return kDomainError;

    // A result that replaces its argument keeps the block when it needs no
    // more elements than the block holds (not for characters, whose block
    // ends in a zero after the last one).
    if (right == varRef(result) && isSimple(y.d.type) && y.d.type != kChar && !isInline(y.d) && y.d.count >= n &&
        n > 1) {
        ValueDescriptor& d = ws.var(result);
        ValueDescriptor shaped = d;
        shaped.count = static_cast<std::int32_t>(n);
        WOX_TRY(values::setDimensions(ws, shaped, dims.data(), rank));
        if (rank == 1) shaped.shape0 = shaped.count;
        d = shaped;
        return kOk;
    }

    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, dims.data(), rank, &out));
    if (n == 0) return kOk;
    y.refresh(ws, result);
    const int w = elementStride(y.d.type);
    if (y.d.type != kGeneral) {
        cycleBytes(out, y.bytes(ws), y.d.count, n, w);
        return kOk;
    }
    return ownItems(ws, result, [&] {
        y.refresh(ws, result);
        cycleBytes(ws.base() + ws.var(result).data, y.bytes(ws), y.d.count, n, w);
    });
}

Rc ravel(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (y.d.type == kGeneral) {
        // The items stay as they are; a scalar or an array becomes a vector.
        WOX_TRY(values::copyToTemp(ws, result, right));
        ValueDescriptor& r = ws.var(result);
        r.rank = 1;
        r.shape0 = r.count;
        return kOk;
    }
    if (!isSimple(y.d.type)) return kDomainError;
    char* out;
    WOX_TRY(makeVector(ws, result, y.d.type, y.d.count, &out));
    if (y.d.count == 0) return kOk;
    y.refresh(ws, result);
    std::memmove(out, y.bytes(ws), static_cast<std::size_t>(y.d.count) * static_cast<std::size_t>(elementStride(y.d.type)));
    return kOk;
}

Rc countOf(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& y = ws.at(right);
    if (y.unset()) return kValueError;
    std::int32_t n = y.count;
    // A dictionary counts its keys, a table its rows (which its column list
    // keeps in shape word 0); a keyed table is a dictionary whose keys are a
    // table.
    auto itemsOf = [&](const ValueDescriptor& d) { return ws.elems<ValueDescriptor>(d); };
    auto rowsOf = [&](const ValueDescriptor& t) -> std::int32_t { return t.count < 2 ? 0 : itemsOf(t)[1].shape0; };
    if (y.type == kTable) {
        n = rowsOf(y);
    } else if (y.type == kDictionary && y.count >= 1) {
        const ValueDescriptor& keys = itemsOf(y)[0];
        n = keys.type == kTable ? rowsOf(keys) : keys.count;
    }
    setInteger(ws.var(result), n);
    return kOk;
}

}  // namespace wox::primitives
