// Indexing picks the elements (or items) of x at the positions its indices
// name, in row-major order of the index shapes. A selection runs twice over
// one plan: the first pass validates and measures what the result needs, the
// second, after room has been made once, writes it without allocating, so
// no block moves under the pointers it holds.
//
// Indexed assignment writes in place when the variable keeps its type. A
// store that changes the type is built whole on the stack and then copied
// over the variable, so a failure at any point leaves the variable as it was.
#include "primitives/indexing.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "primitives/keyed/enumerations.h"
#include "primitives/keyed/keyed.h"
#include "primitives/small_vector.h"
#include "primitives/temporal_kinds.h"
#include "values/messages.h"
#include "values/narrowing.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

using values::TreeNeeds;
using values::Workspace;

constexpr std::int64_t kMaxCount = 0x7fffffff;
// General indices nested deeper than this are refused rather than followed.
constexpr int kMaxIndexDepth = 64;

struct Complex16 {
    double re, im;
};

// The positions one index takes along one axis of x.
struct Axis {
    std::int32_t length = 0;              // of x along this axis
    bool all = false;                     // the index was left out
    std::int32_t count = 0;               // positions taken
    const std::int32_t* at = nullptr;     // the positions, counted from io
    std::vector<std::int32_t> converted;  // a Float index's elements
};

// The usual ranks need no memory from the free store.
struct Selection {
    SmallVector<Axis, 4> axes;
    SmallVector<std::int32_t, 8> dims;     // the result's shape: the index shapes in turn
    SmallVector<std::int64_t, 4> strides;  // elements of x per step along each axis
    std::int64_t count = 0;
};
using Dims = std::span<const std::int32_t>;

using IndexList = std::span<const ValueDescriptor* const>;  // nullptr: left out

// One comparison per position: a position below io wraps round to a large
// unsigned number.
bool inRange(const std::int32_t* p, std::int32_t n, int io, std::int32_t length) {
    const auto lo = static_cast<std::uint32_t>(io);
    const auto len = static_cast<std::uint32_t>(length);
    bool bad = false;
    for (std::int32_t i = 0; i < n; ++i) bad |= static_cast<std::uint32_t>(p[i]) - lo >= len;
    return !bad;
}

Rc readAxis(const Workspace& ws, const ValueDescriptor& x, int k, const ValueDescriptor* ix, int io, Axis& a,
            Selection& s) {
    a.length = values::dimension(ws, x, k);
    if (ix == nullptr) {
        a.all = true;
        a.count = a.length;
        s.dims.push_back(a.length);
        return kOk;
    }
    const ValueDescriptor& d = *ix;
    if (d.unset()) return kValueError;
    a.count = d.count;
    if (d.type == kBoolean || d.type == kInteger) {
        a.at = ws.elems<std::int32_t>(d);
    } else if (d.type == kFloat) {
        const double* f = ws.elems<double>(d);
        a.converted.resize(static_cast<std::size_t>(d.count));
        for (std::int32_t i = 0; i < d.count; ++i) {
            // A whole number too large for any axis, an infinity or the null
            // is no position at all: the null element makes it an index error.
            const double e = f[i];
            if (e == e && e != std::floor(e)) return kDomainError;
            a.converted[static_cast<std::size_t>(i)] = values::fitsInteger(e) ? values::toIntegerElement(e) : kIntNull;
        }
        a.at = a.converted.data();
    } else {
        return kDomainError;
    }
    if (!inRange(a.at, a.count, io, a.length)) return kIndexError;
    for (int j = 0; j < d.rank; ++j) s.dims.push_back(values::dimension(ws, d, j));
    return kOk;
}

// Checks the indices against x and works out the result's shape.
Rc plan(const Workspace& ws, const ValueDescriptor& x, IndexList ix, int io, Selection& s) {
    if (ix.empty() || x.rank != static_cast<int>(ix.size())) return kRankError;
    const std::size_t r = ix.size();
    s.axes.resize(r);
    for (std::size_t k = 0; k < r; ++k) WOX_TRY(readAxis(ws, x, static_cast<int>(k), ix[k], io, s.axes[k], s));
    s.count = 1;
    for (const Axis& a : s.axes) {
        if (a.count == 0) s.count = 0;
    }
    for (std::size_t k = 0; k < r && s.count > 0; ++k) {
        s.count *= s.axes[k].count;
        if (s.count > kMaxCount) return kWorkspaceFull;
    }
    s.strides.assign(r, 1);
    for (std::size_t k = r - 1; k-- > 0;) s.strides[k] = s.strides[k + 1] * s.axes[k + 1].length;
    return kOk;
}

