#include "engine/observation_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/constants.h"
#include "common/win1252.h"
#include "support/networks.h"

namespace korvo {
namespace {

using testnet::Builder;

// Vertices 1 (fixed), 2 (unknown, unknown deflection), 3 (unknown), 4 (fixed), and a mix of
// every row type.
Builder MixedNetwork() {
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, false, 900, 300, 25);
  b.AddVertex(3, false, 400, 1100, -30);
  b.AddVertex(4, true, -500, 800, 12);
  b.truth[1].deflectionUnknown = true;
  b.PlaceVertices(0.03);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);  // row 1
  b.AddObservation(ObservationType::Direction, 1, 4, 10);  // row 2
  b.AddObservation(ObservationType::Zenith, 2, 3, 20);     // row 3
  b.AddObservation(ObservationType::Zenith, 3, 2, 20);     // row 4: same line as row 3
  b.AddObservation(ObservationType::Distance, 1, 3, 0.005);  // row 5
  b.AddObservation(ObservationType::Direction, 3, 1, 10);  // row 6
  b.AddObservation(ObservationType::Zenith, 1, 2, 20);     // row 7
  b.AddBaseline(1, 3, 0.004);  // rows 8-10
  b.AddBaseline(2, 4, 0.004);  // rows 11-13
  return b;
}

TEST(FormObservationSystem, RowsAndUnknownsInTheirOrder) {
  Builder b = MixedNetwork();
  CalcOptions options;  // refraction per line
  Result<ObservationSystem> formed = FormObservationSystem(b.model, options);
  ASSERT_TRUE(formed.ok()) << formed.error();
  const ObservationSystem& s = *formed;
  EXPECT_EQ(s.numEquations, 13);
  EXPECT_EQ(s.classicalCount, 7);
  EXPECT_EQ(s.gpsCount, 2);
  // dX dY dZ of 2 and 3, lines (2,3) and (1,2), D.V.EW and D.V.NS of 2, dDes of 3.
  ASSERT_EQ(s.numUnknowns, 11);
  EXPECT_EQ(s.layout.CountOf(UnknownKind::CoordinateX), 2);
  EXPECT_EQ((s.layout.CountOf(UnknownKind::RefractionNetwork) + s.layout.CountOf(UnknownKind::RefractionLine)), 2);
  EXPECT_EQ(s.layout.CountOf(UnknownKind::DeflectionEw), 1);
  EXPECT_EQ(s.layout.CountOf(UnknownKind::Orientation), 1);
  const UnknownKind kinds[] = {UnknownKind::CoordinateX,    UnknownKind::CoordinateY,    UnknownKind::CoordinateZ,
                               UnknownKind::CoordinateX,    UnknownKind::CoordinateY,    UnknownKind::CoordinateZ,
                               UnknownKind::RefractionLine, UnknownKind::RefractionLine, UnknownKind::DeflectionEw,
                               UnknownKind::DeflectionNs,   UnknownKind::Orientation};
  const int vertexNumbers[] = {2, 2, 2, 3, 3, 3, 0, 0, 2, 2, 3};
  for (int j = 1; j <= 11; ++j) {
    EXPECT_EQ(s.layout.unknowns[j].kind, kinds[j - 1]) << "column " << j;
    EXPECT_EQ(s.layout.unknowns[j].vertexNumber, vertexNumbers[j - 1]) << "column " << j;
  }
  EXPECT_EQ(s.layout.unknowns[1].approximateValue, b.model.vertices[1].xM);
  EXPECT_EQ(s.layout.unknowns[6].approximateValue, b.model.vertices[2].zM);
  ASSERT_EQ(s.layout.refractionLines.size(), 2u);
  EXPECT_EQ(s.layout.refractionLines[0].fromNumber, 2);
  EXPECT_EQ(s.layout.refractionLines[0].toNumber, 3);
  EXPECT_EQ(s.layout.refractionLines[0].column, 7);
  EXPECT_EQ(s.layout.refractionLines[1].fromNumber, 1);
  EXPECT_EQ(s.layout.refractionLines[1].toNumber, 2);
  EXPECT_EQ(s.layout.vertexColumns[1].coordinates, 1);
  EXPECT_EQ(s.layout.vertexColumns[2].coordinates, 4);
  EXPECT_EQ(s.layout.vertexColumns[0].coordinates, 0);
  EXPECT_EQ(s.layout.vertexColumns[1].deflectionEw, 9);
  EXPECT_EQ(s.layout.vertexColumns[1].deflectionNs, 10);
  EXPECT_EQ(s.layout.vertexColumns[2].orientation, 11);
  EXPECT_EQ(s.layout.vertexColumns[0].orientation, 0);

  const RowKind rowKinds[] = {RowKind::Direction, RowKind::Direction, RowKind::Zenith, RowKind::Zenith,
                              RowKind::Distance,  RowKind::Direction, RowKind::Zenith, RowKind::GpsX,
                              RowKind::GpsY,      RowKind::GpsZ,      RowKind::GpsX,   RowKind::GpsY,
                              RowKind::GpsZ};
  const int sources[] = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 1, 1, 1};
  for (int i = 1; i <= 13; ++i) {
    EXPECT_EQ(s.rows[i].kind, rowKinds[i - 1]) << "row " << i;
    EXPECT_EQ(s.rows[i].source, sources[i - 1]) << "row " << i;
  }
  // Both zenith angles of line 2-3 use its column; row 7 uses line 1-2.
  EXPECT_NE(s.A(3, 7), 0.0);
  EXPECT_NE(s.A(4, 7), 0.0);
  EXPECT_EQ(s.A(3, 8), 0.0);
  EXPECT_NE(s.A(7, 8), 0.0);
  EXPECT_EQ(s.A(7, 7), 0.0);
  // Baseline 1-3: vertex 1 is fixed, +1 in the columns of 3; baseline 2-4: −1 in those of 2.
  for (int j = 0; j < 3; ++j) {
    EXPECT_EQ(s.A(8 + j, 4 + j), 1.0);
    EXPECT_EQ(s.A(11 + j, 1 + j), -1.0);
  }
  EXPECT_EQ(s.A(8, 5), 0.0);
  // Direction from the fixed station 1, which sights fixed 4: no orientation column;
  // direction from 3: −1 in its dDes column.
  EXPECT_EQ(s.A(1, 11), 0.0);
  EXPECT_EQ(s.A(6, 11), -1.0);
  // Weights of classical rows: 1/σ².
  EXPECT_DOUBLE_EQ(s.P(1, 1), 0.01);
  EXPECT_DOUBLE_EQ(s.P(3, 3), 1.0 / 400.0);
  EXPECT_DOUBLE_EQ(s.P(5, 5), 1.0 / 0.000025);
  EXPECT_EQ(s.P(1, 2), 0.0);
}

