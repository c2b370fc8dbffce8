#include "values/value_copy.h"

#include <cstring>
#include <vector>

#include "values/messages.h"
#include "values/shape.h"

namespace wox::values {

namespace {


using Needs = TreeNeeds;

// What one descriptor needs for itself; true when it has items to measure.
bool measureOne(const ValueDescriptor& d, Needs& n) {
    if (d.rank >= 3) n.glist += d.rank;
    if (isInline(d) || d.count <= 0) return false;
    std::uint64_t size = static_cast<std::uint64_t>(elementSize(d.type, d.count));
    n.owned += padded(size) + kTrailerBytes;
    n.stack += padded(size);
    return holdsDescriptors(d.type);
}

// Nested values can be arbitrarily deep (a<-(a;1) in a loop), so the walks
// over their items keep their own work lists instead of recursing. A simple
// value, what nearly every assignment stores, needs no list at all.
void measure(const Workspace& ws, const ValueDescriptor& root, Needs& n) {
    if (!measureOne(root, n)) return;
    std::vector<const ValueDescriptor*> todo;
    auto pushItems = [&](const ValueDescriptor& d) {
        const auto* items = reinterpret_cast<const ValueDescriptor*>(ws.base() + d.data);
        for (int i = 0; i < d.count; ++i) todo.push_back(&items[i]);
    };
    pushItems(root);
    while (!todo.empty()) {
        const ValueDescriptor& d = *todo.back();
        todo.pop_back();
        if (measureOne(d, n)) pushItems(d);
    }
}

// Gives one descriptor (already a copy of its source's) a block of its own
// and copies the elements into it; returns the new block's offset.
std::uint32_t copyOne(Workspace& ws, ValueDescriptor* into, std::uint32_t owner, bool onStack) {
    ValueDescriptor src = *into;
    if (src.rank >= 3) into->shape1 = ws.copyDimRun(src.shape1, src.rank);
    if (isInline(src) || src.count <= 0) {
        into->blockSize = 0;
        into->data = 0;
        return 0;
    }
    std::uint32_t size = static_cast<std::uint32_t>(elementSize(src.type, src.count));
    std::uint32_t start;
    if (onStack) {
        start = ws.stackTop;
        ws.stackTop += static_cast<std::uint32_t>(padded(size));
    } else {
        start = ws.takeOwned(owner, size, holdsDescriptors(src.type));
    }
    std::memcpy(ws.base() + start, ws.base() + src.data, size);
    into->data = start;
    into->blockSize = static_cast<std::int32_t>(size);
    return start;
}

// Copies the value whose descriptor `into` holds (a copy of the source's)
// into blocks of its own, items and all. Room was reserved beforehand, so
// nothing moves while it runs.
void copyTree(Workspace& ws, ValueDescriptor* into, std::uint32_t owner, bool onStack) {
    std::uint32_t start = copyOne(ws, into, owner, onStack);
    if (!holdsDescriptors(into->type) || into->blockSize == 0) return;
    // Work list of item descriptors (heap offsets) still pointing at their source blocks.
    std::vector<std::uint32_t> todo;
    auto pushItems = [&](std::uint32_t block, std::int32_t count) {
        for (std::int32_t i = 0; i < count; ++i) todo.push_back(block + 32u * static_cast<std::uint32_t>(i));
    };
    pushItems(start, into->count);
    while (!todo.empty()) {
        std::uint32_t at = todo.back();
        todo.pop_back();
        auto* item = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
        std::uint32_t block = copyOne(ws, item, kOwnerItem | at, onStack);
        item = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
        if (holdsDescriptors(item->type) && item->blockSize > 0) pushItems(block, item->count);
    }
}

}  // namespace

void measureTree(const Workspace& ws, const ValueDescriptor& root, TreeNeeds& needs) { measure(ws, root, needs); }

void copyTreeInto(Workspace& ws, ValueDescriptor* into, std::uint32_t owner, bool onStack) {
    copyTree(ws, into, owner, onStack);
}

namespace {

// The source is re-read through `source()` after anything that may compact.
template <class Source>
Rc assignFrom(Workspace& ws, int dst, Source source) {
    if (source().unset()) return kValueError;
    Needs n;
    measure(ws, source(), n);
    if (ws.gListFill + n.glist > ws.caps.gList) return kGListFull;
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
    if (const ValueDescriptor& s = ws.at(src); isInline(s)) {
        // A scalar, what loops and calls mostly store: nothing to measure,
        // reserve or copy beyond the descriptor.
        const ValueDescriptor value = s;
        ValueDescriptor& d = ws.var(dst);
        ws.retireBlock(d);
        d = value;
        d.blockSize = 0;
        d.data = 0;
        return kOk;
    }
    return assignFrom(ws, dst, [&]() -> const ValueDescriptor& { return ws.at(src); });
}

Rc assignItem(Workspace& ws, int dst, ValueRef container, int index) {
    return assignFrom(ws, dst, [&]() -> const ValueDescriptor& {
        return ws.elems<ValueDescriptor>(ws.at(container))[index];
    });
}

Rc copyTreeToTemp(Workspace& ws, int tmp, ValueRef src) {
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
    if (ws.gListFill + n.glist > ws.caps.gList) return kGListFull;
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        if (n.stack >= ws.freeBytes()) return kWorkspaceFull;
    }
    ValueDescriptor& d = ws.var(tmp);
    d = ws.at(src);
    copyTree(ws, &d, 0, true);
    return kOk;
}

Rc copyItemToTemp(Workspace& ws, int tmp, ValueRef container, int index) {
    auto item = [&]() -> const ValueDescriptor& { return ws.elems<ValueDescriptor>(ws.at(container))[index]; };
    Needs n;
    measure(ws, item(), n);
    if (ws.gListFill + n.glist > ws.caps.gList) return kGListFull;
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        if (n.stack >= ws.freeBytes()) return kWorkspaceFull;
    }
    ValueDescriptor copy = item();
    ValueDescriptor& d = ws.var(tmp);
    d = copy;
    copyTree(ws, &d, 0, true);
    return kOk;
}