// Calls fn with the offset in x of every selected element, in result order.
// The last axis is the inner loop, with the left-out case decided once.
template <class Fn>
void forEachPosition(const Selection& s, int io, Fn&& fn) {
    if (s.count == 0) return;
    const std::size_t r = s.axes.size();
    const Axis& last = s.axes[r - 1];
    // Locals, not fields: a store through the element pointer could
    // otherwise alias them and force a reload per element.
    const std::int32_t n = last.count;
    const std::int32_t* const at = last.at;
    const bool all = last.all;
    auto run = [&fn, n, at, all, io](std::int64_t base) {
        if (all) {
            for (std::int32_t j = 0; j < n; ++j) fn(base + j);
        } else {
            const std::int64_t b = base - io;
            for (std::int32_t j = 0; j < n; ++j) fn(b + at[j]);
        }
    };
    if (r == 1) {
        run(0);
        return;
    }
    SmallVector<std::int32_t, 4> ctr(r - 1, 0);
    for (;;) {
        std::int64_t base = 0;
        for (std::size_t k = 0; k + 1 < r; ++k) {
            const Axis& a = s.axes[k];
            const std::int64_t p = a.all ? ctr[k] : a.at[ctr[k]] - io;
            base += p * s.strides[k];
        }
        run(base);
        std::size_t k = r - 1;
        for (;;) {
            if (k == 0) return;
            --k;
            if (++ctr[k] < s.axes[k].count) break;
            ctr[k] = 0;
        }
    }
}

// Stack bytes for a value of this type, count and rank.
std::uint64_t stackBytes(std::int32_t type, std::int64_t count, std::size_t rank) {
    if (count == 0 || isInline(type, static_cast<std::int32_t>(rank), static_cast<std::int32_t>(count))) return 0;
    return values::padded(static_cast<std::uint64_t>(elementSize(type, count)));
}

Rc shapeResult(Workspace& ws, ValueDescriptor& d, std::int32_t type, Dims dims, std::int64_t count) {
    d = ValueDescriptor{};
    d.type = type;
    d.count = static_cast<std::int32_t>(count);
    WOX_TRY(values::setDimensions(ws, d, dims.data(), static_cast<int>(dims.size())));
    if (d.rank == 1 && !isInline(d)) d.shape0 = d.count;
    return kOk;
}

// Gives d a stack block for its elements. Room was made beforehand.
void stackBlock(Workspace& ws, ValueDescriptor& d) {
    if (isInline(d) || d.count == 0) return;
    const auto size = static_cast<std::uint32_t>(elementSize(d.type, d.count));
    d.data = ws.stackTop;
    d.blockSize = static_cast<std::int32_t>(size);
    if (holdsDescriptors(d.type)) std::memset(ws.base() + d.data, 0, size);
    if (d.type == kChar) ws.base()[d.data + size - 1] = 0;
    ws.stackTop += static_cast<std::uint32_t>(values::padded(size));
}

bool generalIndex(IndexList ix) { return ix.size() == 1 && ix[0] != nullptr && ix[0]->type == kGeneral; }

Rc measure(const Workspace& ws, const ValueDescriptor& x, IndexList ix, int io, int depth, TreeNeeds& need) {
    if (generalIndex(ix)) {
        const ValueDescriptor& g = *ix[0];
        if (x.rank != 1) return kRankError;
        if (depth >= kMaxIndexDepth) return kDomainError;
        need.stack += stackBytes(kGeneral, g.count, static_cast<std::size_t>(g.rank));
        if (g.rank >= 3) need.glist += g.rank;
        const auto* items = ws.elems<ValueDescriptor>(g);
        for (std::int32_t i = 0; i < g.count; ++i) {
            const ValueDescriptor* one = &items[i];
            WOX_TRY(measure(ws, x, IndexList(&one, 1), io, depth + 1, need));
        }
        return kOk;
    }
    Selection s;
    WOX_TRY(plan(ws, x, ix, io, s));
    if (s.dims.size() >= 3) need.glist += static_cast<std::int64_t>(s.dims.size());
    if (x.type != kGeneral) {
        need.stack += stackBytes(x.type, s.count, s.dims.size());
        return kOk;
    }
    if (!s.dims.empty()) need.stack += stackBytes(kGeneral, s.count, s.dims.size());
    const auto* items = ws.elems<ValueDescriptor>(x);
    forEachPosition(s, io, [&](std::int64_t p) { values::measureTree(ws, items[p], need); });
    return kOk;
}

