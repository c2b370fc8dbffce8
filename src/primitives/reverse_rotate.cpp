// Reverse and rotate along an axis. The axis splits the argument into
// `outer` slabs of `length` items of `inner` elements; reverse mirrors the
// items of each slab, rotate turns them, by one amount for the whole value
// (two copies per slab) or by one amount per vector along the axis.
#include <cstring>
#include <vector>

#include "primitives/keyed/keyed_rows.h"
#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

struct Frame {
    std::int64_t outer = 1, length = 1, inner = 1;
};

Frame frameOf(const values::Workspace& ws, const Arg& y, int axis) {
    Frame f;
    for (int k = 0; k < y.d.rank; ++k) {
        std::int64_t d = y.dim(ws, k);
        if (k < axis) f.outer *= d;
        else if (k == axis) f.length = d;
        else f.inner *= d;
    }
    return f;
}

template <int W>
void reverseItems(char* out, const char* src, const Frame& f) {
    struct E { char b[W]; };
    auto* o = reinterpret_cast<E*>(out);
    const auto* s = reinterpret_cast<const E*>(src);
    for (std::int64_t k = 0; k < f.outer; ++k) {
        const E* slab = s + k * f.length;
        E* to = o + k * f.length;
        for (std::int64_t j = 0; j < f.length; ++j) to[j] = slab[f.length - 1 - j];
    }
}

void reverseLayout(char* out, const char* src, const Frame& f, int w) {
    if (f.inner == 1) {
        switch (w) {
            case 1: return reverseItems<1>(out, src, f);
            case 4: return reverseItems<4>(out, src, f);
            case 8: return reverseItems<8>(out, src, f);
            case 16: return reverseItems<16>(out, src, f);
            case 32: return reverseItems<32>(out, src, f);
            default: break;
        }
    }
    const std::size_t item = static_cast<std::size_t>(f.inner) * static_cast<std::size_t>(w);
    for (std::int64_t k = 0; k < f.outer; ++k)
        for (std::int64_t j = 0; j < f.length; ++j)
            std::memcpy(out + static_cast<std::size_t>(k * f.length + j) * item,
                        src + static_cast<std::size_t>(k * f.length + f.length - 1 - j) * item, item);
}

std::int64_t modulo(std::int64_t a, std::int64_t n) {
    std::int64_t m = a % n;
    return m < 0 ? m + n : m;
}

void rotateLayout(char* out, const char* src, const Frame& f, int w, const std::int32_t* amounts, bool single) {
    if (f.length == 0) return;
    const std::size_t item = static_cast<std::size_t>(f.inner) * static_cast<std::size_t>(w);
    if (single) {
        const std::int64_t s = modulo(amounts[0], f.length);
        const std::size_t head = static_cast<std::size_t>(f.length - s) * item, tail = static_cast<std::size_t>(s) * item;
        for (std::int64_t k = 0; k < f.outer; ++k) {
            const char* slab = src + static_cast<std::size_t>(k * f.length) * item;
            char* to = out + static_cast<std::size_t>(k * f.length) * item;
            std::memcpy(to, slab + tail, head);
            std::memcpy(to + head, slab, tail);
        }
        return;
    }
    const std::size_t ws = static_cast<std::size_t>(w);
    for (std::int64_t k = 0; k < f.outer; ++k)
        for (std::int64_t i = 0; i < f.inner; ++i) {
            const std::int64_t s = modulo(amounts[k * f.inner + i], f.length);
            for (std::int64_t j = 0; j < f.length; ++j) {
                std::int64_t from = (j + s) % f.length;
                std::memcpy(out + static_cast<std::size_t>((k * f.length + j) * f.inner + i) * ws,
                            src + static_cast<std::size_t>((k * f.length + from) * f.inner + i) * ws, ws);
            }
        }
}

// Makes a result shaped like y and runs `lay(out, src)` over it, then gives
// General items their own blocks.
template <class Lay>
Rc rearrange(values::Workspace& ws, int result, Arg& y, Lay lay) {
    SmallDims dims = y.dims(ws);
    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, dims.data(), y.d.rank, &out));
    if (!out) return kOk;
    y.refresh(ws, result);
    if (y.d.type != kGeneral) {
        lay(out, y.bytes(ws));
        return kOk;
    }
    return ownItems(ws, result, [&] {
        y.refresh(ws, result);
        lay(ws.base() + ws.var(result).data, y.bytes(ws));
    });
}

}  // namespace

Rc reverse(values::Context& cx, int code, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (movesByRows(y.d.type)) {
        // Rows are the only axis of a table, dictionary or enumeration.
        if (code != vocabulary::code::kReverse && code != vocabulary::code::kReverseFirst) return kAxisError;
        std::vector<std::int32_t> rows(static_cast<std::size_t>(rowCountOf(ws, y.d)));
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::int32_t>(rows.size() - 1 - i);
        WOX_TRY(selectRows(cx, result, right, rows));
        ws.var(result).rank = y.d.rank == 0 ? 0 : ws.var(result).rank;  // a scalar enumeration stays one
        return kOk;
    }
    if (!isMovable(y.d.type)) return kDomainError;
    int axis = y.d.rank - 1;
    if (code == vocabulary::code::kReverseFirst) axis = 0;
    else if (code > vocabulary::code::kReverseAxisBase && code <= vocabulary::code::kReverseAxisBase + vocabulary::code::kMaxAxis) axis = code - vocabulary::code::kReverseAxisBase;
    if (y.d.rank > 0 && axis >= y.d.rank) return kAxisError;
    const Frame f = frameOf(ws, y, axis);
    const int w = elementStride(y.d.type);
    return rearrange(ws, result, y, [&](char* out, const char* src) { reverseLayout(out, src, f, w); });
}

Rc rotate(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    if (!isIntegralType(x.d.type)) return kDomainError;
    if (!isMovable(y.d.type)) return kDomainError;
    int axis = y.d.rank - 1;
    if (code == vocabulary::code::kRotateFirst) axis = 0;
    else if (code > vocabulary::code::kRotateAxisBase && code <= vocabulary::code::kRotateAxisBase + vocabulary::code::kMaxAxis) axis = code - vocabulary::code::kRotateAxisBase;
    if (y.d.rank > 0 && axis >= y.d.rank) return kAxisError;
    const bool single = x.single();
    if (!single) {
        if (x.d.rank != y.d.rank - 1) return kRankError;
        for (int k = 0, j = 0; k < y.d.rank; ++k)
            if (k != axis && y.dim(ws, k) != x.dim(ws, j++)) return kLengthError;
    }
    const Frame f = frameOf(ws, y, axis);
    const int w = elementStride(y.d.type);
    return rearrange(ws, result, y, [&](char* out, const char* src) {
        x.refresh(ws, result);
        rotateLayout(out, src, f, w, x.as<std::int32_t>(ws), single);
    });
}

}  // namespace wox::primitives
