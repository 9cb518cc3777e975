#pragma once
// Checks that keep meaningless networks from reaching the adjustment.
//
// Two moments: when a project is loaded, every value must be one the adjustment can use
// (numbers unique, standard deviations with a representable weight, points near the Earth's
// surface, plausible deflections, GPS covariance blocks that are covariances); before an
// adjustment, the options must be in range and every unknown vertex must be tied to a fixed
// vertex through observations or baselines. Each failure names the line of the project file
// (when the record came from one), the field and the record.
//
// Ranges (stated in the README too):
//   standard deviation      > 0, and 1/σ² a finite normal double (σ in cc or m)
//   vertex coordinates      distance from the Earth's centre between 5,000 km and 8,000 km
//   deflection components   |value| ≤ 1,000 cc
//   GPS covariance block    symmetric positive definite (its Cholesky pivots all > 0)
//   refraction coefficient  |K| ≤ 1
//   centring, antenna error 0 m to 1 m

#include "common/result.h"
#include "network/calc_options.h"
#include "network/network_model.h"

namespace korvo {

inline constexpr double kMinGeocentricDistanceM = 5.0e6;
inline constexpr double kMaxGeocentricDistanceM = 8.0e6;
inline constexpr double kMaxDeflectionCc = 1000.0;
inline constexpr double kMaxRefractionK = 1.0;
inline constexpr double kMaxStationErrorM = 1.0;

// The values of a loaded network (the loader's last step).
Status CheckNetworkValues(const NetworkModel& network);

// The options of an adjustment; the command line calls it before reading any file.
Status CheckCalcOptions(const CalcOptions& options);

// A graph walk over observations and baselines: every unknown vertex reached by some
// observation, every connected part holding a fixed vertex. Observations that name a vertex
// missing from the list are left to the formation, which names them.
Status CheckNetworkDetermined(const NetworkModel& network);

// CheckCalcOptions and CheckNetworkDetermined, in that order: the adjustment's first step.
Status CheckBeforeAdjustment(const NetworkModel& network, const CalcOptions& options);

}  // namespace korvo
