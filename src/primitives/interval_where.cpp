// Interval !n and where ?b: the positions, counted from the index origin, of
// n items and of the 1s of a Boolean vector.
#include <cstring>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

Rc interval(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isIntegralType(y.d.type)) return kDomainError;
    if (y.d.rank > 1) return kRankError;
    if (y.d.count != 1) return kLengthError;
    std::int32_t n = y.as<std::int32_t>(ws)[0];
    if (n < 0) return kDomainError;
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, n, &bytes));
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    for (std::int32_t i = 0; i < n; ++i) out[i] = origin + i;
    return kOk;
}

Rc where(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isIntegralType(y.d.type) || y.d.rank > 1) return kDomainError;
    const std::int32_t* b = y.as<std::int32_t>(ws);
    std::int64_t ones = 0;
    for (std::int32_t i = 0; i < y.d.count; ++i) {
        if (b[i] != 0 && b[i] != 1) return kDomainError;
        ones += b[i];
    }
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, ones, &bytes));
    y.refresh(ws, result);
    b = y.as<std::int32_t>(ws);
    auto* out = reinterpret_cast<std::int32_t*>(bytes);
    // Branch-free: every position is written, the cursor moves on a 1.
    std::int64_t k = 0;
    for (std::int32_t i = 0; i < y.d.count && k < ones; ++i) {
        out[k] = origin + i;
        k += b[i];
    }
    return kOk;
}

}  // namespace wox::primitives
