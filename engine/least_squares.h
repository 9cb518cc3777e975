#pragma once
// Weighted least-squares solution of an ObservationSystem with its precision and the
// reliability figures of every observation.
//
// Indexing as in engine/observation_system.h: matrices and vectors are used from index 1;
// vectors are sized count + 1. n = numEquations, m = numUnknowns. Units: residuals and
// corrections are metres or cc like the rows and unknowns they belong to; adjusted values
// are metres or gon.

#include <string>
#include <vector>

#include "common/progress.h"
#include "common/result.h"
#include "engine/kernels.h"
#include "engine/matrix.h"
#include "engine/observation_system.h"

namespace korvo {

// Non-centrality parameter of the reliability figures (Baarda's δ0 for α = 0.1 %, β = 20 %).
inline constexpr double kNonCentralityDelta0 = 4.13;

// Failure text of a system without redundancy (Windows-1252).
extern const std::string kLeastSquaresFailureMessage;

// Failure text of a system whose observations do not determine the unknown of `column`
// (Windows-1252): " ¡Matriz singular: las observaciones no determinan la coordenada X del
// vértice 1003! " (the unknown as UnknownDescription names it; by its number beyond the
// layout).
std::string UndeterminedUnknownMessage(const UnknownLayout& layout, int column);

struct LeastSquaresResults {
  int numEquations = 0;  // n
  int numUnknowns = 0;   // m

  // Solution.
  Matrix At;                             // `At`: m x n, Aᵀ
  Matrix AtP;                            // `AtP`: m x n, Aᵀ·P
  Matrix Qxx;                            // `Qxx`: m x m, N⁻¹ with N = Aᵀ·P·A
  std::vector<double> corrections;       // `Corrections`: 1..m, x = N⁻¹·Aᵀ·P·k
  std::vector<double> residuals;         // `Residuals`: 1..n, v = A·x − k
  double sigmaZero = 0.0;                // `SigmaZero`: σ0 = √(vᵀ·P·v / (n − m))
  // Smallest ratio of a pivot of the elimination of N to its diagonal element (how near the
  // unknowns came to being undetermined; see kUndeterminedPivotRatio in engine/kernels.h).
  double minPivotRatio = 1.0;

  // Adjusted values (systems formed from a network only; empty for imported systems).
  std::vector<double> adjustedObservations;  // `AdjustedObservations`: 1..n, gon or m
  std::vector<double> adjustedParameters;    // `AdjustedParameters`: 1..m, coordinates in m,
                                             // other unknowns: their correction

  // Precision.
  Matrix Qll;     // `Qll`: n x n, P⁻¹, cofactors of the observations
  Matrix QllHat;  // `QllHat`: n x n, A·N⁻¹·Aᵀ, cofactors of the adjusted observables
  Matrix Qvv;     // `Qvv`: n x n, Qll − QllHat, cofactors of the residuals
  Matrix Cxx;     // `Cxx`: m x m, σ0²·Qxx ("MATRIZ VARIANZA-COVARIANZA DE PARÁMETROS")
  Matrix CllHat;  // `CllHat`: n x n, σ0²·QllHat ("... DE OBSERVABLES COMPENSADOS")
  Matrix Cvv;     // `Cvv`: n x n, σ0²·Qvv ("... DE RESIDUOS")
  std::vector<double> sigmaParameters;   // `SigmaParameters`: 1..m, √Cxx(i,i), 0 when ≤ 0
  std::vector<double> sigmaAdjustedObs;  // `SigmaAdjustedObs`: 1..n, √CllHat(i,i), 0 when ≤ 0
  std::vector<double> sigmaResiduals;    // `SigmaResiduals`: 1..n, √Cvv(i,i), 0 when ≤ 0

  // Reliability, 1..n.
  std::vector<double> redundancy;           // `Redundancy`: r = Qvv(i,i)·P(i,i)
  std::vector<double> baardaStatistic;      // `BaardaStatistic`: v / σv (0 when σv = 0)
  std::vector<double> minDetectableError;   // `MinDetectableError`: δ0·σ(adjusted)/√r (0 when r ≤ 0)
  std::vector<double> internalReliability;  // `InternalReliability`: δ0/√r (0 when r ≤ 0)
  std::vector<double> externalReliability;  // `ExternalReliability`: √(1 − r)·δ0/√r (0 unless 0 < r < 1)
  // `ExternalReliabilityVectors`: m x n; column i is the shift of every parameter caused by
  // an undetected error of size MinDetectableError(i) in observation i: (Qxx·Aᵀ·P)·eᵢ·MDE(i).
  Matrix externalReliabilityVectors;
};

// Solves the system. Fails with kLeastSquaresFailureMessage when there is no redundancy
// (n ≤ m), with UndeterminedUnknownMessage when a pivot of N falls to rounding level (the
// first unknown the observations do not determine, named through the system's layout), and
// with kSingularMatrixMessage when P cannot be inverted. Reliability figures never fail: the
// guards above give 0 instead. Sets the progress to 55 once σ0 is known.
Result<LeastSquaresResults> SolveLeastSquares(const ObservationSystem& system, const ProgressSink* progress = nullptr,
                                              const MatrixKernels& kernels = FastKernels());

}  // namespace korvo
