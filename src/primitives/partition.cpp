// Partition lengths ||b (the distances between the 1s of b, the last one to
// the end) and partition x||y (consecutive pieces of y of the lengths x).
#include <cstring>
#include <vector>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

Rc partitionLengths(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg b(ws, right);
    if (b.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isIntegralType(b.d.type) || b.d.rank > 1) return kDomainError;
    const std::int32_t* bs = b.as<std::int32_t>(ws);
    std::int64_t ones = 0;
    for (std::int32_t i = 0; i < b.d.count; ++i) {
        if (bs[i] != 0 && bs[i] != 1) return kDomainError;
        ones += bs[i];
    }
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, ones, &bytes));
    if (ones == 0) return kOk;
    b.refresh(ws, result);
    bs = b.as<std::int32_t>(ws);
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    std::int64_t k = -1;
    std::int32_t last = 0;
    for (std::int32_t i = 0; i < b.d.count; ++i) {
        if (!bs[i]) continue;
        if (k >= 0) out[k] = i - last;
        ++k;
        last = i;
    }
    out[k] = b.d.count - last;
    return kOk;
}

Rc partition(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!isIntegralType(x.d.type) || x.d.rank > 1) return kDomainError;
    if (!isSimple(y.d.type)) return kDomainError;
    if (y.d.rank > 1) return kRankError;
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < x.d.count; ++i) {
        if (xs[i] < 0) return kDomainError;
        total += xs[i];
    }
    // Every element of y lands in exactly one piece.
    if (total != y.d.count) return kLengthError;
    std::vector<std::int32_t> lengths(xs, xs + x.d.count);

    char* out;
    WOX_TRY(makeVector(ws, result, kGeneral, x.d.count, &out));
    if (!out) return kOk;
    const int w = elementStride(y.d.type);
    return ownItems(ws, result, [&] {
        y.refresh(ws, result);
        auto* items = reinterpret_cast<ValueDescriptor*>(ws.base() + ws.var(result).data);
        std::uint32_t at = y.offset;
        const char* single = y.bytes(ws);
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            // A piece points into y until it gets a block of its own.
            ValueDescriptor piece;
            piece.type = y.d.type;
            piece.rank = 1;
            piece.count = lengths[i];
            if (isInline(piece)) {
                std::memcpy(&piece.shape0, isInline(y.d) ? single : ws.base() + at, static_cast<std::size_t>(w));
            } else if (piece.count > 0) {
                piece.shape0 = piece.count;
                piece.data = at;
                piece.blockSize = 1;
            }
            at += static_cast<std::uint32_t>(lengths[i]) * static_cast<std::uint32_t>(w);
            items[i] = piece;
        }
    });
}

}  // namespace wox::primitives
