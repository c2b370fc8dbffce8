// Compress (replicate) and expand, the functions that walk an axis under a
// left argument of counts. Compress repeats each item along the axis as
// often as its element of x says (0 drops it); a single x repeats every
// item. Expand gives one result item per element of x: the next item of y
// for a 1, the fill element for a 0. Items are moved as raw element
// runs of the type's width, so every simple type goes through one loop, and
// General values move their item descriptors, whose blocks are then copied.
// A Boolean mask over a vector, the common case, has a loop of its own.
#include "primitives/compress.h"

#include <cstring>
#include <vector>

#include "primitives/keyed/keyed_rows.h"
#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

constexpr int kFirstAxisCode = vocabulary::code::kCompressFirst;

// Every element is written and the cursor moves on a 1, so the loop has no
// branch on the mask. Writing stops at the last 1, which keeps the cursor
// inside the result.
template <class T>
void maskVector(T* out, const T* src, const std::int32_t* mask, std::int64_t n) {
    std::int64_t last = n - 1;
    while (last >= 0 && !mask[last]) --last;
    std::int64_t k = 0;
    for (std::int64_t i = 0; i <= last; ++i) {
        out[k] = src[i];
        k += mask[i];
    }
}

struct Plan {
    std::int64_t outer = 1, length = 1, inner = 1;
    bool single = false;   // one count for every item
    bool scalarY = false;  // y is one item standing for as many as x has
    bool mask = false;     // every count is 0 or 1
};

void layout(char* out, const char* src, const std::int32_t* reps, const Plan& p, int width) {
    if (p.mask && !p.single && !p.scalarY && p.outer == 1 && p.inner == 1) {
        switch (width) {
            case 1: return maskVector(reinterpret_cast<std::uint8_t*>(out), reinterpret_cast<const std::uint8_t*>(src), reps, p.length);
            case 4: return maskVector(reinterpret_cast<std::uint32_t*>(out), reinterpret_cast<const std::uint32_t*>(src), reps, p.length);
            case 8: return maskVector(reinterpret_cast<std::uint64_t*>(out), reinterpret_cast<const std::uint64_t*>(src), reps, p.length);
            default: break;
        }
    }
    const std::size_t run = static_cast<std::size_t>(p.inner) * static_cast<std::size_t>(width);
    for (std::int64_t o = 0; o < p.outer; ++o) {
        for (std::int64_t j = 0; j < p.length; ++j) {
            std::int32_t r = p.single ? reps[0] : reps[j];
            const char* item = p.scalarY ? src : src + static_cast<std::size_t>(o * p.length + j) * run;
            for (std::int32_t k = 0; k < r; ++k) {
                std::memcpy(out, item, run);
                out += run;
            }
        }
    }
}

// 0/y or 1/y for a single x and a scalar y with its element inline: the
// conditional branch ->(c)/L of a loop. The result is an empty vector or a
// one-element vector of y's type, written without planning a layout. False
// when the general routine has to decide.
bool singleChoice(values::Workspace& ws, int code, int result, ValueRef left, ValueRef right, Rc* rc) {
    const ValueDescriptor& x = ws.at(left);
    const ValueDescriptor& y = ws.at(right);
    if (code != vocabulary::code::kCompress && code != kFirstAxisCode) return false;
    if (!isIntegralType(x.type) || !isInline(x) || (inlineInt(x) != 0 && inlineInt(x) != 1)) return false;
    if (y.rank != 0 || !isInline(y) || !isMovable(y.type)) return false;
    const ValueDescriptor element = y;  // the slot may be overwritten by the result
    char* out = nullptr;
    *rc = makeVector(ws, result, element.type, inlineInt(x), &out);
    if (rc->ok() && out) std::memcpy(out, &element.shape0, static_cast<std::size_t>(elementStride(element.type)));
    return true;
}

// b/t, b/kt, b/d, b/e: rows (entries, elements) repeated by their counts,
// along the one axis these values have. A key may not repeat, so the rows
// of a dictionary or keyed table take only counts of 0 and 1.
Rc compressRows(values::Context& cx, int code, int result, const Arg& x, const Arg& y) {
    values::Workspace& ws = cx.ws;
    if (code != vocabulary::code::kCompress && code != kFirstAxisCode) return kAxisError;
    const std::int32_t d = rowCountOf(ws, y.d);
    const bool single = x.d.count == 1;
    if (!single && x.d.count != d) return kLengthError;
    const std::int32_t* reps = x.as<std::int32_t>(ws);
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < x.d.count; ++i) {
        if (reps[i] < 0 || (reps[i] > 1 && rowsAreKeyed(y.d))) return kDomainError;
        total += reps[i];
    }
    if (single) total *= d;
    if (total > values::kMaxElements) return kWorkspaceFull;
    std::vector<std::int32_t> rows;
    rows.reserve(static_cast<std::size_t>(total));
    for (std::int32_t j = 0; j < d; ++j)
        for (std::int32_t k = 0; k < reps[single ? 0 : j]; ++k) rows.push_back(j);
    return selectRows(cx, result, y.ref, rows);
}

}  // namespace

