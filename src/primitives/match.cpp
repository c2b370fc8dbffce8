// Match x~y: whether two values are identical in type, shape and every
// element, compared as stored (no tolerance, an Integer never matches a
// Float) and item by item through nested values.
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "primitives/search.h"
#include "values/shaped_result.h"
#include "primitives/structural_result.h"
#include "values/messages.h"
#include "values/shape.h"

namespace wox::primitives {

namespace {

// Bytes of a value's elements that carry its content.
std::size_t contentBytes(const ValueDescriptor& d) {
    if (d.type == kChar) return static_cast<std::size_t>(d.count);
    if (d.type == kEnumeration) return static_cast<std::size_t>(elementSize(d.type, d.count));
    return static_cast<std::size_t>(d.count) * static_cast<std::size_t>(elementStride(d.type));
}

bool sameShape(const values::Workspace& ws, const ValueDescriptor& a, const ValueDescriptor& b) {
    if (a.type != b.type || a.rank != b.rank || a.count != b.count) return false;
    for (int k = 0; k < a.rank; ++k)
        if (values::dimension(ws, a, k) != values::dimension(ws, b, k)) return false;
    return true;
}

// Nested values are walked with a list of pairs still to compare rather than
// by recursion, so no depth of nesting can exhaust the machine stack.
bool identical(const values::Workspace& ws, const ValueDescriptor& x, const ValueDescriptor& y) {
    std::vector<std::pair<ValueDescriptor, ValueDescriptor>> pending{{x, y}};
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        if (!sameShape(ws, a, b)) return false;
        if (a.count == 0 && a.type != kEnumeration) continue;
        const char* pa = values::elementsOf(ws, a);
        const char* pb = values::elementsOf(ws, b);
        if (!holdsDescriptors(a.type)) {
            if (std::memcmp(pa, pb, contentBytes(a)) != 0) return false;
            continue;
        }
        for (std::int32_t i = 0; i < a.count; ++i) {
            ValueDescriptor ia, ib;
            std::memcpy(&ia, pa + 32 * static_cast<std::size_t>(i), sizeof ia);
            std::memcpy(&ib, pb + 32 * static_cast<std::size_t>(i), sizeof ib);
            pending.emplace_back(ia, ib);
        }
    }
    return true;
}

}  // namespace

Rc match(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    ValueDescriptor x = ws.at(left);
    ValueDescriptor y = ws.at(right);
    if (x.unset() || y.unset()) return kValueError;
    bool same;
    try {
        same = identical(ws, x, y);
    } catch (const std::bad_alloc&) {
        return kWorkspaceFull;
    }
    char* out;
    WOX_TRY(values::makeResult(ws, result, kBoolean, nullptr, 0, &out));
    const std::int32_t v = same ? 1 : 0;
    std::memcpy(out, &v, 4);
    return kOk;
}

}  // namespace wox::primitives
