#include "values/workspace.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

#include "values/messages.h"

namespace wox::values {

namespace {

std::uint64_t blockBytes(std::int32_t type, std::int64_t n) {
    std::int64_t s = elementSize(type, n);
    return s < 0 ? 0 : static_cast<std::uint64_t>(s);
}
}  // namespace

Workspace::Workspace(const Capacities& c)
    : caps(c),
      region(static_cast<std::uint32_t>(padded(c.heapBytes) & ~std::uint64_t{7})),
      vars(kVariableSlots),
      consts(c.constants),
      gList(c.gList) {
    heapTop = region.size();
    touchedLow_ = heapTop;
    // A sixteenth of the heap, at most 16 MiB: garbage costs memory, not
    // speed, and small test heaps still reach the rule.
    margin_ = std::min<std::uint32_t>(std::uint32_t{16} << 20, region.size() / 16);
    presetConstants();
    for (int s = kFirstGlobalSlot; s < kVariableSlots; ++s) vars[s].rank = -1;
}

void Workspace::presetConstants() {
    for (int i = 0; i < kPresetConstants && i < static_cast<int>(consts.size()); ++i) {
        ValueDescriptor d;
        d.type = kInteger;
        d.count = 1;
        consts[i] = d;
    }
    // Slots 0, 1 and 3 hold the literals 0, 1 and 2; slot 2 the empty vector.
    setInlineInt(consts[1], 1);
    consts[2].rank = 1;
    consts[2].count = 0;
    setInlineInt(consts[3], 2);
}

void Workspace::setOwner(std::uint32_t owner, std::uint32_t newStart) {
    std::uint32_t tag = owner & kOwnerTagMask, idx = owner & ~kOwnerTagMask;
    switch (tag) {
        case kOwnerVar: vars[idx].data = newStart; break;
        case kOwnerConst: consts[idx].data = newStart; break;
        case kOwnerItem: reinterpret_cast<ValueDescriptor*>(base() + idx)->data = newStart; break;
        default: break;
    }
}

Rc Workspace::reserve(std::uint64_t bytes) {
    // Compacting once the garbage outgrows the live bytes keeps a loop of
    // replacements in a few megabytes instead of the whole heap, and costs
    // at most one byte moved per byte freed.
    if (bytes <= freeBytes() && !garbageDue()) return kOk;
    compact();
    if (bytes <= freeBytes()) return kOk;
    return kWorkspaceFull;
}

std::uint32_t Workspace::takeOwned(std::uint32_t owner, std::uint32_t size, bool holds) {
    std::uint32_t p = static_cast<std::uint32_t>(padded(size));
    heapTop -= p + kTrailerBytes;
    auto* t = reinterpret_cast<Trailer*>(base() + heapTop + p);
    std::memset(t, 0, sizeof *t);
    t->owner = owner;
    t->size = p;
    t->inUse = 1;
    t->holdsDescriptors = holds;
    curAlloc = heapTop;
    return heapTop;
}

Rc Workspace::ownedBlock(ValueDescriptor& d, std::uint32_t owner, std::int32_t type, std::int64_t n,
                         const char* diag, int slot) {
    std::uint64_t size = blockBytes(type, n);
    bool holds = holdsDescriptors(type);
    if (!holds && !freshBlock && isOwnedBlock(d) && !trailerOf(d)->holdsDescriptors &&
        static_cast<std::uint64_t>(d.blockSize) >= size && size > 0) {
        curAlloc = d.data;
        if (type == kChar) base()[d.data + size - 1] = 0;
        return kOk;
    }
    std::uint64_t need = padded(size) + kTrailerBytes;
    if (size > 0x7fff0000u || reserve(need).failed()) {
        if (diag) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "%s,r = %lld, vx=%d", diag, static_cast<long long>(n), slot);
            link().diagnostic(buf);
        }
        return kWorkspaceFull;
    }
    if (size == 0) {
        // Nothing to hold: the value keeps no block.
        retireBlock(d);
        return kOk;
    }
    retireBlock(d);  // re-read after reserve: compaction may have moved it
    std::uint32_t start = takeOwned(owner, static_cast<std::uint32_t>(size), holds);
    if (holds) std::memset(base() + start, 0, size);
    if (type == kChar) base()[start + size - 1] = 0;
    d.blockSize = static_cast<std::int32_t>(size);
    d.data = start;
    return kOk;
}

Rc Workspace::allocOwned(int slot, std::int32_t type, std::int64_t n) {
    return ownedBlock(vars[slot], kOwnerVar | static_cast<std::uint32_t>(slot), type, n, "dectp", slot);
}

