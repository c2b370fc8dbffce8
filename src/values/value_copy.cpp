#include "values/value_copy.h"

#include <cstring>

#include "values/shape.h"

namespace wox::values {

namespace {

constexpr int kValueError = 4;
constexpr int kWorkspaceFull = 6;
constexpr int kGListFull = 9;

struct Needs {
    std::uint64_t owned = 0;  // bytes of owned blocks with trailers
    std::uint64_t stack = 0;  // bytes of stack blocks
    std::int64_t glist = 0;   // words of dimension runs
};

void measure(const Workspace& ws, const ValueDescriptor& d, Needs& n) {
    if (d.rank >= 3) n.glist += d.rank;
    if (isInline(d) || d.count <= 0) return;
    std::uint64_t size = static_cast<std::uint64_t>(elementSize(d.type, d.count));
    n.owned += padded(size) + kTrailerBytes;
    n.stack += padded(size);
    if (holdsDescriptors(d.type)) {
        const auto* items = reinterpret_cast<const ValueDescriptor*>(ws.base() + d.data);
        for (int i = 0; i < d.count; ++i) measure(ws, items[i], n);
    }
}

// Takes a block for `into` (already a copy of the source's descriptor, at heap
// offset `at` when it is an item, else in a table), copies the elements and
// recurses into items. Room was reserved beforehand, so nothing moves.
void copyTree(Workspace& ws, ValueDescriptor* into, std::uint32_t owner, bool onStack) {
    ValueDescriptor src = *into;
    if (src.rank >= 3) into->shape1 = ws.copyDimRun(src.shape1, src.rank);
    if (isInline(src) || src.count <= 0) {
        into->blockSize = 0;
        into->data = 0;
        return;
    }
    std::uint32_t size = static_cast<std::uint32_t>(elementSize(src.type, src.count));
    std::uint32_t start;
    if (onStack) {
        start = ws.stackTop;
        ws.stackTop += static_cast<std::uint32_t>(padded(size));
    } else {
        start = ws.takeOwned(owner, size, holdsDescriptors(src.type));
    }
    // Re-derive the pointer: `into` may itself sit in a block we just copied.
    std::memcpy(ws.base() + start, ws.base() + src.data, size);
    into->data = start;
    into->blockSize = static_cast<std::int32_t>(size);
    if (holdsDescriptors(src.type)) {
        for (int i = 0; i < src.count; ++i) {
            std::uint32_t itemAt = start + 32u * static_cast<std::uint32_t>(i);
            auto* item = reinterpret_cast<ValueDescriptor*>(ws.base() + itemAt);
            copyTree(ws, item, kOwnerItem | itemAt, onStack);
        }
    }
}

}  // namespace

namespace {

// The source is re-read through `source()` after anything that may compact.
template <class Source>
Rc assignFrom(Workspace& ws, int dst, Source source) {
    if (source().unset()) return kValueError;
    Needs n;
    measure(ws, source(), n);
    if (ws.nxtglx + n.glist > ws.caps.gList) return kGListFull;
    ValueDescriptor s = source();
    const bool block = !isInline(s) && s.count > 0;
    const bool nested = block && holdsDescriptors(s.type);
    // A nested value gets room for its whole tree first, so the copy below
    // never compacts half way.
    if (nested && ws.reserve(n.owned).failed()) return kWorkspaceFull;
    if (block) {
        WOX_TRY(ws.allocOwned(dst, s.type, s.count));  // the old block waits for release
        s = source();  // the source may have moved during compaction
    } else {
        ws.retireBlock(ws.var(dst));
    }
    ValueDescriptor& d = ws.var(dst);
    const std::int32_t size = d.blockSize;
    const std::uint32_t data = d.data;
    if (block) std::memmove(ws.base() + data, ws.base() + s.data, static_cast<std::size_t>(elementSize(s.type, s.count)));
    d = s;
    d.blockSize = block ? size : 0;
    d.data = block ? data : 0;
    if (s.rank >= 3) d.shape1 = ws.copyDimRun(s.shape1, s.rank);
    if (nested) {
        for (int i = 0; i < s.count; ++i) {
            std::uint32_t itemAt = data + 32u * static_cast<std::uint32_t>(i);
            copyTree(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + itemAt), kOwnerItem | itemAt, false);
        }
    }
    return kOk;
}

}  // namespace

Rc assignValue(Workspace& ws, int dst, ValueRef src) {
    if (src == varRef(dst)) return kOk;
    return assignFrom(ws, dst, [&]() -> const ValueDescriptor& { return ws.at(src); });
}

Rc assignItem(Workspace& ws, int dst, ValueRef container, int index) {
    return assignFrom(ws, dst, [&]() -> const ValueDescriptor& {
        return ws.elems<ValueDescriptor>(ws.at(container))[index];
    });
}

Rc copyToTemp(Workspace& ws, int tmp, ValueRef src) {
    if (src == varRef(tmp)) return kOk;
    const ValueDescriptor& s = ws.at(src);
    if (s.unset()) return kValueError;
    if (s.rank < 3 && (isInline(s) || s.count == 0)) {
        // Nothing outside the descriptor: the common scalar result.
        ValueDescriptor& d = ws.var(tmp);
        d = s;
        d.blockSize = 0;
        d.data = 0;
        return kOk;
    }
    Needs n;
    measure(ws, ws.at(src), n);
    if (ws.nxtglx + n.glist > ws.caps.gList) return kGListFull;
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        if (n.stack >= ws.freeBytes()) return kWorkspaceFull;
    }
    ValueDescriptor& d = ws.var(tmp);
    d = ws.at(src);
    copyTree(ws, &d, 0, true);
    return kOk;
}

Rc copyIntoTempItem(Workspace& ws, std::uint32_t item, ValueRef src) {
    if (ws.at(src).unset()) return kValueError;
    Needs n;
    measure(ws, ws.at(src), n);
    if (ws.nxtglx + n.glist > ws.caps.gList) return kGListFull;
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        if (n.stack >= ws.freeBytes()) return kWorkspaceFull;
    }
    auto* d = reinterpret_cast<ValueDescriptor*>(ws.base() + item);
    *d = ws.at(src);
    copyTree(ws, d, 0, true);
    return kOk;
}

}  // namespace wox::values