// Slope distance between the approximate positions of two vertices.
double ApproxDistanceM(const NetworkModel& model, int from, int to) {
  const NetworkVertex* a = nullptr;
  const NetworkVertex* b = nullptr;
  for (const NetworkVertex& v : model.vertices) {
    if (v.number == from) a = &v;
    if (v.number == to) b = &v;
  }
  return std::sqrt(std::pow(b->xM - a->xM, 2) + std::pow(b->yM - a->yM, 2) + std::pow(b->zM - a->zM, 2));
}

TEST(FormObservationSystem, RefractionOptionsGiveOneColumnOrNone) {
  Builder b = MixedNetwork();
  CalcOptions single;
  single.singleRefractionUnknown = true;
  Result<ObservationSystem> one = FormObservationSystem(b.model, single);
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(one->numUnknowns, 10);
  EXPECT_EQ((one->layout.CountOf(UnknownKind::RefractionNetwork) + one->layout.CountOf(UnknownKind::RefractionLine)), 1);
  EXPECT_TRUE(one->layout.refractionLines.empty());
  EXPECT_EQ(one->layout.unknowns[7].kind, UnknownKind::RefractionNetwork);
  EXPECT_NE(one->A(3, 7), 0.0);
  EXPECT_NE(one->A(7, 7), 0.0);
  EXPECT_EQ(one->layout.unknowns[8].kind, UnknownKind::DeflectionEw);

  CalcOptions fixed;
  fixed.fixedRefraction = true;
  fixed.refractionK = 0.13;
  Result<ObservationSystem> none = FormObservationSystem(b.model, fixed);
  ASSERT_TRUE(none.ok());
  EXPECT_EQ(none->numUnknowns, 9);
  EXPECT_EQ((none->layout.CountOf(UnknownKind::RefractionNetwork) + none->layout.CountOf(UnknownKind::RefractionLine)), 0);
  // The computed zenith distance is reduced by K·(200/π)·D/6370000 gon; the coefficient of
  // the estimated coefficient is the derivative of that reduction, in cc.
  Result<ObservationSystem> estimated = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(estimated.ok());
  for (int row : {3, 4, 7}) {
    const ClassicalObservation& o = b.model.classical[static_cast<std::size_t>(row - 1)];
    const double d = ApproxDistanceM(b.model, static_cast<int>(o.from), o.to);
    const double reductionGon = 0.13 * (200.0 / kPi) * d / 6370000.0;
    EXPECT_NEAR(estimated->computedValue[row] - none->computedValue[row], reductionGon, 1e-12);
    const int column = row == 7 ? 8 : 7;
    EXPECT_NEAR(estimated->A(row, column), -10000.0 * (200.0 / kPi) * d / 6370000.0, 1e-9);
  }
}

