#pragma once
// The element loops of the scalar families. A routine decides once per call
// how each argument is read (element type, and whether it is a block or one
// element that extends), and each decision selects one instantiation of a
// plain loop over raw blocks: no switch and no indirect call per element.
//
// Readers: Each<T> walks a block, Same<T> repeats a single element. The
// visitors call a generic lambda with the two readers that fit the digest;
// with both arguments single the loop runs once.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "primitives/argument_digest.h"
#include "primitives/scalar_ops.h"

namespace wox::primitives {

template <class T>
struct Each {
    const T* p;
    T operator[](std::int64_t i) const { return p[i]; }
};

template <class T>
struct Same {
    T v;
    T operator[](std::int64_t) const { return v; }
};

inline bool isIntegral(std::int32_t type) { return type == kBoolean || type == kInteger; }
inline bool isRealNumeric(std::int32_t type) { return type >= kBoolean && type <= kFloat; }

// The single element of a side, read as T.
template <class T>
T singleOf(const ArgumentSide& s) {
    if constexpr (std::is_same_v<T, double>) {
        return s.inlineDouble;
    } else if constexpr (std::is_same_v<T, unsigned char>) {
        return static_cast<unsigned char>(s.inlineChar);
    } else if constexpr (std::is_same_v<T, ops::ComplexElement>) {
        ops::ComplexElement c;
        std::memcpy(&c, s.elements, sizeof c);
        return c;
    } else {
        return s.inlineInt;
    }
}

// f(left reader, right reader) for left elements L and right elements R.
template <class L, class R, class F>
decltype(auto) visitShapes(const ArgumentDigest& g, F&& f) {
    const ArgumentSide& a = g.left;
    const ArgumentSide& b = g.right;
    if (a.single) {
        if (b.single) return f(Same<L>{singleOf<L>(a)}, Same<R>{singleOf<R>(b)});
        return f(Same<L>{singleOf<L>(a)}, Each<R>{b.block<R>()});
    }
    if (b.single) return f(Each<L>{a.block<L>()}, Same<R>{singleOf<R>(b)});
    return f(Each<L>{a.block<L>()}, Each<R>{b.block<R>()});
}

// Boolean and Integer sides read as int32, Float sides as double.
template <class F>
decltype(auto) visitNumeric(const ArgumentDigest& g, F&& f) {
    bool li = isIntegral(g.left.type), ri = isIntegral(g.right.type);
    if (li && ri) return visitShapes<std::int32_t, std::int32_t>(g, f);
    if (li) return visitShapes<std::int32_t, double>(g, f);
    if (ri) return visitShapes<double, std::int32_t>(g, f);
    return visitShapes<double, double>(g, f);
}

// The one argument of a monadic call.
template <class T, class F>
decltype(auto) visitSide(const ArgumentSide& s, F&& f) {
    if (s.single) return f(Same<T>{singleOf<T>(s)});
    return f(Each<T>{s.block<T>()});
}

template <class F>
decltype(auto) visitNumericSide(const ArgumentSide& s, F&& f) {
    if (isIntegral(s.type)) return visitSide<std::int32_t>(s, f);
    return visitSide<double>(s, f);
}

// ---- Loops -------------------------------------------------------------
// Each loop is built twice, for AVX2 and for the baseline, and the one that
// fits the processor is chosen when the program loads.
#if defined(__x86_64__) && !defined(__clang__)
#define WOX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define WOX_VECTOR_CLONES
#endif

// Whether the processor has 16-lane (AVX-512) registers, for the kernels
// built for them with a target attribute; asked once.
bool hasWideRegisters();
// Flags that loops keep (all results integral, all fitted) are folded with
// bit operations on words as wide as the elements, never as branches, so
// that the loops vectorize.

inline std::uint64_t bitsOf(double t) {
    std::uint64_t bits;
    std::memcpy(&bits, &t, 8);
    return bits;
}
// 1 in bit 63 when b is true.
inline std::uint64_t signBit(bool b) { return bitsOf(b ? -1.0 : 1.0); }

// Whether every element of a block is an Integer element.
inline bool allIntegerElements(const double* p, std::int64_t n) {
    std::uint64_t fractional = 0;
    for (std::int64_t i = 0; i < n; ++i) fractional |= bitsOf(ops::fractionMark(p[i]));
    return (fractional >> 63) == 0;
}

// Results are computed a chunk at a time; while all results so far are
// integral, each chunk is checked while it is still in the first-level
// cache. Results that are not integral stop the checking at once, so the
// common case costs nothing beyond the computation.
inline constexpr std::int64_t kChunk = 1024;

// Fills out with Op over the pairs; true when every result is an Integer
// element, so the result narrows without a second pass over memory.
template <class Op, class LA, class RA>
WOX_VECTOR_CLONES bool floatLoop(LA l, RA r, double* __restrict out, std::int64_t n) {
    bool integral = true;
    for (std::int64_t start = 0; start < n; start += kChunk) {
        std::int64_t end = n - start < kChunk ? n : start + kChunk;
        for (std::int64_t i = start; i < end; ++i) out[i] = Op::apply(ops::toDouble(l[i]), ops::toDouble(r[i]));
        if (integral) integral = allIntegerElements(out + start, end - start);
    }
    return integral;
}

// Integer elements in, Integer elements out; a null operand gives the null.
// False when some result is no Integer element: the caller starts again in
// doubles.
template <class Op, class LA, class RA>
WOX_VECTOR_CLONES bool intLoop(LA l, RA r, std::int32_t* __restrict out, std::int64_t n) {
    int fits = 1;
    for (std::int64_t i = 0; i < n; ++i) {
        std::int32_t x = l[i], y = r[i];
        int null = (x == kIntNull) | (y == kIntNull);
        ops::IntResult z = Op::applyInt(x, y);
        fits &= null | z.fits;
        out[i] = null ? kIntNull : z.value;
    }
    return fits != 0;
}

template <class Op, class A>
WOX_VECTOR_CLONES bool floatLoop(A a, double* __restrict out, std::int64_t n) {
    bool integral = true;
    for (std::int64_t start = 0; start < n; start += kChunk) {
        std::int64_t end = n - start < kChunk ? n : start + kChunk;
        for (std::int64_t i = start; i < end; ++i) out[i] = Op::apply(ops::toDouble(a[i]));
        if (integral) integral = allIntegerElements(out + start, end - start);
    }
    return integral;
}

template <class Op, class A>
WOX_VECTOR_CLONES void intLoop(A a, std::int32_t* __restrict out, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        std::int32_t x = a[i];
        out[i] = x == kIntNull ? kIntNull : Op::applyInt(x);
    }
}

