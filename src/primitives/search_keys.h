#pragma once
// What index of, membership, unique and group share: elements turned into
// keys whose bitwise equality is the functions' equality (numbers by value,
// so 3 finds 3.0; 0 finds -0; the null finds the null), and the search of
// one run of keys in another that answers, for each key sought, the position
// of its first occurrence.
//
// Short searches compare directly; longer ones use a direct-address table
// when integer keys span a narrow range, else an open-addressing hash table
// (linear probing, power-of-two size, at least half empty). Every table is
// a WorkTable, so a search that cannot get its memory is "workspace full".
#include <algorithm>
#include <bit>
#include <cstring>
#include <cstdint>
#include <limits>

#include "primitives/structural_result.h"
#include "primitives/work_table.h"
#include "values/capacities.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// How two element types compare: kinds apart never meet.
enum class SearchKind { None, Char, Int32, Word, Real, Complex };

inline SearchKind searchKindOf(std::int32_t a, std::int32_t b) {
    auto kind = [](std::int32_t t) {
        if (t == kChar) return 1;
        if (t == kSymbol) return 2;
        if (t == kTemporal) return 3;
        return 0;
    };
    if (kind(a) != kind(b)) return SearchKind::None;
    if (a == kChar) return SearchKind::Char;
    if (a == kSymbol) return SearchKind::Int32;
    // Temporal words are equal exactly when their moments and kinds are.
    if (a == kTemporal) return SearchKind::Word;
    if (a == kComplex || b == kComplex) return SearchKind::Complex;
    if (a == kFloat || b == kFloat) return SearchKind::Real;
    return SearchKind::Int32;
}

// Canonical bits of a number: one NaN for every null, +0 for -0.
inline constexpr std::uint64_t kNullBits = 0x7ff8000000000000ull;
inline std::uint64_t realBits(double v) {
    if (v != v) return kNullBits;
    if (v == 0) return 0;
    return std::bit_cast<std::uint64_t>(v);
}
inline std::uint64_t realBits(std::int32_t v) {
    return v == kIntNull ? kNullBits : realBits(static_cast<double>(v));
}

struct ComplexKey {
    std::uint64_t re = 0;
    std::uint64_t im = 0;
    bool operator==(const ComplexKey&) const = default;
};

inline std::uint64_t hashKey(std::uint32_t k) { return k * 0x9E3779B97F4A7C15ull; }
inline std::uint64_t hashKey(std::uint64_t k) { return (k ^ (k >> 29)) * 0x9E3779B97F4A7C15ull; }
inline std::uint64_t hashKey(const ComplexKey& k) { return hashKey(k.re ^ hashKey(k.im)); }

// Products of the counts below this compare directly.
inline constexpr std::uint64_t kHashThreshold = 1024;

// For each j < nb, out[j] = the first i < na with a(i) == b(j), else na.
// With Presence set, out[j] is only 1 or 0 (found or not).
template <bool Presence, class K, class GetA, class GetB>
Rc firstPositions(const Capacities& caps, std::int64_t na, GetA a, std::int64_t nb, GetB b, std::int32_t* out) {
    const auto absent = static_cast<std::int32_t>(Presence ? 0 : na);
    auto found = [](std::int64_t i) { return static_cast<std::int32_t>(Presence ? 1 : i); };
    if (static_cast<std::uint64_t>(na) * static_cast<std::uint64_t>(nb) < kHashThreshold) {
        for (std::int64_t j = 0; j < nb; ++j) {
            K key = b(j);
            std::int32_t r = absent;
            for (std::int64_t i = 0; i < na; ++i)
                if (a(i) == key) { r = found(i); break; }
            out[j] = r;
        }
        return kOk;
    }
    std::uint64_t size = 16;
    while (size < 2 * static_cast<std::uint64_t>(na)) size <<= 1;
    const int shift = 64 - std::countr_zero(size);
    const std::uint64_t mask = size - 1;
    struct Slot { K key; std::int32_t pos; };
    WorkTable<Slot> table;
    WOX_TRY(table.allocateFilled(caps, size, Slot{K{}, -1}));
    Slot* t = table.data();
    for (std::int64_t i = 0; i < na; ++i) {
        K key = a(i);
        std::uint64_t h = hashKey(key) >> shift;
        while (t[h].pos >= 0 && !(t[h].key == key)) h = (h + 1) & mask;
        if (t[h].pos < 0) t[h] = Slot{key, static_cast<std::int32_t>(i)};
    }
    for (std::int64_t j = 0; j < nb; ++j) {
        K key = b(j);
        std::uint64_t h = hashKey(key) >> shift;
        while (t[h].pos >= 0 && !(t[h].key == key)) h = (h + 1) & mask;
        out[j] = t[h].pos < 0 ? absent : found(t[h].pos);
    }
    return kOk;
}