Rc Workspace::allocConst(int slot, std::int32_t type, std::int64_t n) {
    return ownedBlock(consts[slot], kOwnerConst | static_cast<std::uint32_t>(slot), type, n, nullptr, slot);
}

Rc Workspace::allocTemp(int slot, std::int32_t type, std::int64_t n, bool zero) {
    std::uint64_t size = blockBytes(type, n);
    std::uint64_t p = padded(size);
    if (p >= freeBytes()) {
        compact();
        if (p >= freeBytes()) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "inctp,r = %lld, vx=%d", static_cast<long long>(n), slot);
            link().diagnostic(buf);
            return kWorkspaceFull;
        }
    }
    ValueDescriptor& d = vars[slot];
    d.data = stackTop;
    d.blockSize = static_cast<std::int32_t>(size);
    curAlloc = stackTop;
    if (zero || holdsDescriptors(type)) {
        std::memset(base() + stackTop, 0, size);
    } else if (type == kChar && size > 0) {
        base()[stackTop + size - 1] = 0;
    }
    stackTop += static_cast<std::uint32_t>(p);
    return kOk;
}

Rc Workspace::shapeLike(int dst, std::int32_t type, int src) {
    ValueDescriptor s = vars[src];
    ValueDescriptor& d = vars[dst];
    d.type = type;
    d.rank = s.rank;
    if (s.rank == 0) {
        d.count = 1;
        d.shape0 = d.shape1 = 0;
        return kOk;
    }
    if (holdsDescriptors(type) && !isTempSlot(dst)) return 1;
    if (isTempSlot(dst)) {
        WOX_TRY(allocTemp(dst, type, s.count));
    } else {
        WOX_TRY(allocOwned(dst, type, s.count));
    }
    ValueDescriptor& d2 = vars[dst];
    d2.count = s.count;
    if (s.rank == 1) return kOk;
    d2.shape0 = s.shape0;
    d2.shape1 = s.shape1;
    if (s.rank >= 3) {
        int at = copyDimRun(s.shape1, s.rank);
        if (at < 0) return 9;
        d2.shape1 = at;
    }
    return kOk;
}

void Workspace::freeValueBlocks(const ValueDescriptor& root) {
    // A simple value, what a call's locals nearly always hold, has one block
    // at most and needs no work list.
    if (!isOwnedBlock(root)) return;
    if (!holdsDescriptors(root.type)) {
        Trailer* t = trailerOf(root);
        if (t->inUse) {
            t->inUse = 0;
            noteFreed(*t);
        }
        return;
    }
    // Iterative: nested values can be deeper than the C++ stack.
    std::vector<const ValueDescriptor*> todo{&root};
    while (!todo.empty()) {
        const ValueDescriptor& d = *todo.back();
        todo.pop_back();
        if (!isOwnedBlock(d)) continue;
        Trailer* t = trailerOf(d);
        if (!t->inUse) continue;
        t->inUse = 0;  // marking frees nothing yet, so the items stay readable
        noteFreed(*t);
        if (holdsDescriptors(d.type) && !isInline(d)) {
            const auto* items = reinterpret_cast<const ValueDescriptor*>(base() + d.data);
            for (int i = 0; i < d.count; ++i) todo.push_back(&items[i]);
        }
    }
}

void Workspace::moveValue(ValueDescriptor& dst, std::uint32_t dstOwner, int slot) {
    ValueDescriptor& s = vars[slot];
    dst = s;
    if (isOwnedBlock(s)) trailerOf(s)->owner = dstOwner;
    s = ValueDescriptor{};
    s.rank = -1;
}

void Workspace::retireBlock(ValueDescriptor& d) {
    if (isOwnedBlock(d)) {
        if (pending_) releasePending();
        pending_ = true;
        pendingTrailer_ = static_cast<std::uint32_t>(d.data + padded(d.blockSize));
        trailerOf(d)->owner = kOwnerDetached;
    }
    d.blockSize = 0;
    d.data = 0;
}

void Workspace::releasePending() {
    if (!pending_) return;
    pending_ = false;
    auto* t = reinterpret_cast<Trailer*>(base() + pendingTrailer_);
    if (t->holdsDescriptors) {
        std::uint32_t start = pendingTrailer_ - t->size;
        auto* items = reinterpret_cast<const ValueDescriptor*>(base() + start);
        for (std::uint32_t i = 0; i < t->size / sizeof(ValueDescriptor); ++i) freeValueBlocks(items[i]);
    }
    if (t->inUse) noteFreed(*t);
    t->inUse = 0;
}

