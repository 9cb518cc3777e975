#pragma once
// Quantiles of the distributions the quality tests use, from Boost.Math. `probability` is the
// lower-tail probability p (0 < p < 1): the value q with P(X ≤ q) = p.

namespace korvo {

double ChiSquaredQuantile(double probability, double degreesOfFreedom);
double FisherQuantile(double probability, double numeratorDegrees, double denominatorDegrees);
double StudentQuantile(double probability, double degreesOfFreedom);

}  // namespace korvo
