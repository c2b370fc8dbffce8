#include "primitives/search_keys.h"

#include <array>

#include "primitives/element_loops.h"

namespace wox::primitives {

// A loop the compiler vectorises; the baseline has no 32-bit minimum or
// maximum instructions, so it is built for wider registers as well.
WOX_VECTOR_CLONES void valueRange(const std::int32_t* e, std::int64_t n, std::int32_t* low, std::int32_t* high) {
    std::int32_t lo = e[0], hi = e[0];
    for (std::int64_t i = 1; i < n; ++i) {
        lo = e[i] < lo ? e[i] : lo;
        hi = e[i] > hi ? e[i] : hi;
    }
    *low = lo;
    *high = hi;
}

namespace {

template <bool Presence>
Rc searchAs(const Capacities& caps, std::int32_t typeA, const char* a, std::int64_t na, std::int32_t typeB,
            const char* b, std::int64_t nb, std::int32_t* out) {
    const std::int32_t absent = Presence ? 0 : static_cast<std::int32_t>(na);
    switch (searchKindOf(typeA, typeB)) {
        case SearchKind::None:
            std::fill(out, out + nb, absent);
            return kOk;
        case SearchKind::Char: {
            // Every character has its slot: no hashing, no allocation.
            std::array<std::int32_t, 256> first;
            first.fill(absent);
            for (std::int64_t i = na - 1; i >= 0; --i)
                first[static_cast<unsigned char>(a[i])] = Presence ? 1 : static_cast<std::int32_t>(i);
            for (std::int64_t j = 0; j < nb; ++j) out[j] = first[static_cast<unsigned char>(b[j])];
            return kOk;
        }
        case SearchKind::Int32:
            return firstPositionsInt<Presence>(caps, na, reinterpret_cast<const std::int32_t*>(a), nb,
                                               reinterpret_cast<const std::int32_t*>(b), out);
        case SearchKind::Word: {
            auto fa = [a](std::int64_t i) { return reinterpret_cast<const std::uint64_t*>(a)[i]; };
            auto fb = [b](std::int64_t j) { return reinterpret_cast<const std::uint64_t*>(b)[j]; };
            return firstPositions<Presence, std::uint64_t>(caps, na, fa, nb, fb, out);
        }
        case SearchKind::Real: {
            auto reader = [](std::int32_t type, const char* p) {
                return [type, p](std::int64_t i) {
                    return type == kFloat ? realBits(reinterpret_cast<const double*>(p)[i])
                                          : realBits(reinterpret_cast<const std::int32_t*>(p)[i]);
                };
            };
            // The common cases read one type per side with no test per element.
            if (typeA == kFloat && typeB == kFloat) {
                auto fa = [a](std::int64_t i) { return realBits(reinterpret_cast<const double*>(a)[i]); };
                auto fb = [b](std::int64_t j) { return realBits(reinterpret_cast<const double*>(b)[j]); };
                return firstPositions<Presence, std::uint64_t>(caps, na, fa, nb, fb, out);
            }
            return firstPositions<Presence, std::uint64_t>(caps, na, reader(typeA, a), nb, reader(typeB, b), out);
        }
        case SearchKind::Complex: {
            auto reader = [](std::int32_t type, const char* p) {
                return [type, p](std::int64_t i) {
                    if (type == kComplex) {
                        const double* z = reinterpret_cast<const double*>(p) + 2 * i;
                        return ComplexKey{realBits(z[0]), realBits(z[1])};
                    }
                    if (type == kFloat) return ComplexKey{realBits(reinterpret_cast<const double*>(p)[i]), 0};
                    return ComplexKey{realBits(reinterpret_cast<const std::int32_t*>(p)[i]), 0};
                };
            };
            return firstPositions<Presence, ComplexKey>(caps, na, reader(typeA, a), nb, reader(typeB, b), out);
        }
    }
    return kOk;
}

}  // namespace

Rc searchElements(const Capacities& caps, bool presence, std::int32_t typeA, const char* a, std::int64_t na,
                  std::int32_t typeB, const char* b, std::int64_t nb, std::int32_t* out) {
    return presence ? searchAs<true>(caps, typeA, a, na, typeB, b, nb, out)
                    : searchAs<false>(caps, typeA, a, na, typeB, b, nb, out);
}

}  // namespace wox::primitives
