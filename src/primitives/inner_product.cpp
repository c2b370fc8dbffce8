// Inner product. Result element (r, j) is the right-to-left f-reduction of
// x[r;i] g y[i;j] over i. The kernel keeps that order for every element and
// runs it across a whole result row at once: for i from the last down, the
// row of accumulators takes f(x[r;i] g y[i;], acc). Built with floating-point
// contraction off, so no fused multiply-add changes a value.
//
// Plus over times on real values first runs without the infinity rule of
// the scalar functions (0w-0w and 0*0w are 0w, not a NaN); a NaN can only
// come from a null or from that rule, and propagates to the element's
// result, so a result without NaN is the one the element order gives, and otherwise the
// product is computed again with the rule.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "primitives/complex_step.h"
#include "primitives/element_loops.h"
#include "primitives/operand_steps.h"
#include "primitives/operators.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/narrowing.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace wox::primitives {

namespace {

// Element (r, i) of x is x[r * xRow + i * xStep]; element (i, j) of y is
// y[i * yStep + j * yCol]. A single argument has strides 0; a transposed y
// has yStep 1 and yCol k.
struct Layout {
    std::int64_t rows = 1, k = 0, cols = 1;
    std::int64_t xRow = 0, xStep = 0;
    std::int64_t yStep = 0, yCol = 0;
};

// The elements of a real or character value as doubles: a Float array's
// own block, or a copy converted into `v`.
const double* asDoubles(const values::Workspace& ws, const ValueDescriptor& d, std::vector<double>& v) {
    if (d.type == kFloat && !isInline(d)) return reinterpret_cast<const double*>(values::elementsOf(ws, d));
    v.resize(static_cast<std::size_t>(d.count));
    const char* p = values::elementsOf(ws, d);
    for (std::int32_t i = 0; i < d.count; ++i) {
        switch (d.type) {
            case kFloat: v[static_cast<std::size_t>(i)] = reinterpret_cast<const double*>(p)[i]; break;
            case kChar: v[static_cast<std::size_t>(i)] = static_cast<unsigned char>(p[i]); break;
            default: v[static_cast<std::size_t>(i)] = ops::toDouble(reinterpret_cast<const std::int32_t*>(p)[i]); break;
        }
    }
    return v.data();
}

// One row of g: out[j] = xv g y[j * yCol].
using InnerRow = void (*)(double xv, const double* y, std::int64_t yCol, std::int64_t n, double* out, int* failure);
// One row of f: acc[j] = t[j] f acc[j].
using OuterRow = void (*)(const double* t, double* acc, std::int64_t n, int* failure);

template <class Step>
void innerRow(double xv, const double* y, std::int64_t yCol, std::int64_t n, double* out, int* failure) {
    Step g;
    if (yCol == 1) {
        for (std::int64_t j = 0; j < n; ++j) out[j] = g(xv, y[j]);
    } else {
        for (std::int64_t j = 0; j < n; ++j) out[j] = g(xv, y[j * yCol]);
    }
    if (g.failure && !*failure) *failure = g.failure;
}

template <class Step>
void outerRow(const double* t, double* acc, std::int64_t n, int* failure) {
    Step f;
    for (std::int64_t j = 0; j < n; ++j) acc[j] = f(t[j], acc[j]);
    if (f.failure && !*failure) *failure = f.failure;
}

// The general kernel; returns the first failure of a step.
int rowsKernel(const double* x, const double* y, const Layout& l, double* out, OuterRow f, InnerRow g) {
    std::vector<double> t(static_cast<std::size_t>(l.cols));
    int failure = 0;
    for (std::int64_t r = 0; r < l.rows; ++r) {
        double* acc = out + r * l.cols;
        const double* xr = x + r * l.xRow;
        g(xr[(l.k - 1) * l.xStep], y + (l.k - 1) * l.yStep, l.yCol, l.cols, acc, &failure);
        for (std::int64_t i = l.k - 2; i >= 0; --i) {
            g(xr[i * l.xStep], y + i * l.yStep, l.yCol, l.cols, t.data(), &failure);
            f(t.data(), acc, l.cols, &failure);
        }
    }
    return failure;
}

// Tiles of 4 rows by 8 columns of a contiguous product keep their 32
// accumulators in eight 4-wide registers while i runs down, each y row
// segment serving the four rows. Lane by lane these are the same IEEE
// multiplications and additions as the row kernel's.
constexpr std::int64_t kTileRows = 4;
constexpr std::int64_t kTileCols = 8;
using Lanes = double __attribute__((vector_size(32)));

WOX_VECTOR_CLONES void plusTimesTile(const double* x, const double* y, const Layout& l, double* __restrict out,
                                     std::int64_t r0, std::int64_t j0) {
    const double* x0 = x + r0 * l.xRow;
    const double* x1 = x0 + l.xRow;
    const double* x2 = x1 + l.xRow;
    const double* x3 = x2 + l.xRow;
    const std::int64_t last = l.k - 1;
    const double* yr = y + last * l.yStep + j0;
    Lanes ya, yb;
    std::memcpy(&ya, yr, sizeof ya);
    std::memcpy(&yb, yr + 4, sizeof yb);
    std::int64_t at = last * l.xStep;
    Lanes a0 = x0[at] * ya, a1 = x0[at] * yb, a2 = x1[at] * ya, a3 = x1[at] * yb;
    Lanes a4 = x2[at] * ya, a5 = x2[at] * yb, a6 = x3[at] * ya, a7 = x3[at] * yb;
    for (std::int64_t i = last - 1; i >= 0; --i) {
        yr = y + i * l.yStep + j0;
        std::memcpy(&ya, yr, sizeof ya);
        std::memcpy(&yb, yr + 4, sizeof yb);
        at = i * l.xStep;
        a0 = x0[at] * ya + a0;
        a1 = x0[at] * yb + a1;
        a2 = x1[at] * ya + a2;
        a3 = x1[at] * yb + a3;
        a4 = x2[at] * ya + a4;
        a5 = x2[at] * yb + a5;
        a6 = x3[at] * ya + a6;
        a7 = x3[at] * yb + a7;
    }
    double* o = out + r0 * l.cols + j0;
    const Lanes* acc[] = {&a0, &a1, &a2, &a3, &a4, &a5, &a6, &a7};
    for (int t = 0; t < 8; ++t) std::memcpy(o + (t / 2) * l.cols + (t % 2) * 4, acc[t], sizeof(Lanes));
}

// Plus over times without the infinity rule, vectorised across the row:
// rows [r0, r1) and columns [j0, j1) of the result.
template <bool kContiguous>
WOX_VECTOR_CLONES void plusTimesKernel(const double* x, const double* y, const Layout& l, double* __restrict out,
                                       std::int64_t r0, std::int64_t r1, std::int64_t j0, std::int64_t j1) {
    const std::int64_t yCol = kContiguous ? 1 : l.yCol;
    for (std::int64_t r = r0; r < r1; ++r) {
        double* __restrict acc = out + r * l.cols;
        const double* xr = x + r * l.xRow;
        double xv = xr[(l.k - 1) * l.xStep];
        const double* yr = y + (l.k - 1) * l.yStep;
        for (std::int64_t j = j0; j < j1; ++j) acc[j] = xv * yr[j * yCol];
        for (std::int64_t i = l.k - 2; i >= 0; --i) {
            xv = xr[i * l.xStep];
            yr = y + i * l.yStep;
            for (std::int64_t j = j0; j < j1; ++j) acc[j] = xv * yr[j * yCol] + acc[j];
        }
    }
}

#if defined(__x86_64__)
// With 16-lane registers: tiles of up to 6 rows by 32 columns, 24
// accumulators. The product of a row segment is added into its accumulator
// by a separate addition, the same two IEEE operations as every other
// kernel's. The result is walked a strip of columns at a time, so that the
// strip of y that every tile of it reads stays in the nearer caches; the
// last strip masks the columns it does not have.
constexpr int kWideRows = 6;
constexpr int kWideVectors = 4;  // of 8 columns
constexpr std::int64_t kWideCols = 8 * kWideVectors;

struct StripLanes {
    __mmask8 lanes[kWideVectors];
};

// One step of i for a tile: the products of x's column i with y's row i,
// which start the accumulators (the last i) or are added into them.
template <int kRows, bool kFirst>
__attribute__((target("avx512f"), always_inline)) inline void plusTimesStep(const double* xr, const double* y,
                                                                            const Layout& l, std::int64_t i,
                                                                            std::int64_t j0, StripLanes m,
                                                                            __m512d (&acc)[kRows][kWideVectors]) {
    __m512d yv[kWideVectors];
    const double* yr = y + i * l.yStep + j0;
#pragma GCC unroll 4
    for (int v = 0; v < kWideVectors; ++v) yv[v] = _mm512_maskz_loadu_pd(m.lanes[v], yr + 8 * v);
#pragma GCC unroll 6
    for (int t = 0; t < kRows; ++t) {
        const __m512d xv = _mm512_set1_pd(xr[t * l.xRow + i * l.xStep]);
#pragma GCC unroll 4
        for (int v = 0; v < kWideVectors; ++v) {
            const __m512d p = _mm512_mul_pd(xv, yv[v]);
            acc[t][v] = kFirst ? p : _mm512_add_pd(p, acc[t][v]);
        }
    }
}

template <int kRows>
__attribute__((target("avx512f"))) void plusTimesWideTile(const double* x, const double* y, const Layout& l,
                                                          double* out, std::int64_t r0, std::int64_t j0,
                                                          StripLanes m) {
    __m512d acc[kRows][kWideVectors];
    const double* xr = x + r0 * l.xRow;
    plusTimesStep<kRows, true>(xr, y, l, l.k - 1, j0, m, acc);
    for (std::int64_t i = l.k - 2; i >= 0; --i) plusTimesStep<kRows, false>(xr, y, l, i, j0, m, acc);
    double* o = out + r0 * l.cols + j0;
#pragma GCC unroll 6
    for (int t = 0; t < kRows; ++t) {
#pragma GCC unroll 4
        for (int v = 0; v < kWideVectors; ++v) _mm512_mask_storeu_pd(o + t * l.cols + 8 * v, m.lanes[v], acc[t][v]);
    }
}

using WideTile = void (*)(const double*, const double*, const Layout&, double*, std::int64_t, std::int64_t,
                          StripLanes);
constexpr WideTile kWideTiles[kWideRows + 1] = {
    nullptr,
    plusTimesWideTile<1>,
    plusTimesWideTile<2>,
    plusTimesWideTile<3>,
    plusTimesWideTile<4>,
    plusTimesWideTile<5>,
    plusTimesWideTile<6>,
};


// The lanes of the first n of eight columns.
__mmask8 firstLanes(std::int64_t n) {
    return n >= 8 ? __mmask8{0xFF} : static_cast<__mmask8>((1u << (n > 0 ? n : 0)) - 1);
}

// Returns false when the processor has no 16-lane registers.
bool plusTimesWide(const double* x, const double* y, const Layout& l, double* out) {
    if (!hasWideRegisters()) return false;
    for (std::int64_t j0 = 0; j0 < l.cols; j0 += kWideCols) {
        StripLanes m;
        for (int v = 0; v < kWideVectors; ++v) m.lanes[v] = firstLanes(l.cols - j0 - 8 * v);
        for (std::int64_t r0 = 0; r0 < l.rows; r0 += kWideRows) {
            const std::int64_t height = l.rows - r0 < kWideRows ? l.rows - r0 : kWideRows;
            kWideTiles[height](x, y, l, out, r0, j0, m);
        }
    }
    return true;
}
#else
bool plusTimesWide(const double*, const double*, const Layout&, double*) { return false; }
#endif

void plusTimes(const double* x, const double* y, const Layout& l, double* out) {
    if (l.yCol != 1) {
        plusTimesKernel<false>(x, y, l, out, 0, l.rows, 0, l.cols);
        return;
    }
    if (plusTimesWide(x, y, l, out)) return;
    const std::int64_t rows = l.rows - l.rows % kTileRows;
    const std::int64_t cols = l.cols - l.cols % kTileCols;
    for (std::int64_t r0 = 0; r0 < rows; r0 += kTileRows)
        for (std::int64_t j0 = 0; j0 < cols; j0 += kTileCols) plusTimesTile(x, y, l, out, r0, j0);
    if (cols < l.cols) plusTimesKernel<true>(x, y, l, out, 0, rows, cols, l.cols);
    plusTimesKernel<true>(x, y, l, out, rows, l.rows, 0, l.cols);
}

bool anyNull(const double* p, std::int64_t n) {
    std::uint64_t nan = 0;
    for (std::int64_t i = 0; i < n; ++i) nan |= p[i] != p[i];
    return nan != 0;
}

Rc checkTypes(const values::Workspace& ws, int f, int g, const ValueDescriptor& x, const ValueDescriptor& y) {
    if (!isScalarOperand(f)) return kDomainError;
    bool member = g == vocabulary::code::kMembership;
    if (!isScalarOperand(g) && !member) return kDomainError;
    if (member && f != vocabulary::code::kPlus) return kDomainError;
    if (x.type == kChar || y.type == kChar) {
        if (x.type == kComplex || y.type == kComplex) return kDomainError;
        bool charPair = x.type == kChar && y.type == kChar;
        bool equality = member || g == vocabulary::code::kEqual || g == vocabulary::code::kNotEqual;
        return charPair && equality ? kOk : kDomainError;
    }
    if (x.type == kComplex || y.type == kComplex) {
        bool other = isRealNumeric(x.type) || x.type == kComplex;
        other = other && (isRealNumeric(y.type) || y.type == kComplex);
        return other ? kOk : kDomainError;
    }
    if (!isRealNumeric(x.type) || !isRealNumeric(y.type)) return kDomainError;
    if (isLogicalOperand(g) && !(allZeroOne(ws, x) && allZeroOne(ws, y))) return kDomainError;
    return kOk;
}

// The product in complex numbers, each element a right-to-left reduction of
// its products: for Complex arguments, and for real ones whose power,
// logarithm or circle function has complex values.
Rc complexProduct(values::Context& cx, int f, int g, int result, ValueRef left, ValueRef right, const Layout& l,
                  const std::vector<std::int32_t>& dims) {
    ComplexSides sides;
    WOX_TRY(sides.prepare(cx, result, dims, left, right));
    const Complex* x = sides.x;
    const Complex* y = sides.y;
    Complex* out = sides.out;
    ComplexStep outer(f);
    ComplexStep inner(g == vocabulary::code::kMembership ? vocabulary::code::kEqual : g);
    for (std::int64_t r = 0; r < l.rows; ++r) {
        const Complex* xr = x + r * l.xRow;
        for (std::int64_t c = 0; c < l.cols; ++c) {
            const Complex* yc = y + c * l.yCol;
            Complex acc = inner(xr[(l.k - 1) * l.xStep], yc[(l.k - 1) * l.yStep]);
            for (std::int64_t i = l.k - 2; i >= 0; --i) acc = outer(inner(xr[i * l.xStep], yc[i * l.yStep]), acc);
            out[r * l.cols + c] = acc;
        }
    }
    if (int failure = inner.failure ? inner.failure : outer.failure) return cx.fail(failure);
    narrowComplexResult(cx.ws, result, isLogicalOperand(f) || isComparisonOperand(f));
    return kOk;
}

bool single(const ValueDescriptor& d) { return d.rank == 0 || (d.rank == 1 && d.count == 1); }

}  // namespace