TEST(FormObservationSystem, ZenithAngleRegisteredFirstFixesTheLine) {
  Builder b;
  b.AddVertex(5, false, 0, 0, 0);
  b.AddVertex(6, false, 800, 100, 10);
  b.AddVertex(7, true, 200, 900, -5);
  b.PlaceVertices(0.02);
  b.AddObservation(ObservationType::Zenith, 6, 5, 20);
  b.AddObservation(ObservationType::Zenith, 5, 6, 20);
  b.AddObservation(ObservationType::Zenith, 7, 5, 20);
  b.AddObservation(ObservationType::Zenith, 5, 7, 20);
  Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  ASSERT_EQ(s->layout.refractionLines.size(), 2u);
  EXPECT_EQ(s->layout.refractionLines[0].fromNumber, 6);
  EXPECT_EQ(s->layout.refractionLines[0].toNumber, 5);
  EXPECT_EQ(s->layout.refractionLines[1].fromNumber, 7);
  EXPECT_EQ(s->layout.refractionLines[1].toNumber, 5);
  EXPECT_EQ(s->layout.unknowns[7].refractionLine, 1);
  EXPECT_EQ(s->layout.unknowns[8].refractionLine, 2);
  // Rows 1 and 2 share column 7, rows 3 and 4 column 8.
  EXPECT_NE(s->A(1, 7), 0.0);
  EXPECT_NE(s->A(2, 7), 0.0);
  EXPECT_EQ(s->A(1, 8), 0.0);
  EXPECT_NE(s->A(3, 8), 0.0);
  EXPECT_NE(s->A(4, 8), 0.0);
}