template <class T>
void gatherAs(const Selection& s, int io, const char* src, char* out) {
    const T* from = reinterpret_cast<const T*>(src);
    T* to = reinterpret_cast<T*>(out);
    forEachPosition(s, io, [&](std::int64_t p) { *to++ = from[p]; });
}

void gather(std::int32_t type, const Selection& s, int io, const char* src, char* out) {
    switch (elementStride(type)) {
        case 1: gatherAs<std::uint8_t>(s, io, src, out); break;
        case 4: gatherAs<std::uint32_t>(s, io, src, out); break;
        case 8: gatherAs<std::uint64_t>(s, io, src, out); break;
        default: gatherAs<Complex16>(s, io, src, out); break;
    }
}

// The elements of a simple x that s selects, into *out on the stack.
Rc gatherInto(Workspace& ws, const ValueDescriptor& x, const Selection& s, int io, ValueDescriptor* out) {
    ValueDescriptor d;
    WOX_TRY(shapeResult(ws, d, x.type, Dims(s.dims.data(), s.dims.size()), s.count));
    stackBlock(ws, d);
    *out = d;
    if (d.count > 0) gather(x.type, s, io, ws.elems<char>(x), ws.elems<char>(*out));
    return kOk;
}

// Writes x[ix] into *out with its blocks on the stack; measure() has passed
// and room has been made, so nothing here allocates from the heap.
Rc fill(Workspace& ws, const ValueDescriptor& x, IndexList ix, int io, ValueDescriptor* out) {
    if (generalIndex(ix)) {
        const ValueDescriptor& g = *ix[0];
        SmallVector<std::int32_t, 8> dims;
        for (int j = 0; j < g.rank; ++j) dims.push_back(values::dimension(ws, g, j));
        ValueDescriptor d;
        WOX_TRY(shapeResult(ws, d, kGeneral, Dims(dims.data(), dims.size()), g.count));
        stackBlock(ws, d);
        *out = d;
        const auto* items = ws.elems<ValueDescriptor>(g);
        auto* res = reinterpret_cast<ValueDescriptor*>(ws.base() + d.data);
        for (std::int32_t i = 0; i < g.count; ++i) {
            const ValueDescriptor* one = &items[i];
            WOX_TRY(fill(ws, x, IndexList(&one, 1), io, &res[i]));
        }
        return kOk;
    }
    Selection s;
    WOX_TRY(plan(ws, x, ix, io, s));
    if (x.type == kGeneral) {
        const auto* items = ws.elems<ValueDescriptor>(x);
        if (s.dims.empty()) {
            // A scalar selection from a General value is the item itself.
            forEachPosition(s, io, [&](std::int64_t p) { *out = items[p]; });
            values::copyTreeInto(ws, out, 0, true);
            return kOk;
        }
        ValueDescriptor d;
        WOX_TRY(shapeResult(ws, d, kGeneral, Dims(s.dims.data(), s.dims.size()), s.count));
        stackBlock(ws, d);
        *out = d;
        if (d.count == 0) return kOk;
        auto* res = reinterpret_cast<ValueDescriptor*>(ws.base() + d.data);
        std::int64_t k = 0;
        forEachPosition(s, io, [&](std::int64_t p) { res[k++] = items[p]; });
        for (k = 0; k < s.count; ++k) values::copyTreeInto(ws, &res[k], 0, true);
        return kOk;
    }
    return gatherInto(ws, x, s, io, out);
}

using IndexDescriptors = SmallVector<const ValueDescriptor*, 4>;

void indexDescriptors(const Workspace& ws, std::span<const ValueRef> indices, IndexDescriptors& ix) {
    ix.resize(indices.size());
    for (std::size_t k = 0; k < indices.size(); ++k)
        ix[k] = indices[k] == kOmittedIndex ? nullptr : &ws.at(indices[k]);
}

// Makes `bytes` of stack free, compacting the heap once if needed.
Rc stackRoom(Workspace& ws, std::uint64_t bytes) {
    if (bytes == 0 || bytes < ws.freeBytes()) return kOk;
    ws.compact();
    return bytes < ws.freeBytes() ? Rc(kOk) : Rc(kWorkspaceFull);
}

