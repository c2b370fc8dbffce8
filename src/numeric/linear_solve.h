#pragma once
// Matrix divide and matrix inverse. The numerical work is LAPACK's: DGESV
// (LU factorisation with partial pivoting) for square systems, DGELSS
// (minimum-norm least squares by singular value decomposition) otherwise.
// Arguments are row-major and LAPACK is column-major, so each argument is
// transposed into working memory as it is widened to doubles, and the
// solution is transposed back.
//
// Every answer is a number: a square matrix that is singular to working
// precision (an exact zero pivot, or a reciprocal condition number below
// the machine epsilon), an argument element that is a null or an infinity,
// and a solution that overflows are domain errors.
#include <cstdint>

#include "numeric/scratch.h"
#include "values/rc.h"

namespace wox::numeric {

// A Boolean, Integer or Float array read as a rows by cols matrix, its
// elements row after row. A vector is one column; a scalar is 1 by 1.
struct Matrix {
    const void* data = nullptr;
    std::int32_t type = 0;
    std::int32_t rows = 0;
    std::int32_t cols = 0;
};

// z such that y z = x, in the least-squares sense when y is not square:
// cols(y) rows by cols(x) columns, written row-major to out. x and y have
// the same number of rows. Two single elements divide plainly (by 0 is a
// domain error). Fails with 1 (domain error) or 6 (workspace full, when the
// scratch cannot give the working memory).
Rc matrixDivide(const Matrix& x, const Matrix& y, double* out, Scratch scratch);

// The inverse of a square matrix, row-major to out.
Rc matrixInverse(const Matrix& y, double* out, Scratch scratch);

// The pseudo-inverse of a vector of n elements: y divided by the sum of the
// squares of its elements; zeros for a vector of zeros.
Rc vectorPseudoInverse(const void* data, std::int32_t type, std::int64_t n, double* out);

// Bytes of working memory that matrixDivide and matrixInverse take.
std::uint64_t matrixDivideScratchBytes(std::int64_t m, std::int64_t n, std::int64_t k);
std::uint64_t matrixInverseScratchBytes(std::int64_t n);

}  // namespace wox::numeric
