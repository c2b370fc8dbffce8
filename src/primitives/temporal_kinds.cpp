#include "primitives/temporal_kinds.h"

#include "types/temporal.h"

namespace wox::primitives {

std::int32_t kindOfWords(const std::int64_t* words, std::int64_t n) {
    if (n <= 0) return kNoKind;
    const std::int64_t first = words[0];
    // Any differing kind leaves a bit in the low three; no branch per word.
    std::int64_t differ = 0;
    for (std::int64_t i = 1; i < n; ++i) differ |= words[i] ^ first;
    return (differ & types::kKindMask) == 0 ? types::temporalKind(first) : kMixedKinds;
}

std::int32_t kindOfValue(const values::Workspace& ws, const ValueDescriptor& d) {
    if (d.type != kTemporal || d.count <= 0) return kNoKind;
    return kindOfWords(ws.elems<std::int64_t>(d), d.count);
}

std::int32_t firstKind(const values::Workspace& ws, const ValueDescriptor& d) {
    if (d.type != kTemporal || d.count <= 0) return kNoKind;
    return types::temporalKind(ws.elems<std::int64_t>(d)[0]);
}

std::int32_t joinKinds(std::int32_t a, std::int32_t b) {
    if (a == kNoKind) return b;
    if (b == kNoKind) return a;
    return a == b ? a : kMixedKinds;
}

std::int64_t temporalFillWord(std::int32_t kind) {
    return types::temporalWord(kind > kNoKind ? kind : types::kDateKind, 0);
}

}  // namespace wox::primitives