// ---- Indexed assignment ------------------------------------------------------

bool isNumeric(std::int32_t t) { return t == kBoolean || t == kInteger || t == kFloat || t == kComplex; }
int numericOrder(std::int32_t t) { return t == kComplex ? 3 : t; }

// The type the variable holds after the store, or a domain error.
Rc storedType(std::int32_t xt, std::int32_t vt, std::int32_t* type) {
    if (xt == kGeneral || vt == kGeneral) {
        *type = kGeneral;
    } else if (isNumeric(xt) && isNumeric(vt)) {
        *type = numericOrder(vt) > numericOrder(xt) ? vt : xt;
    } else if (xt == vt) {
        *type = xt;
    } else {
        return kDomainError;
    }
    return kOk;
}

bool sameShape(const Workspace& ws, const ValueDescriptor& v, const SmallVector<std::int32_t, 8>& dims) {
    if (v.rank != static_cast<int>(dims.size())) return false;
    for (int k = 0; k < v.rank; ++k)
        if (values::dimension(ws, v, k) != dims[static_cast<std::size_t>(k)]) return false;
    return true;
}

double toDouble(std::int32_t v) { return v == kIntNull ? std::numeric_limits<double>::quiet_NaN() : v; }

template <class D, class S, class Conv>
void scatterAs(char* dst, const char* src, bool single, const Selection& s, int io, Conv conv) {
    D* to = reinterpret_cast<D*>(dst);
    const S* from = reinterpret_cast<const S*>(src);
    if (single) {
        const D c = conv(from[0]);
        forEachPosition(s, io, [&](std::int64_t p) { to[p] = c; });
        return;
    }
    std::int64_t k = 0;
    forEachPosition(s, io, [&](std::int64_t p) { to[p] = conv(from[k++]); });
}

// Writes v's elements at the selected positions of the elements at dst,
// which are of type dt, no narrower than v's type.
void scatter(std::int32_t dt, char* dst, std::int32_t vt, const char* src, bool single, const Selection& s, int io) {
    auto same = [](auto e) { return e; };
    if (dt == kFloat && vt != kFloat) {
        scatterAs<double, std::int32_t>(dst, src, single, s, io, toDouble);
    } else if (dt == kComplex && vt == kFloat) {
        scatterAs<Complex16, double>(dst, src, single, s, io, [](double e) { return Complex16{e, 0}; });
    } else if (dt == kComplex && vt != kComplex) {
        scatterAs<Complex16, std::int32_t>(dst, src, single, s, io,
                                           [](std::int32_t e) { return Complex16{toDouble(e), 0}; });
    } else {
        switch (elementStride(dt)) {
            case 1: scatterAs<std::uint8_t, std::uint8_t>(dst, src, single, s, io, same); break;
            case 4: scatterAs<std::uint32_t, std::uint32_t>(dst, src, single, s, io, same); break;
            case 8: scatterAs<std::uint64_t, std::uint64_t>(dst, src, single, s, io, same); break;
            default: scatterAs<Complex16, Complex16>(dst, src, single, s, io, same); break;
        }
    }
}

}  // namespace

ValueDescriptor scalarItem(const Workspace& ws, const ValueDescriptor& x, std::int64_t k) {
    ValueDescriptor d;
    d.type = x.type;
    d.count = 1;
    const char* e = ws.elems<char>(x) + k * elementStride(x.type);
    if (x.type == kComplex)
        d.data = static_cast<std::uint32_t>(e - ws.base());
    else
        std::memcpy(&d.shape0, e, static_cast<std::size_t>(elementStride(x.type)));
    return d;
}