namespace {

// Blocks only ever move to higher addresses. Small ones (most of them) are
// copied inline, last word first, which is safe for such an overlap and
// saves a library call per block.
inline void moveUp(char* to, const char* from, std::uint32_t bytes) {
    if (bytes > 128) {
        std::memmove(to, from, bytes);
        return;
    }
    for (std::uint32_t i = bytes; i >= 8; i -= 8) {
        std::uint64_t w;
        std::memcpy(&w, from + i - 8, 8);
        std::memcpy(to + i - 8, &w, 8);
    }
}

}  // namespace

void Workspace::compact() {
    const std::uint32_t end = region.size();
    if (heapTop < touchedLow_) touchedLow_ = heapTop;
    std::uint32_t a = end, w = end;
    char* b = base();
    while (a >= heapTop + kTrailerBytes) {
        Trailer t;
        std::memcpy(&t, b + a - kTrailerBytes, sizeof t);
        std::uint32_t p = t.size + kTrailerBytes;
        if (t.inUse) {
            if (w != a) {
                std::uint32_t oldStart = a - p, newStart = w - p;
                moveUp(b + newStart, b + oldStart, p);
                if ((t.owner & kOwnerTagMask) == kOwnerDetached) {
                    if (pending_ && pendingTrailer_ == a - kTrailerBytes) pendingTrailer_ = w - kTrailerBytes;
                } else {
                    setOwner(t.owner, newStart);
                }
                if (curAlloc == oldStart) curAlloc = newStart;
                if (t.holdsDescriptors) {
                    // Items' blocks name their descriptors by offset: follow the move.
                    auto* items = reinterpret_cast<ValueDescriptor*>(b + newStart);
                    for (std::uint32_t i = 0; i < t.size / sizeof(ValueDescriptor); ++i) {
                        if (isOwnedBlock(items[i]) && !isInline(items[i]))
                            trailerOf(items[i])->owner =
                                kOwnerItem | (newStart + i * static_cast<std::uint32_t>(sizeof(ValueDescriptor)));
                    }
                }
            }
            w -= p;
        }
        a -= p;
    }
    heapTop = w;
    garbage_ = 0;
    ++compactions;
    givePagesBack();
}

void Workspace::givePagesBack() {
    // The next cycle allocates about the live bytes and the margin below the
    // top; those pages stay, so a steady loop never faults them in again.
    std::uint32_t keep = liveBytes() + margin_;
    std::uint32_t above = heapTop > keep ? heapTop - keep : 0;
    if (above < stackTop) above = stackTop;
    if (touchedLow_ >= above) return;
    region.discard(touchedLow_, above);
    pagesGivenBack += above - touchedLow_;
    touchedLow_ = above;
}

int Workspace::appendDimRun(const std::int32_t* dims, int rank) {
    // dims[1..rank-1] followed by -1.
    int need = rank < 2 ? 0 : rank;
    if (gListFill + need > caps.gList) return -1;
    int at = gListFill;
    for (int i = 1; i < rank; ++i) gList[gListFill++] = dims[i];
    if (rank >= 2) gList[gListFill++] = -1;
    return at;
}

int Workspace::copyDimRun(int from, int rank) {
    if (gListFill + rank > caps.gList) return -1;
    int at = gListFill;
    // Index, not pointer: the source run lies in the same list.
    for (int i = 0; i < rank; ++i) gList[gListFill++] = gList[from + i];
    return at;
}

void Workspace::clear() {
    region.discard();
    heapTop = region.size();
    touchedLow_ = heapTop;
    garbage_ = 0;
    stackTop = 0;
    pending_ = false;
    freshBlock = false;
    curAlloc = 0;
    for (auto& d : vars) d = ValueDescriptor{};
    for (int s = kFirstGlobalSlot; s < kVariableSlots; ++s) vars[s].rank = -1;
    for (auto& d : consts) d = ValueDescriptor{};
    presetConstants();
    lastGlobalSlot = kFirstGlobalSlot - 1;
    lowestLocalSlot = kLocalRegionEnd;
    lastConstant = kPresetConstants - 1;
    gListFill = 0;
    scheduleGather(0);
}

void Workspace::adoptOwnedRegion(std::uint32_t top) {
    heapTop = top;
    touchedLow_ = top;
    stackTop = 0;
    pending_ = false;
    freshBlock = false;
    curAlloc = 0;
    garbage_ = 0;
    for (std::uint32_t a = region.size(); a > top;) {
        const Trailer* t = reinterpret_cast<const Trailer*>(base() + a - kTrailerBytes);
        if (!t->inUse) noteFreed(*t);
        a -= t->size + kTrailerBytes;
    }
}

}  // namespace wox::values
