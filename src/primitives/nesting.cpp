// The functions of nesting: enclose <.y makes a General scalar holding y;
// first ^.y takes the first element (the first item's value for a General
// y); partition x||y cuts a vector into a General vector of pieces, and
// partition lengths ||b gives the lengths that the 1s of b mark out.
#include <cstring>
#include <vector>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {

Rc enclose(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (ws.at(right).unset()) return kValueError;
    char* out;
    WOX_TRY(values::makeResult(ws, result, kGeneral, nullptr, 0, &out));
    return ownItems(ws, result, [&] {
        ValueDescriptor item = ws.at(right);
        std::memcpy(ws.base() + ws.var(result).data, &item, sizeof item);
    });
}

Rc first(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (y.d.count == 0) {
        char* out;
        return makeVector(ws, result, kInteger, 0, &out);
    }
    if (holdsDescriptors(y.d.type)) {
        if (y.d.type != kGeneral) return kDomainError;
        if (right == varRef(result)) {
            // The item is read from the argument's old block, which stays on the stack.
            ValueDescriptor item;
            std::memcpy(&item, y.bytes(ws), sizeof item);
            ws.var(result) = item;
            return kOk;
        }
        return values::copyItemToTemp(ws, result, right, 0);
    }
    if (!isSimple(y.d.type)) return kDomainError;
    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, nullptr, 0, &out));
    y.refresh(ws, result);
    std::memcpy(out, y.bytes(ws), static_cast<std::size_t>(elementStride(y.d.type)));
    return kOk;
}


Rc partitionLengths(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg b(ws, right);
    if (b.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isIntegralType(b.d.type) || b.d.rank > 1) return kDomainError;
    std::int64_t ones = 0;
    WOX_TRY(countOnes(ws, b, &ones));
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, ones, &bytes));
    if (ones == 0) return kOk;
    b.refresh(ws, result);
    const std::int32_t* bs = b.as<std::int32_t>(ws);
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