namespace {

// What goes to the k-th selected position: an item of a General v, or an
// element of a simple one.
ValueDescriptor newItem(const Workspace& ws, const ValueDescriptor& v, bool single, std::int64_t k) {
    if (single) k = 0;
    if (v.type == kGeneral) return ws.elems<ValueDescriptor>(v)[k];
    return scalarItem(ws, v, k);
}

// Stores into a value that is or becomes General.
Rc storeItems(Workspace& ws, int target, int scratch, ValueRef vref, IndexList ix, int io, bool single,
              std::int64_t count) {
    TreeNeeds need;
    {
        const ValueDescriptor& v = ws.at(vref);
        for (std::int64_t k = 0; k < count; ++k) values::measureTree(ws, newItem(ws, v, single, k), need);
    }
    Selection s;
    const ValueDescriptor& x0 = ws.var(target);
    if (x0.type == kGeneral) {
        // Items are replaced in the variable's own block; their new blocks
        // are reserved first, so the store cannot fail half way.
        if (ws.gListFill + need.glist > ws.caps.gList) return kGListFull;
        WOX_TRY(ws.reserve(need.owned));
        WOX_TRY(plan(ws, ws.var(target), ix, io, s));  // blocks may have moved
        const ValueDescriptor& v = ws.at(vref);
        const std::uint32_t base = ws.var(target).data;
        std::int64_t k = 0;
        forEachPosition(s, io, [&](std::int64_t p) {
            const std::uint32_t at = base + 32u * static_cast<std::uint32_t>(p);
            auto* item = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
            ws.freeValueBlocks(*item);
            *item = newItem(ws, v, single, k++);
            values::copyTreeInto(ws, item, values::kOwnerItem | at, false);
        });
        return kOk;
    }
    // A simple variable becomes General: its elements become scalar items of
    // a copy on the stack, which then replaces the variable whole.
    const std::int32_t n = x0.count;
    need.stack += stackBytes(kGeneral, n, 1);
    if (x0.type == kComplex) need.stack += static_cast<std::uint64_t>(n) * 16;
    if (x0.rank >= 3) need.glist += x0.rank;
    if (ws.gListFill + need.glist > ws.caps.gList) return kGListFull;
    WOX_TRY(stackRoom(ws, need.stack));
    ValueDescriptor& w = ws.var(scratch);
    w = ValueDescriptor{};
    w.type = kGeneral;
    WOX_TRY(values::copyShape(ws, w, ws.var(target)));
    if (w.rank == 1) w.shape0 = w.count;
    stackBlock(ws, w);
    auto* items = reinterpret_cast<ValueDescriptor*>(ws.base() + w.data);
    for (std::int32_t i = 0; i < n; ++i) {
        items[i] = scalarItem(ws, ws.var(target), i);
        values::copyTreeInto(ws, &items[i], 0, true);
    }
    WOX_TRY(plan(ws, ws.var(target), ix, io, s));
    const ValueDescriptor& v = ws.at(vref);
    std::int64_t k = 0;
    forEachPosition(s, io, [&](std::int64_t p) {
        items[p] = newItem(ws, v, single, k++);
        values::copyTreeInto(ws, &items[p], 0, true);
    });
    return values::assignValue(ws, target, varRef(scratch));
}

// Brings x's elements at src (type st) to type dt at dst.
void widen(std::int32_t dt, char* dst, std::int32_t st, const char* src, std::int64_t n) {
    if (dt == kFloat) {
        auto* to = reinterpret_cast<double*>(dst);
        const auto* from = reinterpret_cast<const std::int32_t*>(src);
        for (std::int64_t i = 0; i < n; ++i) to[i] = toDouble(from[i]);
        return;
    }
    if (dt == kComplex) {
        auto* to = reinterpret_cast<Complex16*>(dst);
        if (st == kFloat) {
            const auto* from = reinterpret_cast<const double*>(src);
            for (std::int64_t i = 0; i < n; ++i) to[i] = Complex16{from[i], 0};
        } else {
            const auto* from = reinterpret_cast<const std::int32_t*>(src);
            for (std::int64_t i = 0; i < n; ++i) to[i] = Complex16{toDouble(from[i]), 0};
        }
        return;
    }
    // Boolean to Integer: the same 32-bit elements.
    std::memcpy(dst, src, static_cast<std::size_t>(n) * 4);
}

}  // namespace

