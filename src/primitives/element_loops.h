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

// Fills out with Op over the pairs; true when every result is an Integer
// element, so the result narrows without a second look at it.
template <class Op, class LA, class RA>
bool floatLoop(LA l, RA r, double* __restrict out, std::int64_t n) {
    bool integral = true;
    for (std::int64_t i = 0; i < n; ++i) {
        double z = Op::apply(ops::toDouble(l[i]), ops::toDouble(r[i]));
        out[i] = z;
        integral &= ops::isIntegerElement(z);
    }
    return integral;
}

// Integer elements in, Integer elements out; a null operand gives the null.
// False when some result is no Integer element: the caller starts again in
// doubles.
template <class Op, class LA, class RA>
bool intLoop(LA l, RA r, std::int32_t* __restrict out, std::int64_t n) {
    bool fits = true;
    for (std::int64_t i = 0; i < n; ++i) {
        std::int32_t x = l[i], y = r[i];
        bool null = (x == kIntNull) | (y == kIntNull);
        ops::IntResult z = Op::applyInt(x, y);
        fits &= null | z.fits;
        out[i] = null ? kIntNull : z.value;
    }
    return fits;
}

template <class Op, class A>
bool floatLoop(A a, double* __restrict out, std::int64_t n) {
    bool integral = true;
    for (std::int64_t i = 0; i < n; ++i) {
        double z = Op::apply(ops::toDouble(a[i]));
        out[i] = z;
        integral &= ops::isIntegerElement(z);
    }
    return integral;
}

template <class Op, class A>
void intLoop(A a, std::int32_t* __restrict out, std::int64_t n) {
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

// Boolean results of a predicate on pairs compared as E.
template <class E, class Cmp, class LA, class RA>
void compareLoop(LA l, RA r, std::int32_t* __restrict out, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) out[i] = Cmp::apply(promote<E>(l[i]), promote<E>(r[i]));
}

// Turns a Float result whose every element is an Integer element into an
// Integer value, in place at the front of its block.
void narrowFloatResult(Interpreter& in, const ArgumentDigest& g);

}  // namespace wox::primitives
