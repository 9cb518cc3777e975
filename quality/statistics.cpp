#include "quality/statistics.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

namespace korvo {

double ChiSquaredQuantile(double probability, double degreesOfFreedom) {
  return boost::math::quantile(boost::math::chi_squared_distribution<double>(degreesOfFreedom), probability);
}

double FisherQuantile(double probability, double numeratorDegrees, double denominatorDegrees) {
  return boost::math::quantile(boost::math::fisher_f_distribution<double>(numeratorDegrees, denominatorDegrees),
                               probability);
}

double StudentQuantile(double probability, double degreesOfFreedom) {
  return boost::math::quantile(boost::math::students_t_distribution<double>(degreesOfFreedom), probability);
}

}  // namespace korvo
