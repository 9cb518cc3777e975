#pragma once
// Matrix kernels of the adjustment engine: product, transpose, Gauss-Jordan inverse, and the
// series arccosine used for zenith distances.
//
// Every matrix follows the convention of engine/matrix.h: used from index 1. Each kernel
// reads its operands through const references and returns a freshly allocated result, so a
// result can never alias an operand; the operand of an inversion is left unchanged.
//
// Two versions of each matrix kernel exist:
//  - MultiplyMatrices / TransposeMatrix / InvertMatrix: the ones the engine uses. They skip
//    terms that are exactly zero (the weight matrix is block-diagonal, the design matrix has
//    a handful of non-zeros per row). For finite operands a skipped term is a signed zero
//    added to a sum that can never itself be -0, so every result is bit-for-bit the one of
//    the plain loops. Where that argument does not hold (non-finite values, a negative pivot,
//    -0 in the operand) the inverse falls back to the plain elimination: of the whole
//    matrix, or of the one diagonal block concerned when the matrix is block-diagonal (then
//    only the sign of an exact zero may differ from the whole-matrix loops).
//  - the *Dense versions: the plain loops in the documented arithmetic order, kept as the
//    reference the fast ones are tested against.

#include <string>

#include "common/result.h"
#include "engine/matrix.h"

namespace korvo {

// Failure text of an inversion that meets a zero column (Windows-1252; ASCII here).
inline const std::string kSingularMatrixMessage = "Matriz singular";

// Product of the leading rows x inner block of a and inner x cols block of b: a rows x cols
// matrix with element (j, i) = sum over k = 1..inner, ascending, of a(j, k) * b(k, i),
// accumulated in double precision from 0.
Matrix MultiplyMatrices(const Matrix& a, const Matrix& b, int rows, int inner, int cols);
Matrix MultiplyMatricesDense(const Matrix& a, const Matrix& b, int rows, int inner, int cols);

// Transpose of the leading rows x cols block of a: a cols x rows matrix.
Matrix TransposeMatrix(const Matrix& a, int rows, int cols);

// Inverse of the leading order x order block of a by Gauss-Jordan elimination without
// pivoting: an exactly zero pivot is mended by adding the first row below with a non-zero
// element in that column (rows are added, never swapped); when there is none the matrix is
// singular and the failure carries kSingularMatrixMessage. A tiny non-zero pivot is used as
// it is.
Result<Matrix> InvertMatrix(const Matrix& a, int order);
Result<Matrix> InvertMatrixDense(const Matrix& a, int order);

// Relative size below which a pivot means its unknown is not determined: the pivot of
// column k, when its turn comes, is what is left of the original diagonal element a(k, k)
// once the earlier columns have been eliminated (for a normal matrix, a(k, k) times one
// minus the squared multiple correlation of column k with the earlier ones). A column that
// depends on the earlier ones keeps only rounding errors, about 1e-16 of a(k, k); a
// determined unknown keeps far more.
inline constexpr double kUndeterminedPivotRatio = 1e-10;

// What the elimination saw of its pivots, for a matrix that should be positive definite
// (a normal matrix): the smallest ratio pivot / a(k, k) met, and the first column whose
// ratio was at or below kUndeterminedPivotRatio (a zero or negative original diagonal
// counts as ratio 0).
struct PivotWatch {
  double minRatio = 1.0;  // 1 when no pivot was watched
  int weakColumn = 0;     // 0: every pivot kept its size
};

// InvertMatrix and InvertMatrixDense watching every pivot: they stop at the first weak
// pivot with kSingularMatrixMessage and watch.weakColumn set. Watching only reads the
// pivots: when no pivot is weak, the result is bit for bit the unwatched one.
Result<Matrix> InvertMatrixWatched(const Matrix& a, int order, PivotWatch& watch);
Result<Matrix> InvertMatrixDenseWatched(const Matrix& a, int order, PivotWatch& watch);

// Arccosine in radians. For |x| <= 0.5 it is pi/2 minus the arcsine power series cut after
// the x^41 term (exact to 1e-14 there), with pi = 3.14159265358979; beyond, where the cut
// series drifts (1.3e-4 rad at 0.9), it is the exact arccosine.
double ArcCosSeries(double x);

// The truncated series itself over the whole range, kept for the record of how far it
// drifts from the exact arccosine.
double ArcCosTruncatedSeries(double x);

// The set of kernels an engine routine uses, so a whole solution can be repeated with the
// plain dense loops and compared with the fast one.
struct MatrixKernels {
  Matrix (*multiply)(const Matrix&, const Matrix&, int, int, int) = &MultiplyMatrices;
  Result<Matrix> (*invert)(const Matrix&, int) = &InvertMatrix;
  bool dense = false;  // true: also every other shortcut of the callers is avoided
  Result<Matrix> (*invertWatched)(const Matrix&, int, PivotWatch&) = &InvertMatrixWatched;
};

inline MatrixKernels FastKernels() { return {}; }
inline MatrixKernels DenseKernels() {
  return {&MultiplyMatricesDense, &InvertMatrixDense, true, &InvertMatrixDenseWatched};
}

}  // namespace korvo
