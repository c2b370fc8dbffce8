// Interval !n and where ?b: the positions, counted from the index origin, of
// n items and of the 1s of a Boolean vector.
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// From this many elements on, the interval is larger than the caches, and
// streaming stores skip reading each line of the block before writing it.
constexpr std::int32_t kStreamFrom = 1 << 20;
// Except for its last elements, written through the cache and so still there
// for a reduction, which starts at the right.
constexpr std::int32_t kCachedTail = 1 << 21;

void countUp(std::int32_t* out, std::int32_t n, std::int32_t origin) {
    std::int32_t i = 0;
    if (n >= kStreamFrom) {
        const std::int32_t streamed = n - kCachedTail;
        for (; i < n && reinterpret_cast<std::uintptr_t>(out + i) % 16 != 0; ++i) out[i] = origin + i;
        __m128i a = _mm_setr_epi32(origin + i, origin + i + 1, origin + i + 2, origin + i + 3);
        __m128i b = _mm_add_epi32(a, _mm_set1_epi32(4));
        const __m128i eight = _mm_set1_epi32(8);
        for (; streamed - i >= 8; i += 8) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), a);
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i + 4), b);
            a = _mm_add_epi32(a, eight);
            b = _mm_add_epi32(b, eight);
        }
        _mm_sfence();
    }
    for (; i < n; ++i) out[i] = origin + i;
}

}  // namespace

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
    countUp(reinterpret_cast<std::int32_t*>(bytes), n, origin);
    return kOk;
}

Rc where(values::Context& cx, int result, ValueRef right, ValueRef io) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    int origin;
    WOX_TRY(indexOrigin(ws, io, &origin));
    if (!isIntegralType(y.d.type) || y.d.rank > 1) return kDomainError;
    std::int64_t ones = 0;
    WOX_TRY(countOnes(ws, y, &ones));
    char* bytes;
    WOX_TRY(makeVector(ws, result, kInteger, ones, &bytes));
    y.refresh(ws, result);
    const std::int32_t* b = y.as<std::int32_t>(ws);
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