TEST(FormObservationSystem, OrientationStatusRules) {
  // 1 fixed sighting fixed 2 → "Fija"; 2 fixed sighting only unknown 3 → "Incógnita";
  // 3 unknown sighting fixed 1 → "Incógnita"; 4 sights nothing → no status.
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, true, 1000, 0, 5);
  b.AddVertex(3, false, 500, 800, -5);
  b.AddVertex(4, false, -400, 600, 8);
  b.PlaceVertices(0.02);
  b.AddObservation(ObservationType::Direction, 1, 3, 10);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);
  b.AddObservation(ObservationType::Direction, 1, 4, 10);
  b.AddObservation(ObservationType::Direction, 2, 3, 10);
  b.AddObservation(ObservationType::Direction, 2, 4, 10);
  b.AddObservation(ObservationType::Direction, 3, 1, 10);
  b.AddObservation(ObservationType::Direction, 3, 2, 10);
  b.AddObservation(ObservationType::Distance, 4, 1, 0.01);
  Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(s->orientationStatus[0], OrientationStatus::Fixed);
  EXPECT_EQ(s->orientationStatus[1], OrientationStatus::Unknown);
  EXPECT_EQ(s->orientationStatus[2], OrientationStatus::Unknown);
  EXPECT_EQ(s->orientationStatus[3], OrientationStatus::None);
  EXPECT_EQ(OrientationStatusText(OrientationStatus::Fixed), "Fija");
  EXPECT_EQ(OrientationStatusText(OrientationStatus::Unknown), Cp1252("Incógnita"));
  EXPECT_EQ(OrientationStatusText(OrientationStatus::None), "");
  // Coordinates of 3 and 4 (6), orientations of 2 and 3 in vertex-list order.
  ASSERT_EQ(s->numUnknowns, 8);
  EXPECT_EQ(s->layout.vertexColumns[1].orientation, 7);
  EXPECT_EQ(s->layout.vertexColumns[2].orientation, 8);
  for (int row = 1; row <= 3; ++row) {
    for (int j = 7; j <= 8; ++j) EXPECT_EQ(s->A(row, j), 0.0);
  }
  EXPECT_EQ(s->A(4, 7), -1.0);
  EXPECT_EQ(s->A(5, 7), -1.0);
  EXPECT_EQ(s->A(6, 8), -1.0);
  // The fixed station's orientation comes from its last direction to a fixed target (row 2):
  // that direction has k = 0 up to rounding, and the orientation is the true one.
  EXPECT_NEAR(s->k(2, 1), 0.0, 1e-6);
  EXPECT_NEAR(s->approxOrientationGon[0], b.orientationTrueGon[0], 1e-9);
  EXPECT_NEAR(s->approxOrientationGon[0], s->computedValue[2] - b.model.classical[1].value, 1e-12);
  // Other sets: from their last direction to any target (rows 5 and 7).
  EXPECT_NEAR(s->approxOrientationGon[1], s->computedValue[5] - b.model.classical[4].value, 1e-12);
  EXPECT_NEAR(s->approxOrientationGon[2], s->computedValue[7] - b.model.classical[6].value, 1e-12);
  EXPECT_NEAR(s->k(5, 1), 0.0, 1e-6);
  EXPECT_NEAR(s->k(7, 1), 0.0, 1e-6);
  // Reduced observed values stay within 0..400.
  for (int row = 1; row <= 7; ++row) {
    EXPECT_GE(s->reducedObserved[row], 0.0);
    EXPECT_LE(s->reducedObserved[row], 400.0);
  }
}

TEST(FormObservationSystem, AzimuthQuadrantsAndEastWestRule) {
  // Targets at known azimuths in the station's horizon, 1 km away: the computed direction is
  // the azimuth, clockwise from north; targets east of the station (greater longitude) lie
  // in 0..200 gon, west in 200..400.
  const double azimuths[] = {0.0, 30.0, 100.0, 170.0, 200.0, 230.0, 300.0, 370.0, 399.5, 0.5};
  for (double azimuthGon : azimuths) {
    Builder b;
    const double a = azimuthGon * kPi / 200.0;
    b.AddVertex(1, true, 0, 0, 0);
    b.PlaceVertices(0.0);
    // Place the target in the station's own frame.
    const NetworkVertex& station = b.model.vertices[0];
    const testnet::Frame f = testnet::FrameAt(station.latitudeDeg, static_cast<double>(station.longitudeDeg));
    const testnet::Xyz target = testnet::Offset(b.truth[0].truth, f, 1000.0 * std::sin(a), 1000.0 * std::cos(a), 3.0);
    b.truth.push_back({2, true, target, false, 0.0, 0.0});
    b.PlaceVertices(0.0);
    b.AddObservation(ObservationType::Direction, 1, 2, 10);
    Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
    ASSERT_TRUE(s.ok());
    double computed = s->computedValue[1];
    if (azimuthGon == 0.0 && computed > 200.0) computed -= 400.0;
    EXPECT_NEAR(computed, azimuthGon, 1e-7) << azimuthGon;
    const bool east = b.model.vertices[1].longitudeDeg >= b.model.vertices[0].longitudeDeg;
    if (azimuthGon > 1.0 && azimuthGon < 199.0) {
      EXPECT_TRUE(east);
      EXPECT_LT(s->computedValue[1], 200.0);
    }
    if (azimuthGon > 201.0 && azimuthGon < 399.0) {
      EXPECT_FALSE(east);
      EXPECT_GT(s->computedValue[1], 200.0);
    }
  }
}

