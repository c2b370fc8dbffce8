// Gathering gList: a loop that makes values of rank 3 or more appends a run
// for each of them, and the runs of values that are gone would otherwise fill
// the list long before the workspace is cleared.
//
// Descriptors are found where they can be trusted: variable and constant
// slots other than temporaries, and the items of owned blocks in use. Their
// runs move. A temporary slot may hold a stale descriptor (the stack below it
// was reused), so its run, and the runs of items it seems to hold, are only
// read, never rewritten: they keep their places, live or not.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "values/workspace.h"

namespace wox::values {

void Workspace::scheduleGather(int fill) {
    // When a quarter of what is left has been taken: a list that stays
    // nearly full is not walked again at every line.
    gatherAt_ = fill + std::max(1, (caps.gList - fill) / 4);
}

bool Workspace::gatherDimRuns(int lastLiveTemp) {
    const int fill = gListFill;
    const int cap = caps.gList;
    scheduleGather(fill);  // stands if gathering gives up
    // A run of a rank-r value is r words: dimensions 2 to r, then -1.
    auto runIn = [&](const ValueDescriptor& d) {
        return d.rank >= 3 && d.shape1 >= 0 && d.shape1 <= fill - d.rank;
    };

    // Words of the list taken: first the kept runs, then each moved one.
    std::vector<std::uint8_t> used(static_cast<std::size_t>(cap), 0);
    auto keep = [&](const ValueDescriptor& d) {
        if (runIn(d)) std::fill_n(used.begin() + d.shape1, d.rank, std::uint8_t{1});
    };
    // Temporaries and what they seem to hold, read with every bound checked:
    // a stale descriptor may point anywhere. The walk is bounded too, so a
    // stale block that names itself cannot keep it going.
    const std::uint64_t end = region.size();
    std::vector<ValueDescriptor> seen;
    std::uint64_t budget = end / sizeof(ValueDescriptor);
    for (int s = 0; s < static_cast<int>(vars.size()); ++s)
        if (isTempSlot(s) && s <= lastLiveTemp) seen.push_back(vars[static_cast<std::size_t>(s)]);
    while (!seen.empty()) {
        const ValueDescriptor d = seen.back();
        seen.pop_back();
        keep(d);
        if (!holdsDescriptors(d.type) || d.count <= 0 || d.blockSize <= 0) continue;
        const std::uint64_t bytes = static_cast<std::uint64_t>(d.count) * sizeof(ValueDescriptor);
        if (d.data >= end || bytes > end - d.data || bytes > static_cast<std::uint64_t>(d.blockSize)) continue;
        if (static_cast<std::uint64_t>(d.count) > budget) return false;
        budget -= static_cast<std::uint64_t>(d.count);
        for (std::int32_t i = 0; i < d.count; ++i) {
            ValueDescriptor item;
            std::memcpy(&item, base() + d.data + static_cast<std::uint64_t>(i) * sizeof item, sizeof item);
            seen.push_back(item);
        }
    }

    // Descriptors whose runs may move: in slots, and items of owned blocks.
    // Temporaries out of use are left as they are: nothing reads them again.
    std::vector<ValueDescriptor*> moving;
    auto consider = [&](ValueDescriptor& d) {
        if (!runIn(d)) return;
        if (std::all_of(used.begin() + d.shape1, used.begin() + d.shape1 + d.rank, [](std::uint8_t k) { return k; }))
            return;  // shares a kept run
        moving.push_back(&d);
    };
    for (int s = 0; s < static_cast<int>(vars.size()); ++s)
        if (!isTempSlot(s)) consider(vars[static_cast<std::size_t>(s)]);
    for (ValueDescriptor& d : consts) consider(d);
    for (std::uint32_t a = region.size(); a >= heapTop + kTrailerBytes;) {
        Trailer t;
        std::memcpy(&t, base() + a - kTrailerBytes, sizeof t);
        const std::uint32_t start = a - kTrailerBytes - t.size;
        if (t.inUse && t.holdsDescriptors) {
            auto* items = reinterpret_cast<ValueDescriptor*>(base() + start);
            for (std::uint32_t i = 0; i < t.size / sizeof(ValueDescriptor); ++i) consider(items[i]);
        }
        a = start;
    }

    // New places, first fit from the bottom around the kept words, in the
    // order of the old places. Nothing is written until every run has one.
    std::vector<std::int32_t> next(static_cast<std::size_t>(cap), 0);
    int top = 0;
    for (int w = 0; w < fill; ++w) {
        if (!used[static_cast<std::size_t>(w)]) continue;
        next[static_cast<std::size_t>(w)] = gList[static_cast<std::size_t>(w)];
        top = w + 1;
    }
    std::stable_sort(moving.begin(), moving.end(),
                     [](const ValueDescriptor* a, const ValueDescriptor* b) { return a->shape1 < b->shape1; });
    std::vector<std::int32_t> places(moving.size());
    // Holes only fill up, so no run of length r fits below where the last
    // one of that length went: one cursor per length keeps this linear.
    std::map<int, int> cursors;
    for (std::size_t k = 0; k < moving.size(); ++k) {
        const int r = moving[k]->rank;
        int& at = cursors[r];
        for (;;) {
            if (at > cap - r) return false;
            auto clash = std::find(used.begin() + at, used.begin() + at + r, std::uint8_t{1});
            if (clash == used.begin() + at + r) break;
            at = static_cast<int>(clash - used.begin()) + 1;
        }
        std::copy_n(gList.begin() + moving[k]->shape1, r, next.begin() + at);
        std::fill_n(used.begin() + at, r, std::uint8_t{1});
        places[k] = at;
        at += r;
        top = std::max(top, at);
    }

    for (std::size_t k = 0; k < moving.size(); ++k) moving[k]->shape1 = places[k];
    std::copy_n(next.begin(), top, gList.begin());
    gListFill = top;
    scheduleGather(top);
    return true;
}

}  // namespace wox::values
