#include "primitives/element_loops.h"

namespace wox::primitives {

void narrowFloatResult(values::Context& cx, const ArgumentDigest& g) {
    ValueDescriptor& d = cx.ws.var(g.result);
    char* block = cx.ws.base() + d.data;
    auto* out = reinterpret_cast<std::int32_t*>(block);
    // Element i is read before any write reaches its bytes.
    for (std::int64_t i = 0; i < d.count; ++i) {
        double v;
        std::memcpy(&v, block + 8 * i, 8);
        out[i] = v != v ? kIntNull : static_cast<std::int32_t>(v);
    }
    d.type = kInteger;
}

bool hasWideRegisters() {
#if defined(__x86_64__)
    static const bool wide = __builtin_cpu_supports("avx512f");
    return wide;
#else
    return false;
#endif
}

WOX_VECTOR_CLONES std::int64_t largestMagnitude(const std::int32_t* p, std::int64_t n) {
    std::int64_t m = 0;
    int null = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        std::int64_t v = p[i];
        null |= p[i] == kIntNull;
        v = v < 0 ? -v : v;
        m = v > m ? v : m;
    }
    return null ? -1 : m;
}

}  // namespace wox::primitives