Rc innerProduct(values::Context& cx, int code, int result, ValueRef left, ValueRef right, bool rightTransposed) {
    const ValueDescriptor x = cx.ws.at(left);
    const ValueDescriptor y = cx.ws.at(right);
    if (x.unset() || y.unset()) return cx.fail(kValueError);
    const int f = code / vocabulary::code::kInnerProductScale;
    const int g = code % vocabulary::code::kInnerProductScale;
    if (Rc rc = checkTypes(cx.ws, f, g, x, y); rc.failed()) return cx.fail(rc.code);
    const bool transposed = rightTransposed && y.rank == 2;
    std::vector<std::int32_t> xd = values::dimensionsOf(cx.ws, x);
    std::vector<std::int32_t> yd = values::dimensionsOf(cx.ws, y);
    // The axis that meets x's last one, and what remains of y's shape.
    const std::size_t meet = transposed ? 1 : 0;
    const bool xs = single(x), ys = single(y);
    Layout l;
    std::int64_t xk = xd.empty() ? 1 : xd.back();
    std::int64_t yk = yd.empty() ? 1 : yd[meet];
    if (!xs && !ys && xk != yk) return cx.fail(kLengthError);
    l.k = xs ? yk : xk;
    std::vector<std::int32_t> dims;
    if (!xd.empty()) dims.assign(xd.begin(), xd.end() - 1);
    if (!yd.empty()) yd.erase(yd.begin() + static_cast<std::ptrdiff_t>(meet));
    for (std::int32_t n : dims) l.rows *= n;
    for (std::int32_t n : yd) l.cols *= n;
    dims.insert(dims.end(), yd.begin(), yd.end());
    if (!xs) l.xRow = l.k, l.xStep = 1;
    if (!ys) {
        l.yStep = transposed ? 1 : l.cols;
        l.yCol = transposed ? l.k : 1;
    }

    const std::int64_t count = l.rows * l.cols;
    const bool complex = x.type == kComplex || y.type == kComplex;
    if (complex && count > 0 && l.k > 0) return complexProduct(cx, f, g, result, left, right, l, dims);
    WOX_TRY(values::shapedResult(cx, result, kFloat, dims));
    if (count == 0) return kOk;
    auto* out = reinterpret_cast<double*>(values::resultElements(cx, result));
    if (l.k == 0) {
        for (std::int64_t i = 0; i < count; ++i) out[i] = identityElement(f);
        values::narrow(cx.ws, cx.ws.var(result), isLogicalOperand(f));
        return kOk;
    }
    // Nothing allocates on the heap from here on, so the blocks stay put.
    std::vector<double> xCopy, yCopy;
    const double* xv;
    const double* yv;
    try {
        xv = asDoubles(cx.ws, cx.ws.at(left), xCopy);
        yv = asDoubles(cx.ws, cx.ws.at(right), yCopy);
    } catch (const std::bad_alloc&) {
        return cx.fail(kWorkspaceFull);
    }
    if (f == vocabulary::code::kPlus && g == vocabulary::code::kTimes) {
        plusTimes(xv, yv, l, out);
        if (!anyNull(out, count)) {
            values::narrow(cx.ws, cx.ws.var(result));
            return kOk;
        }
    }
    const int inner = g == vocabulary::code::kMembership ? vocabulary::code::kEqual : g;
    OuterRow fr = visitOperand(f, [](auto step) -> OuterRow { return &outerRow<decltype(step)>; });
    InnerRow gr = visitOperand(inner, [](auto step) -> InnerRow { return &innerRow<decltype(step)>; });
    int failure = 0;
    try {
        failure = rowsKernel(xv, yv, l, out, fr, gr);
    } catch (const std::bad_alloc&) {
        failure = kWorkspaceFull;
    }
    if (wantsComplex(failure)) {
        dropResultBlock(cx.ws, result);
        return complexProduct(cx, f, g, result, left, right, l, dims);
    }
    Rc rc = failure ? cx.fail(failure) : Rc(kOk);
    WOX_TRY(rc);
    bool truth = isLogicalOperand(f) || isComparisonOperand(f);
    values::narrow(cx.ws, cx.ws.var(result), truth);
    return kOk;
}

}  // namespace wox::primitives
