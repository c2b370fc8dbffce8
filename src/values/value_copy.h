#pragma once
// Copying whole values between slots. A variable's value lives in owned
// blocks (nested items too, each owned by its item descriptor); a temporary's
// value lives on the stack, items included. No descriptor ever points at a
// block it does not own, so compaction can keep every owner right.
#include <functional>

#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::values {

// What a deep copy of a value takes: owned bytes (trailers included), stack
// bytes, and gList words for dimension runs.
struct TreeNeeds {
    std::uint64_t owned = 0;
    std::uint64_t stack = 0;
    std::int64_t glist = 0;
};
// Adds the needs of copying the value d, items and all, to `needs`.
void measureTree(const Workspace& ws, const ValueDescriptor& d, TreeNeeds& needs);

// Gives the descriptor at `into` (a copy of its source's) blocks of its own,
// on the stack or owned by `owner`, and copies the elements, items and all.
// The caller has made room for what measureTree reported, so nothing moves.
void copyTreeInto(Workspace& ws, ValueDescriptor* into, std::uint32_t owner, bool onStack);

// Copies the value named by src into variable slot dst. The slot's replaced
// block stays readable until ws.releasePending(). Fails with 4 for an unset
// source, 6 when the heap is full, 9 when gList is full; on failure dst keeps
// its old value.
Rc assignValue(Workspace& ws, int dst, ValueRef src);

// A scalar into a variable that holds no block, with no release pending, as
// a loop's counter or a call's argument: what assignValue does, with nothing
// to retire or release. Returns false, having done nothing, for anything else.
inline bool assignScalarInPlace(Workspace& ws, int dst, ValueRef src) {
    const ValueDescriptor& s = ws.at(src);
    ValueDescriptor& d = ws.var(dst);
    if (!isInline(s) || src == varRef(dst) || ws.isOwnedBlock(d) || ws.hasPending()) return false;
    // Copied whole, then the two words cleared: s and d are distinct slots.
    d = s;
    d.blockSize = 0;
    d.data = 0;
    return true;
}

// Copies item `index` of the General value named by container into variable
// slot dst, as assignValue does.
Rc assignItem(Workspace& ws, int dst, ValueRef container, int index);

// Copies the value named by src into temporary slot tmp, on the stack.
Rc copyTreeToTemp(Workspace& ws, int tmp, ValueRef src);
// The same; a single element, what calls and nested lines mostly hand
// back, is copied inline without a call.
inline Rc copyToTemp(Workspace& ws, int tmp, ValueRef src) {
    if (src != varRef(tmp)) {
        const ValueDescriptor& s = ws.at(src);
        if (isInline(s)) {
            ValueDescriptor& d = ws.var(tmp);
            d = s;
            d.blockSize = 0;
            d.data = 0;
            return kOk;
        }
    }
    return copyTreeToTemp(ws, tmp, src);
}

// Copies item `index` of the General value named by container into
// temporary slot tmp, on the stack.
Rc copyItemToTemp(Workspace& ws, int tmp, ValueRef container, int index);

// Copies the value named by src into the item descriptor at heap offset
// `item` of a temporary value (stack blocks).
Rc copyIntoTempItem(Workspace& ws, std::uint32_t item, ValueRef src);

// Gives every item of the General temporary in slot tmp blocks of its own on
// the stack. fill() writes the items' descriptors as plain copies of other
// values' items (sharing their blocks); when the heap has to be compacted
// to make room, those blocks may move, so fill() runs again after it. Fails
// with 6 or 9, leaving an empty vector in the slot.
Rc ownTempItems(Workspace& ws, int tmp, const std::function<void()>& fill);

}  // namespace wox::values
