// Unique =y and group >.y: the distinct elements of y in order of first
// occurrence, and the positions where each of them occurs.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "primitives/search.h"
#include "primitives/search_keys.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// first[i] = position of the first element of y equal to y[i].
Rc firstOccurrences(const values::Workspace& ws, const Arg& y, WorkTable<std::int32_t>& first) {
    WOX_TRY(first.allocate(ws.caps, static_cast<std::uint64_t>(y.d.count)));
    AlignedElements ye;
    const char* e = ye.at(ws, y);
    return searchElements(ws.caps, false, y.d.type, e, y.d.count, y.d.type, e, y.d.count, first.data());
}

// Unique of 32-bit integers spanning a narrow range: one presence bit per
// value (a table that stays in the first-level cache for a range of a few
// hundred thousand), one pass. The distinct values are written to `keep`,
// which has room for min(range, n) + 1 of them: the loop stores every
// element before it knows whether it is new, also after the last distinct
// value has been kept. Returns false when the range is too wide.
bool uniqueInRange(const values::Workspace& ws, const std::int32_t* e, std::int64_t n, std::int32_t low,
                   std::uint64_t range, std::int32_t* keep, std::int64_t* kept, Rc* rc) {
    WorkTable<std::uint64_t> seen;
    *rc = seen.allocateFilled(ws.caps, (range + 63) / 64, 0);
    if (rc->failed()) return true;
    std::uint64_t* bits = seen.data();
    std::int64_t k = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint32_t>(e[i] - low);
        const std::uint64_t word = bits[v / 64];
        const std::uint64_t bit = std::uint64_t{1} << (v % 64);
        keep[k] = e[i];
        k += (word & bit) == 0;
        bits[v / 64] = word | bit;
    }
    *kept = k;
    return true;
}

// The unique of an Integer, Boolean or Symbol y of a narrow range, written
// straight into the result; false (with *rc clear) when the range is too
// wide. The distinct values are gathered in the free space above the stack,
// where the result block then starts, or in a work table when that space
// is short.
bool uniqueNarrow(values::Workspace& ws, int result, const Arg& y, Rc* rc) {
    const std::int64_t n = y.d.count;
    const std::int32_t* e = y.as<std::int32_t>(ws);
    std::int32_t lo, hi;
    valueRange(e, n, &lo, &hi);
    const auto range = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    if (range > 4 * static_cast<std::uint64_t>(n) + 65536) return false;
    const std::uint64_t room = std::min<std::uint64_t>(range, static_cast<std::uint64_t>(n)) + 1;
    WorkTable<std::int32_t> table;
    std::int32_t* keep;
    // Well within the free space, so that making the result cannot compact.
    const bool onStack = room * 4 + 4096 < ws.freeBytes() / 2;
    if (onStack) {
        keep = reinterpret_cast<std::int32_t*>(ws.base() + ws.stackTop);
    } else {
        *rc = table.allocate(ws.caps, room);
        if (rc->failed()) return true;
        keep = table.data();
    }
    std::int64_t k = 0;
    if (!uniqueInRange(ws, e, n, lo, range, keep, &k, rc) || rc->failed()) return true;
    char* out;
    *rc = makeVector(ws, result, y.d.type, k, &out);
    if (rc->failed()) return true;
    if (out != reinterpret_cast<char*>(keep)) std::memmove(out, keep, static_cast<std::size_t>(k) * 4);
    return true;
}

}  // namespace