Rc copyIntoTempItem(Workspace& ws, std::uint32_t item, ValueRef src) {
    if (ws.at(src).unset()) return kValueError;
    Needs n;
    measure(ws, ws.at(src), n);
    if (ws.gListFill + n.glist > ws.caps.gList) return kGListFull;
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        if (n.stack >= ws.freeBytes()) return kWorkspaceFull;
    }
    auto* d = reinterpret_cast<ValueDescriptor*>(ws.base() + item);
    *d = ws.at(src);
    copyTree(ws, d, 0, true);
    return kOk;
}

Rc ownTempItems(Workspace& ws, int tmp, const std::function<void()>& fill) {
    auto needs = [&] {
        const ValueDescriptor& d = ws.var(tmp);
        Needs n;
        const auto* items = reinterpret_cast<const ValueDescriptor*>(ws.base() + d.data);
        for (int i = 0; i < d.count; ++i) measure(ws, items[i], n);
        return n;
    };
    // A result that fails keeps no descriptor of blocks it does not own.
    auto refuse = [&](int code) {
        ValueDescriptor& d = ws.var(tmp);
        d = ValueDescriptor{};
        d.type = kInteger;
        d.rank = 1;
        return Rc(code);
    };
    fill();
    if (ws.var(tmp).count <= 0) return kOk;
    Needs n = needs();
    if (ws.gListFill + n.glist > ws.caps.gList) return refuse(kGListFull);
    if (n.stack >= ws.freeBytes()) {
        ws.compact();
        fill();
        n = needs();
        if (n.stack >= ws.freeBytes()) return refuse(kWorkspaceFull);
    }
    const ValueDescriptor& d = ws.var(tmp);
    for (int i = 0; i < d.count; ++i)
        copyTree(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + d.data + 32u * static_cast<std::uint32_t>(i)), 0, true);
    return kOk;
}

}  // namespace wox::values