// Least and greatest of n > 0 integers.
void valueRange(const std::int32_t* e, std::int64_t n, std::int32_t* low, std::int32_t* high);

// The same for 32-bit integer keys read from blocks (Integer, Boolean,
// Symbol): a direct-address table over the range of a when it is narrow.
template <bool Presence>
Rc firstPositionsInt(const Capacities& caps, std::int64_t na, const std::int32_t* a, std::int64_t nb,
                     const std::int32_t* b, std::int32_t* out) {
    auto hashed = [&] {
        return firstPositions<Presence, std::uint32_t>(
            caps, na, [a](std::int64_t i) { return static_cast<std::uint32_t>(a[i]); }, nb,
            [b](std::int64_t j) { return static_cast<std::uint32_t>(b[j]); }, out);
    };
    if (static_cast<std::uint64_t>(na) * static_cast<std::uint64_t>(nb) < kHashThreshold) return hashed();
    std::int32_t lo, hi;
    valueRange(a, na, &lo, &hi);
    const std::int64_t low = lo;
    const auto range = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - low + 1);
    if (range > 4 * static_cast<std::uint64_t>(na + nb) + 65536) return hashed();
    if constexpr (Presence) {
        WorkTable<std::uint8_t> seen;
        WOX_TRY(seen.allocateFilled(caps, range, 0));
        std::uint8_t* s = seen.data();
        for (std::int64_t i = 0; i < na; ++i) s[a[i] - low] = 1;
        for (std::int64_t j = 0; j < nb; ++j) {
            auto d = static_cast<std::uint64_t>(b[j] - low);
            out[j] = d < range ? s[d] : 0;
        }
    } else {
        WorkTable<std::int32_t> first;
        WOX_TRY(first.allocate(caps, range));
        std::int32_t* f = first.data();
        for (std::uint64_t k = 0; k < range; ++k) f[k] = static_cast<std::int32_t>(na);
        for (std::int64_t i = na - 1; i >= 0; --i) f[a[i] - low] = static_cast<std::int32_t>(i);
        for (std::int64_t j = 0; j < nb; ++j) {
            auto d = static_cast<std::uint64_t>(b[j] - low);
            out[j] = d < range ? f[d] : static_cast<std::int32_t>(na);
        }
    }
    return kOk;
}

}  // namespace wox::primitives

namespace wox::primitives {

// An argument's elements where a double may be read: a single element
// kept in the descriptor's shape words is copied to aligned storage first.
struct AlignedElements {
    alignas(8) char single[16] = {};
    const char* at(const values::Workspace& ws, const Arg& a) {
        if (!isInline(a.d)) return a.bytes(ws);
        std::memcpy(single, a.bytes(ws), static_cast<std::size_t>(elementStride(a.d.type)));
        return single;
    }
};

// Elements of two simple types up to Temporal (but not General), searched by the rules above:
// out[j] is the position of b[j]'s first occurrence in a (na when absent),
// or with `presence` 1 or 0. Kinds apart fill out with "absent".
Rc searchElements(const Capacities& caps, bool presence, std::int32_t typeA, const char* a, std::int64_t na,
                  std::int32_t typeB, const char* b, std::int64_t nb, std::int32_t* out);

}  // namespace wox::primitives