TEST(FormObservationSystem, NorthSouthLineWithEqualLongitudes) {
  // Station and target on the same meridian: the longitudes are equal to the last bit.
  Builder b;
  const testnet::Xyz p1 = testnet::GeocentricFromGeodetic(40.0, -3.5, 600.0);
  const testnet::Xyz p2 = testnet::GeocentricFromGeodetic(40.01, -3.5, 640.0);
  b.truth.push_back({1, true, p1, false, 0, 0});
  b.truth.push_back({2, true, p2, false, 0, 0});
  b.PlaceVertices(0.0);
  ASSERT_EQ(b.model.vertices[0].longitudeDeg, b.model.vertices[1].longitudeDeg);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);
  b.AddObservation(ObservationType::Direction, 2, 1, 10);
  Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  const double north = s->computedValue[1] > 200.0 ? s->computedValue[1] - 400.0 : s->computedValue[1];
  EXPECT_NEAR(north, 0.0, 1e-6);
  EXPECT_NEAR(s->computedValue[2], 200.0, 1e-6);
}

TEST(FormObservationSystem, DirectionTermNearNorthIsTheShortWayRound) {
  // A sight just east of north whose known deflection correction takes the computed
  // direction below 0: observed + orientation is near 400, computed near 0. The term must be
  // a few cc, not ±4,000,000.
  Builder b;
  b.AddVertex(1, false, 0, 0, 0);
  b.AddVertex(2, true, 0.01, 1500, 20);
  b.AddVertex(3, true, 1200, 300, -10);
  b.truth[0].etaCc = -15.0;
  b.truth[0].xiCc = 4.0;
  b.PlaceVertices(0.0);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);
  b.AddObservation(ObservationType::Direction, 1, 3, 10);
  Result<ObservationSystem> first = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(first.ok());
  ASSERT_LT(first->computedValue[1], 0.0);  // the case under test
  // Exact observations for an orientation of 0.0002 gon.
  b.model.classical[0].value = testnet::Wrap400(first->computedValue[1] - 0.0002);
  b.model.classical[1].value = testnet::Wrap400(first->computedValue[2] - 0.0002);
  Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  EXPECT_GT(s->reducedObserved[1], 399.0);
  EXPECT_NEAR(s->k(1, 1), 0.0, 1e-4);
  EXPECT_NEAR(s->k(2, 1), 0.0, 1e-4);
}

// Central differences of the computed values of re-formed systems with one coordinate
// moved by ±h, the station frames (latitude, longitude) held as they are. Returns the number
// of coefficients compared.
int CompareWithDifferences(const NetworkModel& model, const CalcOptions& options, double relativeTolerance,
                           double absoluteTolerance) {
  Result<ObservationSystem> base = FormObservationSystem(model, options);
  EXPECT_TRUE(base.ok());
  if (!base.ok()) return 0;
  const int n = base->numEquations;
  const double h = 0.01;  // m
  int checked = 0;
  for (std::size_t v = 0; v < model.vertices.size(); ++v) {
    const int column = base->layout.vertexColumns[v].coordinates;
    if (column == 0) continue;
    for (int axis = 0; axis < 3; ++axis) {
      NetworkModel plus = model, minus = model;
      double* p = axis == 0 ? &plus.vertices[v].xM : axis == 1 ? &plus.vertices[v].yM : &plus.vertices[v].zM;
      double* m = axis == 0 ? &minus.vertices[v].xM : axis == 1 ? &minus.vertices[v].yM : &minus.vertices[v].zM;
      *p += h;
      *m -= h;
      Result<ObservationSystem> sp = FormObservationSystem(plus, options);
      Result<ObservationSystem> sm = FormObservationSystem(minus, options);
      EXPECT_TRUE(sp.ok() && sm.ok());
      if (!sp.ok() || !sm.ok()) return checked;
      for (int row = 1; row <= n; ++row) {
        const bool angle = base->rows[row].kind == RowKind::Direction || base->rows[row].kind == RowKind::Zenith;
        const double scale = angle ? 10000.0 : 1.0;
        const double derivative = (sp->computedValue[row] - sm->computedValue[row]) / (2 * h) * scale;
        const double coefficient = base->A(row, column + axis);
        EXPECT_NEAR(coefficient, derivative, relativeTolerance * std::fabs(derivative) + absoluteTolerance)
            << "row " << row << " column " << column + axis;
        ++checked;
      }
    }
  }
  return checked;
}

