// Least squares to the last digit on a small system with a full 3 by 3 weight block: every
// product formed left to right as the method writes it (At, AtP = At·P, N = AtP·A, Qxx = N⁻¹,
// w = AtP·k, x = Qxx·w, v = A·x − k, vᵀPv = (vᵀ·P)·v, σ0 = √(vᵀPv/(n − m)), Qll = P⁻¹,
// Q̂ll = (A·Qxx)·At, Qvv = Qll − Q̂ll, C = σ0²·Q) and the reliability figures from them with
// δ0 = 4.13. The expected values were evaluated independently in Python 3 (IEEE doubles),
// each product summed over its inner index in ascending order and each inverse by
// Gauss–Jordan elimination without pivoting, following those steps one by one.

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "support/matrices.h"

namespace korvo {
namespace {

const double kCorrections[] = {0.01574124021457662, -0.011021615452239866};
const double kResiduals[] = {0.002741240214576621, 0.009978384547760136, -0.020237144333183514, 0.013719624762336754, -0.010539135023086624, 0.023935466464007904};
const double kSigmaZero = 0.024303213722202014;
const double kSigmaParameters[] = {0.005562637251452919, 0.005084320016712017};
const double kSigmaAdjusted[] = {0.005562637251452919, 0.005084320016712017, 0.008008771672819602, 0.007031789440805423, 0.011615837543191199, 0.015855891470192097};
const double kSigmaResiduals[] = {0.010803639021899306, 0.014505453073188469, 0.01500920427384097, 0.012494018934059683, 0.013420225752229818, 0.012692381204091762};
const double kRedundancy[] = {0.7904469150125888, 0.8905846251372617, 0.7783803154797037, 0.7928630194734383, 0.6098488742883954, 0.4091193883571066};
const double kMinDetectable[] = {0.025840114698869432, 0.022250784780794595, 0.03749039720000558, 0.032614958361917044, 0.06143126632883638, 0.10238013207262432};
const double kBaarda[] = {0.25373304393270113, 0.6879057480944144, -1.3483156044757243, 1.0980954034682926, -0.7853172679554598, 1.8858137081709776};
const double kInternal[] = {4.645299258390467, 4.3763541058896545, 4.681166941897166, 4.638216009804372, 5.288578296693316, 6.456914281047609};
const double kExternal[] = {2.1264771806918183, 1.4476101892903481, 2.203729551898523, 2.1109589654007, 3.3033559299983977, 4.963349880151163};
const double kVectors[] = {0.005414875751576641, -0.0006428619613743955, -0.00034597812628244196, 0.002434577957780755, 0.004484148624808549, -0.0038244613751972907, 0.00551056319568981, 0.004959170789320758, 0.01407004621567567, 0.002294457171417391, 0.008969810570134774, -0.020447729947260296};

ObservationSystem SmallSystem() {
  using korvo::testing::FromRows;
  Matrix P = FromRows({{4.0, 0, 0, 0, 0, 0}, {0, 2.5, 0, 0, 0, 0}, {0, 0, 1.0 / (0.7 * 0.7), 0, 0, 0},
                       {0, 0, 0, 3.0, 0.4, -0.2}, {0, 0, 0, 0.4, 2.0, 0.3}, {0, 0, 0, -0.2, 0.3, 1.5}});
  return ImportedObservationSystem(FromRows({{1.0, 0.0}, {0.0, 1.0}, {1.0, -1.0}, {1.0, 1.0}, {2.0, 1.0}, {0.5, -3.0}}),
                                   korvo::testing::Column({0.013, -0.021, 0.047, -0.009, 0.031, 0.017}), P, 6, 2);
}

void ExpectSame(const std::vector<double>& got, const double* expected, std::size_t count, const char* what) {
  ASSERT_GE(got.size(), count + 1) << what;
  for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(got[i + 1], expected[i]) << what << " " << i + 1;
}

TEST(LeastSquaresAudit, SolutionPrecisionAndReliabilityToTheLastDigit) {
  const ObservationSystem sys = SmallSystem();
  for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
    SCOPED_TRACE(kernels.dense ? "plain kernels" : "fast kernels");
    Result<LeastSquaresResults> res = SolveLeastSquares(sys, nullptr, kernels);
    ASSERT_TRUE(res.ok()) << res.error();
    ExpectSame(res->corrections, kCorrections, std::size(kCorrections), "correction");
    ExpectSame(res->residuals, kResiduals, std::size(kResiduals), "residual");
    EXPECT_EQ(res->sigmaZero, kSigmaZero);
    ExpectSame(res->sigmaParameters, kSigmaParameters, std::size(kSigmaParameters), "sigma parameter");
    ExpectSame(res->sigmaAdjustedObs, kSigmaAdjusted, std::size(kSigmaAdjusted), "sigma adjusted");
    ExpectSame(res->sigmaResiduals, kSigmaResiduals, std::size(kSigmaResiduals), "sigma residual");
    ExpectSame(res->redundancy, kRedundancy, std::size(kRedundancy), "redundancy");
    ExpectSame(res->minDetectableError, kMinDetectable, std::size(kMinDetectable), "minimal detectable error");
    ExpectSame(res->baardaStatistic, kBaarda, std::size(kBaarda), "Baarda");
    ExpectSame(res->internalReliability, kInternal, std::size(kInternal), "internal");
    ExpectSame(res->externalReliability, kExternal, std::size(kExternal), "external");
    for (int i = 1; i <= 6; ++i) {
      for (int j = 1; j <= 2; ++j) {
        EXPECT_EQ(res->externalReliabilityVectors(j, i), kVectors[2 * (i - 1) + (j - 1)]) << j << "," << i;
      }
    }
  }
}

}  // namespace
}  // namespace korvo
