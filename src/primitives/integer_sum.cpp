#include "primitives/integer_sum.h"

#include "primitives/element_loops.h"
#include "values/value.h"

#if defined(__x86_64__)
// GCC 12 takes the headers' deliberately undefined upper halves for
// uninitialised reads once sanitizers are on.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

namespace wox::primitives {

namespace {

#if defined(__x86_64__)
// Thirty-two elements a step, widened to 64 bits into four accumulators so
// that the additions of one step do not wait for each other; the null is
// looked for by comparison in the same pass. The compiler's own AVX2 form of
// the plain loop keeps one accumulator and falls behind the memory it reads.
__attribute__((target("avx512f"))) std::int64_t sumWide(const std::int32_t* x, std::int64_t n, bool* null) {
    constexpr std::int64_t kStep = 32;
    const __m512i nullPattern = _mm512_set1_epi32(kIntNull);
    __m512i s0 = _mm512_setzero_si512(), s1 = s0, s2 = s0, s3 = s0;
    __mmask16 nulls = 0;
    std::int64_t i = 0;
    for (; i + kStep <= n; i += kStep) {
        const __m512i a = _mm512_loadu_si512(x + i);
        const __m512i b = _mm512_loadu_si512(x + i + 16);
        nulls = static_cast<__mmask16>(nulls | _mm512_cmpeq_epi32_mask(a, nullPattern) |
                                       _mm512_cmpeq_epi32_mask(b, nullPattern));
        s0 = _mm512_add_epi64(s0, _mm512_cvtepi32_epi64(_mm512_castsi512_si256(a)));
        s1 = _mm512_add_epi64(s1, _mm512_cvtepi32_epi64(_mm512_extracti64x4_epi64(a, 1)));
        s2 = _mm512_add_epi64(s2, _mm512_cvtepi32_epi64(_mm512_castsi512_si256(b)));
        s3 = _mm512_add_epi64(s3, _mm512_cvtepi32_epi64(_mm512_extracti64x4_epi64(b, 1)));
    }
    std::int64_t s = _mm512_reduce_add_epi64(_mm512_add_epi64(_mm512_add_epi64(s0, s1), _mm512_add_epi64(s2, s3)));
    if (nulls) *null = true;
    return s + integerSumBaseline(x + i, n - i, null);
}
#endif

}  // namespace

WOX_VECTOR_CLONES std::int64_t integerSumBaseline(const std::int32_t* x, std::int64_t n, bool* null) {
    std::int64_t s = 0;
    int nul = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        s += x[i];
        nul |= x[i] == kIntNull;
    }
    if (nul) *null = true;
    return s;
}

std::int64_t integerSum(const std::int32_t* x, std::int64_t n, bool* null) {
#if defined(__x86_64__)
    if (hasWideRegisters()) return sumWide(x, n, null);
#endif
    return integerSumBaseline(x, n, null);
}

}  // namespace wox::primitives
