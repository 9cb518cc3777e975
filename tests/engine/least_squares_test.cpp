#include "engine/least_squares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/observation_system.h"
#include "support/engine_cases.h"
#include "support/matrices.h"
#include "support/networks.h"

namespace korvo {
namespace {

using namespace korvo::testing;

// Row 1 alone fixes x1 (r = 0), rows 2 and 3 share x2 (r = 0.5), row 4 reaches nothing (r = 1):
// no redundancy stops the adjustment. The residuals v = Ax − k, 0, 1 cc, −1 cc and −5 m, are
// added to the observed values in metres and gon.
TEST(SolveLeastSquares, ReliabilityOfEveryRedundancyAndAdjustedObservationsInTheirUnits) {
  ObservationSystem sys;
  sys.numEquations = 4, sys.numUnknowns = 2, sys.classicalCount = 3;
  sys.A = FromRows({{1, 0}, {0, 1}, {0, 1}, {0, 0}});
  sys.k = Column({1, 2, 4, 5});
  sys.P = Identity(4);
  sys.rows.assign(5, SystemRow{});
  sys.rows[1].kind = RowKind::Distance, sys.rows[2].kind = RowKind::Zenith, sys.rows[3].kind = RowKind::Direction;
  sys.rows[4].kind = RowKind::GpsX;
  sys.reducedObserved = {0.0, 100.0, 99.5, 50.0, 250.0};
  sys.layout.unknowns.assign(3, SystemUnknown{});
  const Result<LeastSquaresResults> res = SolveLeastSquares(sys);
  ASSERT_TRUE(res.ok()) << res.error();
  for (const std::vector<double>* zero : {&res->redundancy, &res->minDetectableError, &res->internalReliability,
                                          &res->externalReliability, &res->baardaStatistic, &res->sigmaResiduals})
    EXPECT_EQ((*zero)[1], 0.0);
  EXPECT_NEAR(res->redundancy[2], 0.5, 1e-15);
  EXPECT_NEAR(res->externalReliability[2], std::sqrt(0.5) * 4.13 / std::sqrt(0.5), 1e-13);
  EXPECT_EQ(std::pair(res->redundancy[4], res->externalReliability[4]), std::pair(1.0, 0.0));
  EXPECT_DOUBLE_EQ(res->internalReliability[4], 4.13);
  EXPECT_EQ(std::pair(res->sigmaAdjustedObs[4], res->minDetectableError[4]), std::pair(0.0, 0.0));
  EXPECT_NEAR(res->redundancy[1] + res->redundancy[2] + res->redundancy[3] + res->redundancy[4], 2.0, 1e-14);
  for (const auto& [i, value] : {std::pair{1, 100.0}, {2, 99.5001}, {3, 49.9999}, {4, 245.0}})
    EXPECT_NEAR(res->adjustedObservations[i], value, 1e-12) << i;
}

// Exact observations of six vertices (deflections known and unknown, K = 0.07) give the true
// unknowns back under every refraction option, from approximations 4 cm off.
TEST(SolveLeastSquares, ExactObservationsGiveTheTruthBack) {
  testnet::Builder b;
  const double offsets[6][3] = {{0, 0, 0}, {2100, 300, 35}, {900, 1500, -25}, {-700, 1300, 60}, {1600, -1200, 15}, {400, 2600, -40}};
  for (int v = 0; v < 6; ++v) b.AddVertex(v + 1, v < 2, offsets[v][0], offsets[v][1], offsets[v][2]);
  b.truth[2].deflectionUnknown = true, b.truth[2].xiCc = 4.0, b.truth[2].etaCc = -6.0;
  b.truth[3].xiCc = 2.0, b.truth[3].etaCc = 3.0;
  b.refractionTrue = 0.07;
  b.PlaceVertices(0.04, 5);
  for (int from = 1; from <= 6; ++from) {
    for (int to = 1; to <= 6; ++to) {
      if (from == to) continue;
      b.AddObservation(ObservationType::Direction, from, to, 10);
      b.AddObservation(ObservationType::Zenith, from, to, 20);
      if (to > from) b.AddObservation(ObservationType::Distance, from, to, 0.005);
    }
  }
  for (const auto& [from, to] : {std::pair{1, 3}, {5, 6}, {4, 2}}) b.AddBaseline(from, to, 0.004);
  CalcOptions perLine, single, fixedK;
  single.singleRefractionUnknown = true;
  fixedK.fixedRefraction = true;
  fixedK.refractionK = b.refractionTrue;
  for (const CalcOptions& options : {perLine, single, fixedK}) {
    const Result<ObservationSystem> sys = FormObservationSystem(b.model, options);
    ASSERT_TRUE(sys.ok()) << sys.error();
    const Result<LeastSquaresResults> res = SolveLeastSquares(*sys);
    ASSERT_TRUE(res.ok()) << res.error();
    for (int j = 1; j <= sys->numUnknowns; ++j) {
      const SystemUnknown& u = sys->layout.unknowns[j];
      const testnet::TrueVertex* t = u.vertex >= 0 ? &b.truth[static_cast<std::size_t>(u.vertex)] : nullptr;
      const double x = res->adjustedParameters[j];
      switch (u.kind) {
        case UnknownKind::CoordinateX: EXPECT_NEAR(x, t->truth.x, 2e-5) << j; break;
        case UnknownKind::CoordinateY: EXPECT_NEAR(x, t->truth.y, 2e-5) << j; break;
        case UnknownKind::CoordinateZ: EXPECT_NEAR(x, t->truth.z, 2e-5) << j; break;
        case UnknownKind::RefractionNetwork:
        case UnknownKind::RefractionLine: EXPECT_NEAR(x, b.refractionTrue, 1e-4) << j; break;
        case UnknownKind::DeflectionEw: EXPECT_NEAR(x, t->etaCc, 0.02) << j; break;
        case UnknownKind::DeflectionNs: EXPECT_NEAR(x, t->xiCc, 0.02) << j; break;
        case UnknownKind::Orientation: {
          const std::size_t v = static_cast<std::size_t>(u.vertex);
          const double adjusted = sys->approxOrientationGon[v] + res->corrections[j] / 1e4;
          EXPECT_NEAR(std::remainder(adjusted - b.orientationTrueGon[v], 400.0) * 1e4, 0.0, 0.01) << j;
          break;
        }
        case UnknownKind::Imported: ADD_FAILURE(); break;
      }
    }
    EXPECT_LT(res->sigmaZero, 1e-3);
  }
}

// Solution, precision and reliability of a system with a full 3 × 3 weight block, to the last
// digit against an independent evaluation in Python 3 (same products in the same order).
TEST(LeastSquaresAudit, SolutionPrecisionAndReliabilityToTheLastDigit) {
  const std::vector<std::pair<std::vector<double> LeastSquaresResults::*, std::vector<double>>> expected = {
      {&LeastSquaresResults::corrections, {0.01574124021457662, -0.011021615452239866}},
      {&LeastSquaresResults::residuals, {0.002741240214576621, 0.009978384547760136, -0.020237144333183514, 0.013719624762336754, -0.010539135023086624, 0.023935466464007904}},
      {&LeastSquaresResults::sigmaAdjustedObs, {0.005562637251452919, 0.005084320016712017, 0.008008771672819602, 0.007031789440805423, 0.011615837543191199, 0.015855891470192097}},
      {&LeastSquaresResults::sigmaResiduals, {0.010803639021899306, 0.014505453073188469, 0.01500920427384097, 0.012494018934059683, 0.013420225752229818, 0.012692381204091762}},
      {&LeastSquaresResults::redundancy, {0.7904469150125888, 0.8905846251372617, 0.7783803154797037, 0.7928630194734383, 0.6098488742883954, 0.4091193883571066}},
      {&LeastSquaresResults::minDetectableError, {0.025840114698869432, 0.022250784780794595, 0.03749039720000558, 0.032614958361917044, 0.06143126632883638, 0.10238013207262432}},
      {&LeastSquaresResults::baardaStatistic, {0.25373304393270113, 0.6879057480944144, -1.3483156044757243, 1.0980954034682926, -0.7853172679554598, 1.8858137081709776}},
      {&LeastSquaresResults::internalReliability, {4.645299258390467, 4.3763541058896545, 4.681166941897166, 4.638216009804372, 5.288578296693316, 6.456914281047609}},
      {&LeastSquaresResults::externalReliability, {2.1264771806918183, 1.4476101892903481, 2.203729551898523, 2.1109589654007, 3.3033559299983977, 4.963349880151163}},
  };
  // Column i of the external reliability vectors: the shifts of x1 and x2.
  const double vectors[] = {0.005414875751576641, -0.0006428619613743955, -0.00034597812628244196, 0.002434577957780755, 0.004484148624808549, -0.0038244613751972907, 0.00551056319568981, 0.004959170789320758, 0.01407004621567567, 0.002294457171417391, 0.008969810570134774, -0.020447729947260296};
  const Matrix p = FromRows({{4.0, 0, 0, 0, 0, 0}, {0, 2.5, 0, 0, 0, 0}, {0, 0, 1.0 / (0.7 * 0.7), 0, 0, 0},
                             {0, 0, 0, 3.0, 0.4, -0.2}, {0, 0, 0, 0.4, 2.0, 0.3}, {0, 0, 0, -0.2, 0.3, 1.5}});
  const ObservationSystem sys = Imported(FromRows({{1.0, 0.0}, {0.0, 1.0}, {1.0, -1.0}, {1.0, 1.0}, {2.0, 1.0}, {0.5, -3.0}}),
                                         {0.013, -0.021, 0.047, -0.009, 0.031, 0.017}, p);
  for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
    SCOPED_TRACE(kernels.dense ? "plain kernels" : "fast kernels");
    const Result<LeastSquaresResults> res = SolveLeastSquares(sys, nullptr, kernels);
    ASSERT_TRUE(res.ok()) << res.error();
    EXPECT_EQ(res->sigmaZero, 0.024303213722202014);
    for (const auto& [member, values] : expected) {
      const std::vector<double>& got = *res.*member;
      ASSERT_EQ(got.size(), values.size() + 1);
      for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(got[i + 1], values[i]) << i + 1;
    }
    for (int i = 1; i <= 6; ++i)
      for (int j = 1; j <= 2; ++j) EXPECT_EQ(res->externalReliabilityVectors(j, i), vectors[2 * (i - 1) + (j - 1)]) << j << "," << i;
    EXPECT_TRUE(res->adjustedObservations.empty() && res->adjustedParameters.empty());  // an imported system has none
  }
}

}  // namespace
}  // namespace korvo
