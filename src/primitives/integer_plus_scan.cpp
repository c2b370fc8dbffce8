#include "primitives/integer_plus_scan.h"

#include "primitives/element_loops.h"
#include "values/value.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace wox::primitives {

namespace {

constexpr std::int64_t kIntLimit = 2147483647;

// Adds x[0..n) to the running sum *s one at a time, testing every sum.
bool carefulStretch(const std::int32_t* x, std::int64_t n, std::int32_t* out, std::int64_t* s) {
    std::int64_t t = *s;
    for (std::int64_t i = 0; i < n; ++i) {
        if (x[i] == kIntNull) return false;
        t += x[i];
        if (t < -kIntLimit || t > kIntLimit) return false;
        out[i] = static_cast<std::int32_t>(t);
    }
    *s = t;
    return true;
}

#if defined(__x86_64__)
// The forms with a mask and zeroing: the plain ones leave GCC 12 warning
// about the undefined register they start from.
constexpr __mmask16 kAllLanes = 0xFFFF;

// Lanes moved k places up, zeros coming in at the bottom.
template <int k>
__attribute__((target("avx512f"))) inline __m512i shiftUp(__m512i v) {
    return _mm512_maskz_alignr_epi32(kAllLanes, v, _mm512_setzero_si512(), 16 - k);
}

// Sixteen elements to a register: their prefix sums in four shifted adds,
// then the carried sum of everything before them. An element of magnitude
// below 2^26 keeps the sixteen in-register sums within 2^30, so only the
// carry can wrap; a wrap is caught by the signs of the addition (and a sum
// of exactly -2^31, the null's pattern, by comparison), both folded into
// flags tested once at the end. A register holding a larger element, or
// the null, is added one element at a time.
__attribute__((target("avx512f"))) bool scanWide(const std::int32_t* x, std::int64_t n, std::int32_t* out) {
    constexpr int kLanes = 16;
    const __m512i zero = _mm512_setzero_si512();
    const __m512i bias = _mm512_set1_epi32(1 << 26);
    const __m512i span = _mm512_set1_epi32((1 << 27) - 1);
    const __m512i nullPattern = _mm512_set1_epi32(kIntNull);
    const __m512i lastLane = _mm512_set1_epi32(kLanes - 1);
    __m512i carry = zero;    // the sum so far, in every lane
    __m512i wrapped = zero;  // sign bits: some carried sum wrapped around
    __mmask16 null = 0;      // some sum is -2^31
    std::int64_t i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        __m512i v = _mm512_loadu_si512(x + i);
        if (_mm512_cmpgt_epu32_mask(_mm512_add_epi32(v, bias), span)) {
            std::int64_t s = _mm512_cvtsi512_si32(carry);
            if (!carefulStretch(x + i, kLanes, out + i, &s)) return false;
            carry = _mm512_set1_epi32(static_cast<std::int32_t>(s));
            continue;
        }
        v = _mm512_add_epi32(v, shiftUp<1>(v));
        v = _mm512_add_epi32(v, shiftUp<2>(v));
        v = _mm512_add_epi32(v, shiftUp<4>(v));
        v = _mm512_add_epi32(v, shiftUp<8>(v));
        const __m512i z = _mm512_add_epi32(carry, v);
        // wrapped |= (carry ^ z) & (v ^ z): both addends differ in sign from z.
        wrapped = _mm512_ternarylogic_epi32(wrapped, _mm512_xor_si512(carry, z), _mm512_xor_si512(v, z), 0xF8);
        null = static_cast<__mmask16>(null | _mm512_cmpeq_epi32_mask(z, nullPattern));
        _mm512_storeu_si512(out + i, z);
        // The next carry from v's last lane, off the path through z.
        carry = _mm512_add_epi32(carry, _mm512_maskz_permutexvar_epi32(kAllLanes, lastLane, v));
    }
    if (null || _mm512_cmplt_epi32_mask(wrapped, zero)) return false;
    std::int64_t s = _mm512_cvtsi512_si32(carry);
    return carefulStretch(x + i, n - i, out + i, &s);
}
#endif

}  // namespace

// A stretch whose sums cannot leave the range (by its largest magnitude)
// runs as a bare running sum; others test every sum.
bool integerPlusScanBaseline(const std::int32_t* x, std::int64_t n, std::int32_t* __restrict out) {
    constexpr std::int64_t kStretch = 1024;
    std::int64_t s = 0;
    for (std::int64_t start = 0; start < n; start += kStretch) {
        const std::int64_t len = n - start < kStretch ? n - start : kStretch;
        const std::int64_t m = largestMagnitude(x + start, len);
        if (m < 0) return false;  // the null
        const std::int32_t* xs = x + start;
        std::int32_t* os = out + start;
        if ((s < 0 ? -s : s) + len * m <= kIntLimit) {
            auto t = static_cast<std::int32_t>(s);
            for (std::int64_t i = 0; i < len; ++i) os[i] = t += xs[i];
            s = t;
        } else if (!carefulStretch(xs, len, os, &s)) {
            return false;
        }
    }
    return true;
}

bool integerPlusScan(const std::int32_t* x, std::int64_t n, std::int32_t* out) {
#if defined(__x86_64__)
    if (hasWideRegisters()) return scanWide(x, n, out);
#endif
    return integerPlusScanBaseline(x, n, out);
}

}  // namespace wox::primitives