// Each coefficient of A is the derivative of the computed value of its row (cc for angles, m
// otherwise) with respect to the unknown, the station frame held fixed.
TEST(FormObservationSystem, CoefficientsAreDerivativesOfTheComputedValues) {
  Builder b = MixedNetwork();
  b.model.classical.clear();
  b.model.baselines.clear();
  for (int from : {1, 2, 3, 4}) {
    for (int to : {1, 2, 3, 4}) {
      if (from == to) continue;
      b.AddObservation(ObservationType::Direction, from, to, 10);
      b.AddObservation(ObservationType::Zenith, from, to, 20);
      b.AddObservation(ObservationType::Distance, from, to, 0.005);
    }
  }
  b.AddBaseline(1, 2, 0.004);
  b.AddBaseline(3, 2, 0.004);
  const int n = static_cast<int>(b.model.classical.size()) + 6;
  // Pure geometry (no deflection correction, refraction estimated): exact derivatives.
  EXPECT_EQ(CompareWithDifferences(b.model, CalcOptions{}, 1e-6, 1e-6), 3 * 2 * n);

  // With known deflections and a fixed refraction the computed values carry corrections
  // whose own change with the coordinates the model leaves out: K·(Δ/D)·ρ/R ≈ 0.01 cc/m for
  // the refraction and deflection/D ≈ 0.01 cc/m for the deflections here.
  b.truth[0].xiCc = 3.0;
  b.truth[0].etaCc = -7.0;
  b.truth[2].xiCc = -5.0;
  b.truth[2].etaCc = 2.5;
  b.PlaceVertices(0.03);
  CalcOptions options;
  options.fixedRefraction = true;
  options.refractionK = 0.09;
  EXPECT_EQ(CompareWithDifferences(b.model, options, 1e-4, 0.03), 3 * 2 * n);
  Result<ObservationSystem> base = FormObservationSystem(b.model, options);
  ASSERT_TRUE(base.ok());

  // Refraction: the estimated coefficient's column is d(computed)/dK.
  CalcOptions kPlus = options, kMinus = options;
  kPlus.refractionK += 0.01;
  kMinus.refractionK -= 0.01;
  CalcOptions singleK;
  singleK.singleRefractionUnknown = true;
  Result<ObservationSystem> sp = FormObservationSystem(b.model, kPlus);
  Result<ObservationSystem> sm = FormObservationSystem(b.model, kMinus);
  Result<ObservationSystem> withK = FormObservationSystem(b.model, singleK);
  ASSERT_TRUE(sp.ok() && sm.ok() && withK.ok());
  const int kColumn = 3 * withK->layout.CountOf(UnknownKind::CoordinateX) + 1;
  for (int row = 1; row <= n; ++row) {
    const double derivative = (sp->computedValue[row] - sm->computedValue[row]) / 0.02 * 10000.0;
    if (base->rows[row].kind == RowKind::Zenith) {
      EXPECT_NEAR(withK->A(row, kColumn), derivative, 1e-6 * std::fabs(derivative)) << row;
    } else {
      EXPECT_EQ(withK->A(row, kColumn), 0.0);
    }
  }

  // Deflection: with the components of vertex 3 unknown, their columns are the derivatives of
  // the computed values with respect to the known components (cc per cc), taken at zero.
  Builder unknownDeflection = b;
  unknownDeflection.model.vertices[2].deflectionUnknown = true;
  Result<ObservationSystem> withD = FormObservationSystem(unknownDeflection.model, options);
  ASSERT_TRUE(withD.ok());
  const int ew = withD->layout.vertexColumns[2].deflectionEw, ns = withD->layout.vertexColumns[2].deflectionNs;
  for (int component = 0; component < 2; ++component) {
    NetworkModel plus = b.model, minus = b.model;
    plus.vertices[2].deflectionNsCc = plus.vertices[2].deflectionEwCc = 0.0;
    minus.vertices[2].deflectionNsCc = minus.vertices[2].deflectionEwCc = 0.0;
    (component == 0 ? plus.vertices[2].deflectionEwCc : plus.vertices[2].deflectionNsCc) = 1.0;
    (component == 0 ? minus.vertices[2].deflectionEwCc : minus.vertices[2].deflectionNsCc) = -1.0;
    Result<ObservationSystem> dp = FormObservationSystem(plus, options);
    Result<ObservationSystem> dm = FormObservationSystem(minus, options);
    ASSERT_TRUE(dp.ok() && dm.ok());
    for (int row = 1; row <= n; ++row) {
      const double derivative = (dp->computedValue[row] - dm->computedValue[row]) / 2.0 * 10000.0;
      EXPECT_NEAR(withD->A(row, component == 0 ? ew : ns), derivative, 1e-7) << "row " << row;
    }
  }
}