Rc unique(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (y.d.type > kChar && y.d.type != kSymbol && y.d.type != kTemporal) return kDomainError;
    const std::int32_t type = y.d.type;
    const int w = elementStride(type);
    if (y.single()) {
        char* out;
        std::int32_t one = 1;
        WOX_TRY(values::makeResult(ws, result, type, &one, y.d.rank, &out));
        std::memcpy(out, y.bytes(ws), static_cast<std::size_t>(w));
        return kOk;
    }
    const std::int64_t n = y.d.count;
    // The distinct elements are gathered outside the heap first, since their
    // count sizes the result.
    WorkTable<char> kept;
    std::int64_t k = 0;
    if (type == kChar) {
        WOX_TRY(kept.allocate(ws.caps, 256));
        bool seen[256] = {};
        const char* e = y.bytes(ws);
        for (std::int64_t i = 0; i < n && k < 256; ++i) {
            auto c = static_cast<unsigned char>(e[i]);
            if (!seen[c]) { seen[c] = true; kept[k++] = e[i]; }
        }
    } else {
        Rc rc = kOk;
        if (w == 4 && n > 0 && uniqueNarrow(ws, result, y, &rc)) return rc;
        WOX_TRY(kept.allocate(ws.caps, static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(w)));
        {
            WorkTable<std::int32_t> first;
            WOX_TRY(firstOccurrences(ws, y, first));
            const char* e = y.bytes(ws);
            for (std::int64_t i = 0; i < n; ++i)
                if (first[i] == i) std::memcpy(kept.data() + (k++) * w, e + i * w, static_cast<std::size_t>(w));
        }
    }
    char* out;
    WOX_TRY(makeVector(ws, result, type, k, &out));
    if (k > 0) std::memcpy(out, kept.data(), static_cast<std::size_t>(k * w));
    return kOk;
}

Rc group(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (y.d.rank > 1) return kRankError;
    if (y.d.type > kSymbol && y.d.type != kTemporal) return kDomainError;
    const std::int64_t n = y.d.count;
    char* out;
    if (n == 0) {
        // One empty group.
        WOX_TRY(makeVector(ws, result, kGeneral, 1, &out));
        return ownItems(ws, result, [&] { writeFill(kGeneral, ws.base() + ws.var(result).data, 1); });
    }
    if (n == 1) {
        // A lone element: its one group is the enclosed position.
        const std::int32_t position = origin;
        WOX_TRY(makeVector(ws, result, kGeneral, 1, &out));
        return ownItems(ws, result, [&] {
            ValueDescriptor item;
            item.type = kInteger;
            item.rank = 1;
            item.count = 1;
            setInlineInt(item, position);
            std::memcpy(ws.base() + ws.var(result).data, &item, sizeof item);
        });
    }
    // Each element's group, numbered in order of first occurrence; then the
    // positions laid out group after group in one Integer block that the
    // items point into until they own copies.
    WorkTable<std::int32_t> groupOf;
    WOX_TRY(firstOccurrences(ws, y, groupOf));
    std::int64_t groups = 0;
    for (std::int64_t i = 0; i < n; ++i)
        groupOf[i] = groupOf[i] == i ? static_cast<std::int32_t>(groups++) : groupOf[groupOf[i]];
    WorkTable<std::int64_t> start;
    WOX_TRY(start.allocateFilled(ws.caps, static_cast<std::uint64_t>(groups) + 1, 0));
    for (std::int64_t i = 0; i < n; ++i) ++start[groupOf[i] + 1];
    for (std::int64_t g = 0; g < groups; ++g) start[g + 1] += start[g];

    WOX_TRY(makeVector(ws, result, kInteger, n, &out));
    const std::uint32_t positions = ws.var(result).data;
    {
        WorkTable<std::int64_t> next;
        WOX_TRY(next.allocate(ws.caps, static_cast<std::uint64_t>(groups)));
        std::copy(start.data(), start.data() + groups, next.data());
        auto* p = reinterpret_cast<std::int32_t*>(out);
        for (std::int64_t i = 0; i < n; ++i) p[next[groupOf[i]]++] = static_cast<std::int32_t>(i) + origin;
    }
    WOX_TRY(makeVector(ws, result, kGeneral, groups, &out));
    return ownItems(ws, result, [&] {
        auto* items = reinterpret_cast<ValueDescriptor*>(ws.base() + ws.var(result).data);
        for (std::int64_t g = 0; g < groups; ++g) {
            ValueDescriptor item;
            item.type = kInteger;
            item.rank = 1;
            item.count = static_cast<std::int32_t>(start[g + 1] - start[g]);
            const std::uint32_t at = positions + static_cast<std::uint32_t>(start[g]) * 4;
            if (item.count == 1) {
                std::int32_t v;
                std::memcpy(&v, ws.base() + at, 4);
                setInlineInt(item, v);
            } else {
                // Points into the positions block until it gets a block of its own.
                item.shape0 = item.count;
                item.data = at;
                item.blockSize = 1;
            }
            std::memcpy(items + g, &item, sizeof item);
        }
    });
}

}  // namespace wox::primitives
