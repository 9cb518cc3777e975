// Weighted least squares: x = (AᵀPA)⁻¹AᵀPk, v = Ax − k, σ0² = vᵀPv/(n − m), with the
// cofactor matrices Qxx = N⁻¹, Qll = P⁻¹, Q̂ll = A·Qxx·Aᵀ, Qvv = Qll − Q̂ll, and Baarda's
// reliability figures (W. Baarda, A testing procedure for use in geodetic networks, 1968):
// redundancy number rᵢ = Qvv(i,i)·P(i,i), standardized residual vᵢ/σ(vᵢ), internal
// reliability δ0/√rᵢ, external reliability √(1 − rᵢ)·δ0/√rᵢ, minimal detectable error
// δ0·σ(l̂ᵢ)/√rᵢ. Every product is formed left to right as written, which fixes the rounding.

#include "engine/least_squares.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "common/constants.h"
#include "common/win1252.h"

namespace korvo {

const std::string kLeastSquaresFailureMessage =
    Cp1252(" ¡Se ha producido un error en la resolución del problema de mínimos cuadrados! ");

std::string UndeterminedUnknownMessage(const UnknownLayout& layout, int column) {
  const std::string unknown = column <= layout.Count() ? UnknownDescription(layout, column)
                                                       : Cp1252("la incógnita de la columna ") + std::to_string(column);
  return Cp1252(" ¡Matriz singular: las observaciones no determinan ") + unknown + "! ";
}

namespace {

constexpr int kProgressAfterSigmaZero = 55;

std::vector<double> OneBased(int count) { return std::vector<double>(static_cast<std::size_t>(count) + 1, 0.0); }

double RootOrZero(double variance) { return variance > 0.0 ? std::sqrt(variance) : 0.0; }

Matrix Scaled(const Matrix& q, double factor, int rows, int cols) {
  Matrix c(rows, cols);
  for (int i = 1; i <= rows; ++i) {
    const double* in = q.RowData(i);
    double* out = c.RowData(i);
    for (int j = 1; j <= cols; ++j) out[j] = factor * in[j];
  }
  return c;
}

bool IsAngleRow(RowKind kind) { return kind == RowKind::Direction || kind == RowKind::Zenith; }

// Adjusted observations and parameters of a system formed from a network: observed value as
// compared plus residual (cc turned into gon for angles); approximate coordinate plus
// correction; the other unknowns are their correction.
void FillAdjustedValues(const ObservationSystem& sys, LeastSquaresResults& res) {
  const int n = sys.numEquations, m = sys.numUnknowns;
  res.adjustedObservations = OneBased(n);
  for (int i = 1; i <= n; ++i) {
    const std::size_t r = static_cast<std::size_t>(i);
    const bool angle = i <= sys.classicalCount && IsAngleRow(sys.rows[r].kind);
    res.adjustedObservations[r] =
        angle ? sys.reducedObserved[r] + res.residuals[r] / kCcPerGon : sys.reducedObserved[r] + res.residuals[r];
  }
  res.adjustedParameters = OneBased(m);
  for (int j = 1; j <= m; ++j) {
    const std::size_t c = static_cast<std::size_t>(j);
    const SystemUnknown& u = sys.layout.unknowns[c];
    const bool coordinate = u.kind == UnknownKind::CoordinateX || u.kind == UnknownKind::CoordinateY ||
                            u.kind == UnknownKind::CoordinateZ;
    res.adjustedParameters[c] = coordinate ? u.approximateValue + res.corrections[c] : res.corrections[c];
  }
}

// Adjusted values need the observed values and the approximate coordinates that only a
// system formed from a network carries.
bool HasNetworkBookkeeping(const ObservationSystem& sys) {
  const std::size_t rows = static_cast<std::size_t>(sys.numEquations) + 1;
  return sys.formedFromNetwork && sys.rows.size() >= rows && sys.reducedObserved.size() >= rows &&
         sys.layout.unknowns.size() >= static_cast<std::size_t>(sys.numUnknowns) + 1;
}

// Reliability of every row. A figure whose formula has no value gives 0 instead of stopping
// the adjustment: a row that no unknown reaches has r = 1 (up to rounding) and no external
// reliability; a row with r ≤ 0 has no detectable error; a residual without deviation has
// no Baarda statistic.
void FillReliability(const ObservationSystem& sys, LeastSquaresResults& res) {
  const int n = sys.numEquations;
  res.redundancy = OneBased(n);
  res.minDetectableError = OneBased(n);
  res.baardaStatistic = OneBased(n);
  res.internalReliability = OneBased(n);
  res.externalReliability = OneBased(n);
  for (int i = 1; i <= n; ++i) {
    const std::size_t r = static_cast<std::size_t>(i);
    const double redundancy = res.Qvv(i, i) * sys.P(i, i);
    res.redundancy[r] = redundancy;
    if (redundancy > 0.0) {
      res.minDetectableError[r] = kNonCentralityDelta0 * res.sigmaAdjustedObs[r] / std::sqrt(redundancy);
      res.internalReliability[r] = kNonCentralityDelta0 / std::sqrt(redundancy);
    }
    res.baardaStatistic[r] = res.sigmaResiduals[r] != 0.0 ? res.residuals[r] / res.sigmaResiduals[r] : 0.0;
    if (redundancy > 0.0 && redundancy < 1.0) {
      res.externalReliability[r] = std::sqrt(1.0 - redundancy) * res.internalReliability[r];
    }
  }
}

}  // namespace

Result<LeastSquaresResults> SolveLeastSquares(const ObservationSystem& sys, const ProgressSink* progress,
                                              const MatrixKernels& kernels) {
  const int n = sys.numEquations;
  const int m = sys.numUnknowns;
  // Without redundancy there is neither σ0 nor any precision to give.
  if (n <= m) return Failure{kLeastSquaresFailureMessage};

  LeastSquaresResults res;
  res.numEquations = n;
  res.numUnknowns = m;

  // Solution.
  res.At = TransposeMatrix(sys.A, n, m);
  res.AtP = kernels.multiply(res.At, sys.P, m, n, n);
  {
    const Matrix normal = kernels.multiply(res.AtP, sys.A, m, n, m);
    PivotWatch watch;
    Result<Matrix> qxx = kernels.invertWatched(normal, m, watch);
    if (!qxx.ok()) {
      return Failure{watch.weakColumn > 0 ? UndeterminedUnknownMessage(sys.layout, watch.weakColumn) : qxx.error()};
    }
    res.Qxx = std::move(*qxx);
    res.minPivotRatio = watch.minRatio;
  }
  const Matrix w = kernels.multiply(res.AtP, sys.k, m, n, 1);
  const Matrix x = kernels.multiply(res.Qxx, w, m, m, 1);
  res.corrections = OneBased(m);
  for (int j = 1; j <= m; ++j) res.corrections[static_cast<std::size_t>(j)] = x(j, 1);

  const Matrix ax = kernels.multiply(sys.A, x, n, m, 1);
  res.residuals = OneBased(n);
  Matrix v(n, 1), vt(1, n);
  for (int i = 1; i <= n; ++i) {
    const double residual = ax(i, 1) - sys.k(i, 1);
    res.residuals[static_cast<std::size_t>(i)] = residual;
    v(i, 1) = residual;
    vt(1, i) = residual;
  }
  const Matrix vtP = kernels.multiply(vt, sys.P, 1, n, n);
  const Matrix vtPv = kernels.multiply(vtP, v, 1, n, 1);
  res.sigmaZero = std::sqrt(vtPv(1, 1) / static_cast<double>(n - m));
  if (progress != nullptr) progress->SetProgress(kProgressAfterSigmaZero);

  {
    Result<Matrix> qll = kernels.invert(sys.P, n);
    if (!qll.ok()) return Failure{qll.error()};
    res.Qll = std::move(*qll);
  }
  if (HasNetworkBookkeeping(sys)) FillAdjustedValues(sys, res);

  // Precision.
  res.QllHat = kernels.multiply(kernels.multiply(sys.A, res.Qxx, n, m, m), res.At, n, m, n);
  res.Qvv = Matrix(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) res.Qvv(i, j) = res.Qll(i, j) - res.QllHat(i, j);
  }
  const double varianceOfUnitWeight = std::pow(res.sigmaZero, 2);
  res.Cxx = Scaled(res.Qxx, varianceOfUnitWeight, m, m);
  res.CllHat = Scaled(res.QllHat, varianceOfUnitWeight, n, n);
  res.Cvv = Scaled(res.Qvv, varianceOfUnitWeight, n, n);
  res.sigmaParameters = OneBased(m);
  for (int j = 1; j <= m; ++j) res.sigmaParameters[static_cast<std::size_t>(j)] = RootOrZero(res.Cxx(j, j));
  res.sigmaAdjustedObs = OneBased(n);
  res.sigmaResiduals = OneBased(n);
  for (int i = 1; i <= n; ++i) {
    res.sigmaAdjustedObs[static_cast<std::size_t>(i)] = RootOrZero(res.CllHat(i, i));
    res.sigmaResiduals[static_cast<std::size_t>(i)] = RootOrZero(res.Cvv(i, i));
  }

  // Reliability.
  FillReliability(sys, res);

  // External reliability vectors: column i of M = (Qxx·Aᵀ)·P scaled by the minimal
  // detectable error of observation i. M·eᵢ is column i of M exactly (every other term is a
  // zero added to a sum), so the fast path reads the column instead of forming n products.
  const Matrix effect = kernels.multiply(kernels.multiply(res.Qxx, res.At, m, m, n), sys.P, m, n, n);
  res.externalReliabilityVectors = Matrix(m, n);
  for (int i = 1; i <= n; ++i) {
    const double mde = res.minDetectableError[static_cast<std::size_t>(i)];
    if (kernels.dense) {
      Matrix unit(n, 1);
      unit(i, 1) = 1.0;
      const Matrix y = kernels.multiply(effect, unit, m, n, 1);
      for (int j = 1; j <= m; ++j) res.externalReliabilityVectors(j, i) = y(j, 1) * mde;
    } else {
      for (int j = 1; j <= m; ++j) res.externalReliabilityVectors(j, i) = effect(j, i) * mde;
    }
  }
  return res;
}

}  // namespace korvo