// An element read as the type E that both sides of a comparison share.
template <class E, class T>
E promote(T v) {
    if constexpr (std::is_same_v<E, T>) {
        return v;
    } else if constexpr (std::is_same_v<E, ops::ComplexElement>) {
        return {ops::toDouble(v), 0.0};
    } else {
        return ops::toDouble(v);
    }
}

// Boolean results of a predicate on pairs compared as E. A predicate on
// doubles yields its bit through a sign, the form that vectorizes.
template <class E, class Cmp, class LA, class RA>
WOX_VECTOR_CLONES void compareLoop(LA l, RA r, std::int32_t* __restrict out, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        if constexpr (std::is_same_v<E, double>) {
            out[i] = static_cast<std::int32_t>(signBit(Cmp::apply(promote<E>(l[i]), promote<E>(r[i]))) >> 63);
        } else {
            out[i] = Cmp::apply(promote<E>(l[i]), promote<E>(r[i]));
        }
    }
}

// Turns a Float result whose every element is an Integer element into an
// Integer value, in place at the front of its block.
void narrowFloatResult(values::Context& cx, const ArgumentDigest& g);

// The largest magnitude among n Integer elements, or -1 when they hold the
// null: bounds an integer result before it is computed.
std::int64_t largestMagnitude(const std::int32_t* p, std::int64_t n);

}  // namespace wox::primitives