TEST(FormObservationSystem, GpsWeightsCarryStationErrors) {
  // J·S·Jᵀ is σh²·(u1u1ᵀ + u2u2ᵀ) + σc²/2·(n1n1ᵀ + e1e1ᵀ + n2n2ᵀ + e2e2ᵀ) with u, n, e the
  // up, north and east unit vectors at each end: the antenna heights move the ends along
  // their verticals, the centring splits equally into north and east.
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, false, 15000, 22000, 300);
  b.PlaceVertices(0.0);
  b.AddBaseline(1, 2, 0.004);
  CalcOptions options;
  options.centeringStdDevM = 0.003;
  options.antennaHeightStdDevM = 0.007f;
  Result<ObservationSystem> s = FormObservationSystem(b.model, options);
  ASSERT_TRUE(s.ok());
  const GpsBaseline& g = b.model.baselines[0];
  double sigma[3][3] = {{g.cxx, g.cxy, g.cxz}, {g.cxy, g.cyy, g.cyz}, {g.cxz, g.cyz, g.czz}};
  const double sh2 = std::pow(static_cast<double>(0.007f), 2), sc2 = 0.003 * 0.003;
  for (const NetworkVertex& v : b.model.vertices) {
    const testnet::Frame f = testnet::FrameAt(v.latitudeDeg, static_cast<double>(v.longitudeDeg));
    const double u[3] = {f.up.x, f.up.y, f.up.z}, nn[3] = {f.north.x, f.north.y, f.north.z},
                 e[3] = {f.east.x, f.east.y, f.east.z};
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) sigma[i][j] += sh2 * u[i] * u[j] + sc2 / 2 * (nn[i] * nn[j] + e[i] * e[j]);
    }
  }
  // P block times the expected covariance is the identity.
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      double sum = 0.0;
      for (int t = 1; t <= 3; ++t) sum += s->P(i, t) * sigma[t - 1][j - 1];
      EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-5) << i << "," << j;
    }
  }
  // Without station errors the block is the inverse of the baseline's own covariance.
  options.applyGpsStationErrors = false;
  Result<ObservationSystem> plain = FormObservationSystem(b.model, options);
  ASSERT_TRUE(plain.ok());
  const double own[3][3] = {{g.cxx, g.cxy, g.cxz}, {g.cxy, g.cyy, g.cyz}, {g.cxz, g.cyz, g.czz}};
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      double sum = 0.0;
      for (int t = 1; t <= 3; ++t) sum += plain->P(i, t) * own[t - 1][j - 1];
      EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-9);
    }
  }
  // Terms: observed minus computed.
  EXPECT_NEAR(plain->k(1, 1), g.dxM - (b.model.vertices[1].xM - b.model.vertices[0].xM), 1e-12);
}

TEST(FormObservationSystem, SingularBaselineCovarianceIsAFailure) {
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, false, 1500, 2200, 30);
  b.PlaceVertices(0.0);
  b.AddBaseline(1, 2, 0.0);
  CalcOptions options;
  options.applyGpsStationErrors = false;
  Result<ObservationSystem> s = FormObservationSystem(b.model, options);
  ASSERT_FALSE(s.ok());
  EXPECT_EQ(s.error(), "Matriz singular");
}

