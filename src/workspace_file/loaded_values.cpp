#include "workspace_file/loaded_values.h"

#include <algorithm>
#include <cstring>

#include "types/enumeration.h"

namespace wox::workspace_file {

using values::kOwnerItem;
using values::kTrailerBytes;
using values::Trailer;

namespace {

// The types a workspace of this program can hold.
bool knownType(std::int32_t t) {
    switch (t) {
        case kBoolean: case kInteger: case kFloat: case kChar: case kComplex: case kSymbol: case kGeneral:
        case kTemporal: case kEnumeration:
            return true;
        default:
            return false;
    }
}

// The count the shape gives, or -1 when the shape is unsound.
std::int64_t shapeCount(const values::Workspace& ws, const ValueDescriptor& d) {
    if (d.rank == 0) return 1;
    if (d.rank == 1) return d.shape0;
    if (d.shape0 < 0) return -1;
    if (d.rank == 2) return d.shape1 < 0 ? -1 : std::int64_t{d.shape0} * d.shape1;
    // Rank 3 and more: dimensions 1.. and a -1 in gList from shape word 1.
    std::int64_t run = d.shape1;
    if (run < 0 || run + d.rank > ws.gListFill) return -1;
    std::int64_t n = d.shape0;
    for (int k = 1; k < d.rank; ++k) {
        std::int32_t dim = ws.gList[static_cast<std::size_t>(run + k - 1)];
        if (dim < 0) return -1;
        n *= dim;
        if (n > INT32_MAX) return -1;
    }
    return ws.gList[static_cast<std::size_t>(run + d.rank - 1)] == -1 ? n : -1;
}

// An enumeration names its domain by a symbol and a variable slot, and
// holds positions, which are never negative. Whether the slot holds a
// domain is asked whenever the enumeration is read, as the domain variable
// may change at any time.
bool soundEnumeration(const values::Workspace& ws, const ValueDescriptor& d, std::int32_t lastSymbol) {
    types::EnumerationHeader h;
    if (d.rank > 1 || !types::readHeader(ws, d, &h)) return false;
    if (h.name < 0 || h.name > lastSymbol || isConstRef(h.domain)) return false;
    if (-static_cast<std::int64_t>(h.domain) >= static_cast<std::int64_t>(ws.vars.size())) return false;
    const std::int32_t* p = types::positionsOf(ws, d);
    bool negative = false;
    for (std::int32_t i = 0; i < d.count; ++i) negative |= p[i] < 0;
    return !negative;
}

}  // namespace

bool LoadedValues::walkBlocks(values::Workspace& ws, std::uint32_t top, std::int64_t shift) {
    blocks_.clear();
    std::uint32_t a = ws.region.size();
    while (a > top) {
        if (a - top < kTrailerBytes) return false;
        Trailer t;
        std::memcpy(&t, ws.base() + a - kTrailerBytes, sizeof t);
        if (t.size % 8 != 0 || t.size > a - top - kTrailerBytes || t.inUse > 1 || t.holdsDescriptors > 1)
            return false;
        a -= t.size + kTrailerBytes;
        if (t.inUse) blocks_.push_back(Block{a, t.size, false});
    }
    std::reverse(blocks_.begin(), blocks_.end());
    if (a != top) return false;
    if (shift != 0) relocate(ws, shift);
    return true;
}

void LoadedValues::relocate(values::Workspace& ws, std::int64_t shift) {
    for (const Block& b : blocks_) {
        Trailer* t = reinterpret_cast<Trailer*>(ws.base() + b.start + b.size);
        if ((t->owner & values::kOwnerTagMask) == kOwnerItem)
            t->owner = static_cast<std::uint32_t>((t->owner + shift) & ~values::kOwnerTagMask);
        if (!t->holdsDescriptors) continue;
        for (std::uint32_t at = b.start; at + sizeof(ValueDescriptor) <= b.start + b.size; at += sizeof(ValueDescriptor)) {
            ValueDescriptor* item = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
            if (item->data != 0) item->data = static_cast<std::uint32_t>(item->data + shift);
        }
    }
}

LoadedValues::Block* LoadedValues::find(std::uint32_t start) {
    auto it = std::lower_bound(blocks_.begin(), blocks_.end(), start,
                               [](const Block& b, std::uint32_t s) { return b.start < s; });
    return it != blocks_.end() && it->start == start ? &*it : nullptr;
}

bool LoadedValues::checkOne(values::Workspace& ws, ValueDescriptor& d, std::uint32_t owner,
                            std::int32_t lastSymbol) {
    if (!knownType(d.type) || d.rank < 0 || d.count < 0 || d.blockSize < 0) return false;
    const bool inl = isInline(d);
    if (inl) {
        // An inline value owns no block: copies of it would carry a block
        // word without the block. A block it named is freed below.
        d.blockSize = 0;
        d.data = 0;
    }
    if (d.blockSize > 0) {
        Block* b = find(d.data);
        if (!b || b->claimed || b->size != values::padded(static_cast<std::uint32_t>(d.blockSize))) return false;
        Trailer* t = ws.trailerOf(d);
        if (t->owner != owner || t->holdsDescriptors != (holdsDescriptors(d.type) ? 1 : 0)) return false;
        b->claimed = true;
    }
    if (inl) {
        if (d.type == kBoolean && static_cast<std::uint32_t>(d.shape0) > 1) return false;
        if (d.type == kSymbol && (d.shape0 < 0 || d.shape0 > lastSymbol)) return false;
        if (d.type == kTemporal && (d.shape0 < 0 || d.shape0 >= temporalCount)) return false;
        return true;
    }
    if (d.rank == 1 && d.shape0 != d.count) return false;
    if (shapeCount(ws, d) != d.count) return false;
    if (d.count == 0) return true;
    if (d.blockSize < elementSize(d.type, d.count)) return false;
    const char* p = ws.base() + d.data;
    if (d.type == kBoolean || d.type == kSymbol || d.type == kTemporal) {
        // Largest element allowed; an empty temporal table allows none.
        std::uint32_t limit = d.type == kBoolean  ? 1u
                              : d.type == kSymbol ? static_cast<std::uint32_t>(lastSymbol)
                                                  : static_cast<std::uint32_t>(temporalCount - 1);
        std::uint32_t bad = 0;
        for (std::int32_t i = 0; i < d.count; ++i) {
            std::uint32_t v;
            std::memcpy(&v, p + 4 * static_cast<std::size_t>(i), 4);
            bad |= v > limit;
        }
        if (bad) return false;
    }
    if (d.type == kEnumeration && !soundEnumeration(ws, d, lastSymbol)) return false;
    if (holdsDescriptors(d.type))
        for (std::int32_t i = 0; i < d.count; ++i) items_.push_back(d.data + 32u * static_cast<std::uint32_t>(i));
    return true;
}

bool LoadedValues::check(values::Workspace& ws, ValueDescriptor& d, std::uint32_t owner, bool unsetAllowed,
                         std::int32_t lastSymbol) {
    if (d.rank == -1 && unsetAllowed) {
        d = ValueDescriptor{};
        d.rank = -1;
        return true;
    }
    items_.clear();
    if (!checkOne(ws, d, owner, lastSymbol)) return false;
    // Items are checked from a work list, so no nesting depth can exhaust
    // the machine stack. Each item lies in a claimed block, and a block is
    // claimed once, so the walk ends.
    while (!items_.empty()) {
        std::uint32_t at = items_.back();
        items_.pop_back();
        ValueDescriptor* item = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
        if (!checkOne(ws, *item, kOwnerItem | at, lastSymbol)) return false;
    }
    return true;
}

void LoadedValues::freeUnclaimed(values::Workspace& ws) {
    for (const Block& b : blocks_) {
        if (b.claimed) continue;
        reinterpret_cast<Trailer*>(ws.base() + b.start + b.size)->inUse = 0;
    }
}

}  // namespace wox::workspace_file