Rc selectedPositions(const values::Workspace& ws, const ValueDescriptor& x, std::span<const ValueRef> indices, int io,
                     std::vector<std::int64_t>* positions, std::vector<std::int32_t>* dims) {
    IndexDescriptors ixd;
    indexDescriptors(ws, indices, ixd);
    if (generalIndex(IndexList(ixd.data(), ixd.size()))) return kDomainError;
    Selection s;
    WOX_TRY(plan(ws, x, IndexList(ixd.data(), ixd.size()), io, s));
    try {
        dims->assign(s.dims.begin(), s.dims.end());
        positions->clear();
        positions->reserve(static_cast<std::size_t>(s.count));
        forEachPosition(s, io, [&](std::int64_t p) { positions->push_back(p); });
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
    return kOk;
}

Rc index(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io) {
    Workspace& ws = cx.ws;
    const ValueDescriptor& xd = ws.at(x);
    if (xd.unset()) return kValueError;
    if (xd.type == kEnumeration) return indexEnumeration(cx, result, x, indices, io);
    if (xd.type == kDictionary || xd.type == kTable) return indexKeyed(cx, result, x, indices, io);
    if (xd.type > kTemporal) return kNotImplemented;
    IndexDescriptors ixd;
    indexDescriptors(ws, indices, ixd);
    const IndexList ix(ixd.data(), ixd.size());
    if (xd.type != kGeneral && !generalIndex(ix)) {
        // Simple elements: one plan, made again only if making room moved blocks.
        Selection s;
        WOX_TRY(plan(ws, xd, ix, io, s));
        const std::uint64_t compactions = ws.compactions;
        WOX_TRY(stackRoom(ws, stackBytes(xd.type, s.count, s.dims.size())));
        if (ws.compactions == compactions) return gatherInto(ws, ws.at(x), s, io, &ws.var(result));
        Selection again;
        WOX_TRY(plan(ws, ws.at(x), ix, io, again));
        return gatherInto(ws, ws.at(x), again, io, &ws.var(result));
    }
    TreeNeeds need;
    WOX_TRY(measure(ws, xd, ix, io, 0, need));
    if (ws.gListFill + need.glist > ws.caps.gList) return kGListFull;
    WOX_TRY(stackRoom(ws, need.stack));
    return fill(ws, ws.at(x), ix, io, &ws.var(result));
}

Rc indexedAssign(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices,
                 int io) {
    Workspace& ws = cx.ws;
    const ValueDescriptor& x = ws.var(target);
    if (x.unset()) return kValueError;
    if (x.type == kEnumeration) return assignIntoEnumeration(cx, target, v, indices, io);
    if (x.type == kDictionary || x.type == kTable) return assignKeyed(cx, target, scratch, v, indices, io);
    if (x.type > kTemporal) return kNotImplemented;
    IndexDescriptors ixd;
    indexDescriptors(ws, indices, ixd);
    const IndexList ix(ixd.data(), ixd.size());
    Selection s;
    WOX_TRY(plan(ws, x, ix, io, s));
    const ValueDescriptor& vd = ws.at(v);
    if (vd.unset()) return kValueError;
    if (vd.type > kTemporal) return kDomainError;
    const bool single = vd.count == 1 && vd.rank <= 1;
    if (!single && !sameShape(ws, vd, s.dims)) return kLengthError;
    if (s.count == 0) return kOk;
    std::int32_t type = 0;
    WOX_TRY(storedType(x.type, vd.type, &type));
    // Before anything is written: a Temporal variable keeps its one kind.
    if (type == kTemporal) WOX_TRY(sameKind(firstKind(ws, x), kindOfValue(ws, vd)));
    if (type == kGeneral) return storeItems(ws, target, scratch, v, ix, io, single, s.count);
    if (type == x.type) {
        // Same type: in place. Nothing allocates, so nothing can fail now.
        ValueDescriptor& xw = ws.var(target);
        scatter(type, ws.elems<char>(xw), vd.type, ws.elems<char>(vd), single, s, io);
        return kOk;
    }
    // A wider type: a widened copy on the stack replaces the variable whole.
    ValueDescriptor& w = ws.var(scratch);
    w = ValueDescriptor{};
    w.type = type;
    WOX_TRY(values::copyShape(ws, w, x));
    if (!isInline(w) && w.count > 0) {
        WOX_TRY(ws.allocTemp(scratch, type, w.count, false));
        if (w.rank == 1) ws.var(scratch).shape0 = w.count;
    }
    Selection s2;  // the allocation may have moved the index blocks
    WOX_TRY(plan(ws, ws.var(target), ix, io, s2));
    ValueDescriptor& wd = ws.var(scratch);
    const ValueDescriptor& xd = ws.var(target);
    widen(type, ws.elems<char>(wd), xd.type, ws.elems<char>(xd), xd.count);
    const ValueDescriptor& vd2 = ws.at(v);
    scatter(type, ws.elems<char>(wd), vd2.type, ws.elems<char>(vd2), single, s2, io);
    return values::assignValue(ws, target, varRef(scratch));
}

}  // namespace wox::primitives
