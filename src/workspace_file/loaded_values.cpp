#include "workspace_file/loaded_values.h"

#include <algorithm>
#include <cstring>

#include "types/enumeration.h"
#include "values/keyed_value.h"

namespace wox::workspace_file {

using values::kOwnerItem;
using values::kTrailerBytes;
using values::Trailer;

namespace {

// The types a workspace of this program can hold.
bool knownType(std::int32_t t) {
    switch (t) {
        case kBoolean: case kInteger: case kFloat: case kChar: case kComplex: case kSymbol: case kGeneral:
        case kTemporal: case kEnumeration: case kDictionary: case kTable:
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

// Elements that are words must be valid ones; elements of an older file
// are record indices, which must lie in the table, and are turned into the
// records' words in place (from the back: word i covers indices 2i and 2i+1,
// which are done by then).
bool LoadedValues::checkTemporals(ValueDescriptor& d, char* elements) {
    if (!recordWords) {
        bool bad = false;
        for (std::int32_t i = 0; i < d.count; ++i) {
            types::TemporalWord w;
            std::memcpy(&w, elements + 8 * static_cast<std::size_t>(i), 8);
            bad |= !types::validTemporalWord(w);
        }
        return !bad;
    }
    const std::vector<types::TemporalWord>& table = *recordWords;
    for (std::int32_t i = d.count; i-- > 0;) {
        std::uint32_t index;
        std::memcpy(&index, elements + 4 * static_cast<std::size_t>(i), 4);
        if (index >= table.size()) return false;
        std::memcpy(elements + 8 * static_cast<std::size_t>(i), &table[index], 8);
    }
    return true;
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
        if (d.type == kTemporal) return checkTemporals(d, reinterpret_cast<char*>(&d.shape0));
        return true;
    }
    // A table's column list keeps the row count in shape word 0, a
    // dictionary its kind.
    const bool columnList = (owner & values::kOwnerTagMask) == kOwnerItem &&
                            columnLists_.count(owner & ~values::kOwnerTagMask) > 0;
    const bool keyedPair = d.type == kDictionary || d.type == kTable;
    if (d.rank == 1 && d.shape0 != d.count && !columnList && !keyedPair) return false;
    if (!columnList && !keyedPair && shapeCount(ws, d) != d.count) return false;
    if (d.count == 0) return !keyedPair;
    if (d.blockSize < elementSize(d.type, d.count)) return false;
    char* p = ws.base() + d.data;
    if (keyedPair && !checkPair(ws, d)) return false;
    if (columnList && !checkColumns(ws, d)) return false;
    if (d.type == kTemporal && !checkTemporals(d, p)) return false;
    if (d.type == kBoolean || d.type == kSymbol) {
        // Largest element allowed.
        const std::uint32_t limit = d.type == kBoolean ? 1u : static_cast<std::uint32_t>(lastSymbol);
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
    columnLists_.clear();
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

// A dictionary, keyed table or table: two parts of the right kinds. Only
// the descriptors are read here; each part is checked in its turn.
bool LoadedValues::checkPair(values::Workspace& ws, const ValueDescriptor& d) {
    if (d.rank != 1 || d.count != 2) return false;
    const ValueDescriptor* parts = reinterpret_cast<const ValueDescriptor*>(ws.base() + d.data);
    if (d.type == kTable) {
        const ValueDescriptor& names = parts[0];
        const ValueDescriptor& columns = parts[1];
        if (names.type != kSymbol || names.rank > 1 || columns.type != kGeneral || columns.rank != 1) return false;
        if (names.count != columns.count || columns.shape0 < 0) return false;
        columnLists_.insert(d.data + 32u);
        return true;
    }
    if (d.shape0 == kPlainDictionary) {
        for (int i = 0; i < 2; ++i)
            if (parts[i].type > kTemporal || parts[i].rank != 1) return false;
        return parts[0].count == parts[1].count;
    }
    if (d.shape0 != kKeyedTable || parts[0].type != kTable || parts[1].type != kTable) return false;
    // Key and value tables have one row count, which their column lists keep.
    std::int32_t rows[2];
    for (int i = 0; i < 2; ++i) {
        const Block* b = parts[i].count == 2 ? find(parts[i].data) : nullptr;
        if (b == nullptr || b->size < 64) return false;
        rows[i] = reinterpret_cast<const ValueDescriptor*>(ws.base() + parts[i].data)[1].shape0;
    }
    return rows[0] == rows[1];
}

// Every column of a table has its row count.
bool LoadedValues::checkColumns(values::Workspace& ws, const ValueDescriptor& list) {
    const ValueDescriptor* columns = reinterpret_cast<const ValueDescriptor*>(ws.base() + list.data);
    for (std::int32_t c = 0; c < list.count; ++c) {
        const ValueDescriptor& col = columns[c];
        const std::int64_t length = col.rank >= 2 ? col.shape0 : col.count;
        if (col.rank < 1 || col.rank > 2 || (col.rank == 2 && col.type != kChar) || length != list.shape0)
            return false;
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