Rc compress(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (Rc rc; singleChoice(ws, code, result, left, right, &rc)) return rc;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    WOX_TRY(integralList(x));
    if (movesByRows(y.d.type)) return compressRows(cx, code, result, x, y);
    if (!isMovable(y.d.type)) return kDomainError;

    Plan p;
    p.mask = true;
    {
        const std::int32_t* r = x.as<std::int32_t>(ws);
        for (std::int32_t i = 0; i < x.d.count; ++i) {
            if (r[i] < 0) return kDomainError;
            p.mask &= r[i] <= 1;
        }
    }

    // A scalar y stands for a vector as long as x.
    p.scalarY = y.d.rank == 0;
    const int rank = p.scalarY ? 1 : y.d.rank;
    SmallDims dims = p.scalarY ? SmallDims(1) : y.dims(ws);
    if (p.scalarY) dims[0] = x.d.count;
    int axis = code == kFirstAxisCode ? 0 : rank - 1;
    // The axis forms x/[k]y.
    if (code > vocabulary::code::kCompressAxisBase && code <= vocabulary::code::kCompressAxisBase + vocabulary::code::kMaxAxis) {
        axis = code - vocabulary::code::kCompressAxisBase;
        if (axis >= rank) return kAxisError;
    }
    p.length = dims[axis];
    p.single = x.d.count == 1;
    if (!p.single && x.d.count != p.length) return kLengthError;

    const std::int32_t* reps = x.as<std::int32_t>(ws);
    std::int64_t total = 0;
    for (std::int64_t j = 0; j < p.length; ++j) total += p.single ? reps[0] : reps[j];
    for (int k = 0; k < rank; ++k) {
        if (k < axis) p.outer *= dims[k];
        if (k > axis) p.inner *= dims[k];
    }
    if (total > values::kMaxElements) return kWorkspaceFull;
    dims[axis] = static_cast<std::int32_t>(total);

    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, dims.data(), rank, &out));
    if (!out) return kOk;
    const int width = elementStride(y.d.type);
    auto lay = [&](char* to) {
        x.refresh(ws, result);
        y.refresh(ws, result);
        layout(to, y.bytes(ws), x.as<std::int32_t>(ws), p, width);
    };
    if (y.d.type != kGeneral) {
        lay(out);
        return kOk;
    }
    return ownItems(ws, result, [&] { lay(ws.base() + ws.var(result).data); });
}

Rc expand(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg x(ws, left);
    Arg y(ws, right);
    if (x.d.unset() || y.d.unset()) return kValueError;
    WOX_TRY(integralList(x));
    if (!isSimple(y.d.type)) return kDomainError;
    std::int64_t ones = 0;
    WOX_TRY(countOnes(ws, x, &ones));
    // A scalar y stands for as many items as x has 1s.
    const bool scalarY = y.d.rank == 0;
    const int rank = scalarY ? 1 : y.d.rank;
    int axis = code == vocabulary::code::kExpandFirst ? 0 : rank - 1;
    // The axis forms x\[k]y.
    if (code > vocabulary::code::kExpandAxisBase && code <= vocabulary::code::kExpandAxisBase + vocabulary::code::kMaxAxis) {
        axis = code - vocabulary::code::kExpandAxisBase;
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

    const Fill fill = fillOf(ws, y);
    char* out;
    WOX_TRY(values::makeResult(ws, result, y.d.type, dims.data(), rank, &out));
    if (!out) return kOk;
    x.refresh(ws, result);
    y.refresh(ws, result);
    const std::int32_t* xs = x.as<std::int32_t>(ws);
    const char* src = y.bytes(ws);
    const std::size_t item = static_cast<std::size_t>(inner) * static_cast<std::size_t>(elementStride(y.d.type));
    for (std::int64_t o = 0; o < outer; ++o) {
        const char* from = scalarY ? src : src + static_cast<std::size_t>(o * length) * item;
        for (std::int32_t i = 0; i < x.d.count; ++i) {
            if (xs[i]) {
                std::memcpy(out, from, item);
                if (!scalarY) from += item;
            } else {
                writeFill(fill, out, inner);
            }
            out += item;
        }
    }
    return kOk;
}

}  // namespace wox::primitives