TEST(FormObservationSystem, ChecksBeforeAnyArithmetic) {
  struct Case {
    const char* what;
    void (*spoil)(NetworkModel&);
    std::string message;
  };
  const Case cases[] = {
      {"unknown target", [](NetworkModel& m) { m.classical[2].to = 77; },
       Cp1252(" ¡La observación nº 3 (Cenital 2-77) se refiere al vértice 77, que no figura en la lista de vértices! ")},
      {"unknown station", [](NetworkModel& m) { m.classical[0].from = 12; },
       Cp1252(" ¡La observación nº 1 (Dirección 12-2) se refiere al vértice 12, que no figura en la lista de vértices! ")},
      {"unknown baseline end", [](NetworkModel& m) { m.baselines[1].from = 9; },
       Cp1252(" ¡La línea base GPS nº 2 (9-4) se refiere al vértice 9, que no figura en la lista de vértices! ")},
      {"identical coordinates",
       [](NetworkModel& m) {
         m.vertices[2].xM = m.vertices[0].xM;
         m.vertices[2].yM = m.vertices[0].yM;
         m.vertices[2].zM = m.vertices[0].zM;
       },
       Cp1252(" ¡La observación nº 5 (Geométrica 1-3) une dos vértices con las mismas coordenadas! ")},
      {"observation to itself", [](NetworkModel& m) { m.classical[5].to = 3; },
       Cp1252(" ¡La observación nº 6 (Dirección 3-3) une dos vértices con las mismas coordenadas! ")},
      {"baseline to itself", [](NetworkModel& m) { m.baselines[1].to = 2; },
       Cp1252(" ¡La línea base GPS nº 2 (2-2) une dos vértices con las mismas coordenadas! ")},
      {"baseline between identical coordinates",
       [](NetworkModel& m) {
         m.vertices[3].xM = m.vertices[1].xM;
         m.vertices[3].yM = m.vertices[1].yM;
         m.vertices[3].zM = m.vertices[1].zM;
       },
       Cp1252(" ¡La línea base GPS nº 2 (2-4) une dos vértices con las mismas coordenadas! ")},
      {"zero standard deviation", [](NetworkModel& m) { m.classical[4].stdDev = 0.0; },
       Cp1252(" ¡La observación nº 5 (Geométrica 1-3) tiene desviación típica nula: su peso sería infinito! ")},
      {"inadmissible type", [](NetworkModel& m) { m.classical[3].type = static_cast<ObservationType>(7); },
       Cp1252(" ¡Se ha producido un error: algún tipo de observable clásico no es admisible! ")},
  };
  for (const Case& c : cases) {
    Builder b = MixedNetwork();
    c.spoil(b.model);
    Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
    ASSERT_FALSE(s.ok()) << c.what;
    EXPECT_EQ(s.error(), c.message) << c.what;
  }
}

TEST(FormObservationSystem, BaselineBetweenFixedVerticesHasWeightsAndTermsOnly) {
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, true, 1000, 500, 10);
  b.PlaceVertices(0.0);
  b.AddBaseline(1, 2, 0.004, 0.002, -0.001, 0.003);
  Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(s->numUnknowns, 0);
  EXPECT_NEAR(s->k(1, 1), 0.002, 1e-9);
  EXPECT_NEAR(s->k(3, 1), 0.003, 1e-9);
  EXPECT_GT(s->P(1, 1), 0.0);
}

// A direction or zenith angle whose target lies on the station's vertical has no azimuth: it
// is refused by name; a distance along the same line is an ordinary row. At latitude and
// longitude 0 the vertical is +X, so the east and north components are exactly zero.
TEST(FormObservationSystem, VerticalSightIsRefused) {
  for (const ObservationType type : {ObservationType::Direction, ObservationType::Zenith, ObservationType::Distance}) {
    NetworkModel network;
    NetworkVertex station = korvo::testing::AuditVertex(1, kKindFixed, 6378137.0, 0.0, 0.0, 0.0, 0.0f);
    network.vertices = {station, korvo::testing::AuditVertex(2, kKindUnknown, 6378637.0, 0.0, 0.0, 0.0, 0.0f)};
    ClassicalObservation o;
    o.type = type;
    o.from = 1;
    o.to = 2;
    o.value = type == ObservationType::Distance ? 500.0 : 0.0;
    o.stdDev = 10.0;
    network.classical = {o};
    Result<ObservationSystem> s = FormObservationSystem(network, CalcOptions{});
    if (type == ObservationType::Distance) {
      ASSERT_TRUE(s.ok()) << s.error();
      EXPECT_EQ(s->A(1, 1), 1.0);  // d(distance)/dX along the line
      continue;
    }
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), Cp1252(" ¡La observación nº 1 (") + (type == ObservationType::Direction ? Cp1252("Dirección") : "Cenital") +
                             Cp1252(" 1-2) es una visual vertical: su acimut no está definido! "));
  }
}

}  // namespace
}  // namespace korvo
