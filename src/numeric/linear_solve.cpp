#include "numeric/linear_solve.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "values/messages.h"
#include "values/value.h"

// The reference LAPACK's Fortran entry points; a character argument brings a
// hidden length at the end.
extern "C" {
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b, const int* ldb,
            int* info);
void dgelss_(const int* m, const int* n, const int* nrhs, double* a, const int* lda, double* b, const int* ldb,
             double* s, const double* rcond, int* rank, double* work, const int* lwork, int* info);
void dgecon_(const char* norm, const int* n, const double* a, const int* lda, const double* anorm, double* rcond,
             double* work, int* iwork, int* info, std::size_t normLength);
}

namespace wox::numeric {

namespace {

// Element (i, j) of a row-major matrix as a double; the integer null reads
// as NaN, so that it is refused with the other non-finite elements.
double element(const Matrix& m, std::int64_t i, std::int64_t j) {
    std::int64_t at = i * m.cols + j;
    if (m.type == kFloat) return static_cast<const double*>(m.data)[at];
    std::int32_t v = static_cast<const std::int32_t*>(m.data)[at];
    return v == kIntNull ? NAN : static_cast<double>(v);
}

// Copies m into column-major storage of leading dimension ld; false when an
// element is not finite.
bool toColumns(const Matrix& m, double* out, std::int64_t ld) {
    bool finite = true;
    for (std::int64_t i = 0; i < m.rows; ++i)
        for (std::int64_t j = 0; j < m.cols; ++j) {
            double v = element(m, i, j);
            finite &= std::isfinite(v);
            out[i + j * ld] = v;
        }
    return finite;
}

// The first `rows` rows of a column-major matrix (leading dimension ld,
// `cols` columns) into row-major out; false when an element is not finite.
bool fromColumns(const double* b, std::int64_t ld, std::int64_t rows, std::int64_t cols, double* out) {
    bool finite = true;
    for (std::int64_t i = 0; i < rows; ++i)
        for (std::int64_t j = 0; j < cols; ++j) {
            double v = b[i + j * ld];
            finite &= std::isfinite(v);
            out[i * cols + j] = v;
        }
    return finite;
}

// The 1-norm (largest column sum of magnitudes) of an n by n column-major matrix.
double oneNorm(const double* a, int n) {
    double norm = 0;
    for (std::int64_t j = 0; j < n; ++j) {
        double sum = 0;
        for (std::int64_t i = 0; i < n; ++i) sum += std::fabs(a[i + j * n]);
        norm = std::max(norm, sum);
    }
    return norm;
}

std::int64_t atLeastOne(std::int64_t v) { return v > 1 ? v : 1; }

std::int64_t leastSquaresWork(std::int64_t m, std::int64_t n, std::int64_t k) {
    std::int64_t small = std::min(m, n);
    return atLeastOne(3 * small + std::max({2 * small, std::max(m, n), k}));
}

// Working memory of a square solve of n unknowns and k right-hand sides:
// the matrix, the right-hand sides, the pivots, and the condition estimate's
// doubles and integers.
struct SquareLayout {
    std::uint64_t a, b, pivots, work, iwork;
    explicit SquareLayout(std::int64_t n, std::int64_t k)
        : a(8u * static_cast<std::uint64_t>(n * n)),
          b(8u * static_cast<std::uint64_t>(n * k)),
          pivots(4u * static_cast<std::uint64_t>(atLeastOne(n))),
          work(8u * 4u * static_cast<std::uint64_t>(atLeastOne(n))),
          iwork(4u * static_cast<std::uint64_t>(atLeastOne(n))) {}
    std::uint64_t total() const { return a + b + pivots + work + iwork + 5 * 8; }
};

struct LeastSquaresLayout {
    std::uint64_t a, b, singular, work;
    LeastSquaresLayout(std::int64_t m, std::int64_t n, std::int64_t k)
        : a(8u * static_cast<std::uint64_t>(m * n)),
          b(8u * static_cast<std::uint64_t>(atLeastOne(std::max(m, n)) * k)),
          singular(8u * static_cast<std::uint64_t>(atLeastOne(std::min(m, n)))),
          work(8u * static_cast<std::uint64_t>(leastSquaresWork(m, n, k))) {}
    std::uint64_t total() const { return a + b + singular + work + 4 * 8; }
};

// Whether the LU factors of an n by n matrix of 1-norm `norm` show it
// singular to working precision.
bool nearlySingular(const double* lu, int n, double norm, double* work, int* iwork) {
    if (n == 0) return false;
    double rcond = 0;
    int info = 0;
    dgecon_("1", &n, lu, &n, &norm, &rcond, work, iwork, &info, 1);
    return info != 0 || !(rcond >= DBL_EPSILON);
}

// Solves the square system a z = b in place of b (both column-major, n rows).
Rc solveSquare(int n, int k, double* a, double* b, Scratch scratch, const SquareLayout& need) {
    ScratchBuffer pivots(scratch, need.pivots), work(scratch, need.work), iwork(scratch, need.iwork);
    if (pivots.failed() || work.failed() || iwork.failed()) return kWorkspaceFull;
    const double norm = oneNorm(a, n);
    const int ld = static_cast<int>(atLeastOne(n));
    int info = 0;
    dgesv_(&n, &k, a, &ld, pivots.as<int>(), b, &ld, &info);
    if (info != 0 || nearlySingular(a, n, norm, work.as<double>(), iwork.as<int>())) return kDomainError;
    return kOk;
}

}  // namespace

std::uint64_t matrixDivideScratchBytes(std::int64_t m, std::int64_t n, std::int64_t k) {
    if (m == n) return SquareLayout(n, k).total();
    return LeastSquaresLayout(m, n, k).total();
}

std::uint64_t matrixInverseScratchBytes(std::int64_t n) { return SquareLayout(n, n).total(); }

Rc matrixDivide(const Matrix& x, const Matrix& y, double* out, Scratch scratch) {
    const std::int64_t m = y.rows, n = y.cols, k = x.cols;
    if (static_cast<std::int64_t>(x.rows) * x.cols == 1 && m * n == 1) {
        double a = element(x, 0, 0), b = element(y, 0, 0);
        if (b == 0 || !std::isfinite(a) || !std::isfinite(b)) return kDomainError;
        out[0] = a / b;
        return std::isfinite(out[0]) ? kOk : kDomainError;
    }
    if (m == n) {
        SquareLayout need(n, k);
        ScratchBuffer a(scratch, need.a), b(scratch, need.b);
        if (a.failed() || b.failed()) return kWorkspaceFull;
        if (!toColumns(y, a.as<double>(), n) || !toColumns(x, b.as<double>(), n)) return kDomainError;
        WOX_TRY(solveSquare(static_cast<int>(n), static_cast<int>(k), a.as<double>(), b.as<double>(), scratch, need));
        return fromColumns(b.as<double>(), n, n, k, out) ? kOk : kDomainError;
    }
    LeastSquaresLayout need(m, n, k);
    ScratchBuffer a(scratch, need.a), b(scratch, need.b), singular(scratch, need.singular), work(scratch, need.work);
    if (a.failed() || b.failed() || singular.failed() || work.failed()) return kWorkspaceFull;
    const std::int64_t lda = atLeastOne(m), ldb = atLeastOne(std::max(m, n));
    // Rows m to ldb - 1 of the right-hand sides are not read, but with no
    // equations at all (m = 0) the solution is what stands there: zeros.
    std::memset(b.as<double>(), 0, need.b);
    if (!toColumns(y, a.as<double>(), lda) || !toColumns(x, b.as<double>(), ldb)) return kDomainError;
    const int im = static_cast<int>(m), in = static_cast<int>(n), ik = static_cast<int>(k);
    const int ilda = static_cast<int>(lda), ildb = static_cast<int>(ldb);
    const int lwork = static_cast<int>(leastSquaresWork(m, n, k));
    // Singular values below the machine precision times the largest count as 0.
    const double rcond = -1;
    int rank = 0, info = 0;
    dgelss_(&im, &in, &ik, a.as<double>(), &ilda, b.as<double>(), &ildb, singular.as<double>(), &rcond, &rank,
            work.as<double>(), &lwork, &info);
    if (info != 0) return kDomainError;
    return fromColumns(b.as<double>(), ldb, n, k, out) ? kOk : kDomainError;
}

Rc matrixInverse(const Matrix& y, double* out, Scratch scratch) {
    const std::int64_t n = y.rows;
    SquareLayout need(n, n);
    ScratchBuffer a(scratch, need.a), b(scratch, need.b);
    if (a.failed() || b.failed()) return kWorkspaceFull;
    if (!toColumns(y, a.as<double>(), n)) return kDomainError;
    double* id = b.as<double>();
    std::memset(id, 0, need.b);
    for (std::int64_t i = 0; i < n; ++i) id[i + i * n] = 1;
    WOX_TRY(solveSquare(static_cast<int>(n), static_cast<int>(n), a.as<double>(), id, scratch, need));
    return fromColumns(id, n, n, n, out) ? kOk : kDomainError;
}

Rc vectorPseudoInverse(const void* data, std::int32_t type, std::int64_t n, double* out) {
    const Matrix v{data, type, static_cast<std::int32_t>(n), 1};
    double sum = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        double e = element(v, i, 0);
        if (!std::isfinite(e)) return kDomainError;
        out[i] = e;
        sum += e * e;
    }
    if (!std::isfinite(sum)) return kDomainError;
    // The pseudo-inverse of the zero vector is the zero vector.
    if (sum == 0) return kOk;
    for (std::int64_t i = 0; i < n; ++i) out[i] /= sum;
    return kOk;
}

}  // namespace wox::numeric
