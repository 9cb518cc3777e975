// Pseudo-sexagesimal angles, Bowring's inverse, the datum shift and the six formats of the
// coordinate utility against independently computed coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/constants.h"
#include "coordtransform/coordinate_formats.h"
#include "coordtransform/geodesy.h"

namespace korvo {
namespace {

double DegreesToRadians(double degrees) { return degrees * kPi / 180.0; }

// Difference of two pseudo-sexagesimal angles in arc seconds. Pseudo-sexagesimal values are
// compared as angles: 5.5959999999 (5° 59' 59.99999") and 6.0 differ by 1e-5" only.
double ArcsecBetween(double pseudoA, double pseudoB) {
  return std::fabs(PseudoToRadians(pseudoA) - PseudoToRadians(pseudoB)) * 180.0 / kPi * 3600.0;
}

// ---- pseudo-sexagesimal degrees -------------------------------------------------------------

// Both ways, worked by hand as g + m/60 + s/3600 with the sign on every component; every
// value also survives the round trip through radians.
TEST(PseudoSexagesimal, ReadAndWritten) {
  struct Case {
    double pseudo, degrees;
    bool written;  // RadiansToPseudo gives the pseudo value back
  } cases[] = {
      {40.2530125, 40.0 + 25.0 / 60.0 + 30.125 / 3600.0, true},
      {-40.2530125, -(40.0 + 25.0 / 60.0 + 30.125 / 3600.0), true},
      {0.0001, 1.0 / 3600.0, true},
      {2.0915, 2.0 + 9.0 / 60.0 + 15.0 / 3600.0, true},
      {-0.3, -0.5, true},
      {3.3, 3.5, true},
      {10.0, 10.0, true},
      // The seconds are not rounded: 59.99999" stays 59.99999" and does not become a minute.
      {10.005999999, 10.0 + 59.99999 / 3600.0, true},
      {43.5959999, 43.0 + 59.0 / 60.0 + 59.999 / 3600.0, false},
      {-0.0000125, -0.125 / 3600.0, false},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(PseudoToRadians(c.pseudo), DegreesToRadians(c.degrees), 1e-14) << c.pseudo;
    if (c.written) {
      EXPECT_NEAR(RadiansToPseudo(DegreesToRadians(c.degrees)), c.pseudo, 1e-11) << c.pseudo;
    }
    EXPECT_NEAR(RadiansToPseudo(PseudoToRadians(c.pseudo)), c.pseudo, 1e-11) << c.pseudo;
  }
  EXPECT_LT(RadiansToPseudo(DegreesToRadians(10.0 + 59.99999 / 3600.0)), 10.006);
}

// 40.3 reads as 40° 29' 99.99999999997": the seconds carry makes it exactly 40° 30'.
// Regression: the carry only fired for positive values, so −3.3 (−3° 30') read as
// −3° 29' 99.99999"... = −3.49444° (40" too close to zero) instead of −3.5°.
TEST(PseudoSexagesimal, WholeMinuteCarriesToExactMinuteOnBothSides) {
  EXPECT_EQ(PseudoToRadians(40.3), (40.0 + 30.0 / 60.0) * kPi / 180.0);
  EXPECT_NEAR(PseudoToRadians(2.1), (2.0 + 10.0 / 60.0) * kPi / 180.0, 1e-16);
  EXPECT_EQ(PseudoToRadians(-3.3), -(3.0 + 30.0 / 60.0) * kPi / 180.0);
  EXPECT_EQ(PseudoToRadians(-40.3), -PseudoToRadians(40.3));
  for (int minutes = 0; minutes < 60; ++minutes) {
    for (int degrees = 0; degrees <= 6; ++degrees) {
      const double pseudo = degrees + minutes / 100.0;
      EXPECT_NEAR(PseudoToRadians(-pseudo), DegreesToRadians(-(degrees + minutes / 60.0)), 1e-15) << -pseudo;
    }
  }
}

// ---- geographic <-> cartesian --------------------------------------------------------------

// Bowring's one-pass inverse returns the input to well below a millimetre near the ellipsoid.
TEST(CartesianToGeographic, RoundTripWithinBowringAccuracy) {
  for (double latitude = 35.0; latitude <= 44.0; latitude += 0.5) {
    for (double longitude = -9.5; longitude <= 4.5; longitude += 0.5) {
      for (double h : {-100.0, 0.0, 700.0, 3500.0}) {
        const Triple geographic{RadiansToPseudo(DegreesToRadians(latitude)),
                                RadiansToPseudo(DegreesToRadians(longitude)), h};
        const Triple back = CartesianToGeographic(GeographicToCartesian(geographic, kEd50Ellipsoid), kEd50Ellipsoid);
        // 1e-5" is 0.3 mm on the ground.
        EXPECT_LT(ArcsecBetween(back.first, geographic.first), 1e-5) << latitude << " " << longitude << " " << h;
        EXPECT_LT(ArcsecBetween(back.second, geographic.second), 1e-5) << latitude << " " << longitude << " " << h;
        EXPECT_NEAR(back.third, h, 1e-4) << latitude << " " << longitude << " " << h;
      }
    }
  }
}

// The longitude uses the four-quadrant arctangent: right for X <= 0 and on the Y axis.
TEST(CartesianToGeographic, LongitudeInEveryQuadrant) {
  for (double longitudePseudo : {150.3, -170.15, -90.0, 90.0, 179.3, -45.0, 0.0}) {
    const Triple geographic{-20.3, longitudePseudo, 100.0};
    const Triple back = CartesianToGeographic(GeographicToCartesian(geographic, kWgs84UtilityEllipsoid),
                                              kWgs84UtilityEllipsoid);
    EXPECT_LT(ArcsecBetween(back.second, longitudePseudo), 1e-5) << longitudePseudo;
    EXPECT_LT(ArcsecBetween(back.first, -20.3), 1e-5) << longitudePseudo;
  }
  const Triple onAxis = CartesianToGeographic({0.0, 6378137.0, 0.0}, kWgs84UtilityEllipsoid);
  EXPECT_NEAR(onAxis.second, 90.0, 1e-12);
  EXPECT_NEAR(onAxis.first, 0.0, 1e-12);
  EXPECT_NEAR(onAxis.third, 0.0, 1e-6);
}

// ---- Helmert ----------------------------------------------------------------------------

// Worked by hand: X = 1e6, Y = Z = 0 gives X' = X + TX + D·X, Y' = TY − εz·X, Z' = TZ + εy·X.
TEST(HelmertTransform, HandWorkedAxisPoint) {
  const Triple shifted = HelmertTransform({1e6, 0.0, 0.0}, kEd50ToWgs84);
  EXPECT_NEAR(shifted.first, 1e6 - 115.35 + 13.626, 1e-9);
  EXPECT_NEAR(shifted.second, -62.155 - 8.0938, 1e-9);
  EXPECT_NEAR(shifted.third, -211.719 + 7.5957, 1e-9);
}

// The negated constants are close to, but not exactly, the inverse: a few millimetres.
TEST(HelmertTransform, NegatedConstantsNearlyUndoTheShift) {
  const Triple ed50{4848527.1842, -296548.6265, 4120883.9495};
  const Triple back = HelmertTransform(HelmertTransform(ed50, kEd50ToWgs84), kWgs84ToEd50);
  const double errorM = std::hypot(back.first - ed50.first, back.second - ed50.second, back.third - ed50.third);
  EXPECT_LT(errorM, 0.01);
  EXPECT_GT(errorM, 1e-5);  // not the exact inverse
}

// ---- the six formats -----------------------------------------------------------------------

// Reference coordinates computed independently by tests/coordtransform/make_reference_points.py:
// UTM by GeographicLib's TransverseMercatorProj (exact transverse Mercator, International
// ellipsoid, k0 = 0.9996), ED50 cartesian by CartConvert, the ED50 -> WGS84 shift by the
// seven-parameter formula in exact rational arithmetic, WGS84 geographic by CartConvert -r on
// a = 6378137 m, 1/f = 298.2572221. Geographic values are pseudo-sexagesimal degrees.
struct KnownPoint {
  const char* name;
  Triple ed50Geographic;
  PlanePoint utm30;
  PlanePoint utm31;
  Triple ed50Cartesian;
  Triple wgs84Cartesian;
  Triple wgs84Geographic;
};

const KnownPoint kKnownPoints[] = {
    {"Madrid", {40.3000000000, -3.3000000000, 700}, {457631.0657, 4483452.2841}, {-50980.5631, 4503677.0728}, {4848527.1842, -296548.6265, 4120883.9495}, {4848444.1990, -296654.8461, 4120765.1534}, {40.2955755286, -3.3004717124, 777.3338}},
    {"Barcelona", {41.2230000000, 2.0915000000, 50}, {931100.8042, 4593302.5238}, {429265.2759, 4580812.4194}, {4790034.1080, 180177.2590, 4193869.2671}, {4789953.6300, 180077.9947, 4193751.1116}, {41.2225992341, 2.0910861696, 119.9117}},
    {"Palma", {39.3412500000, 2.3854250000, 15}, {985326.5109, 4395389.6135}, {469799.0255, 4380182.1913}, {4918223.7665, 227498.8182, 4041386.0474}, {4918146.5764, 227399.1901, 4041266.7968}, {39.3408299525, 2.3850229989, 90.0470}},
    {"Sevilla", {37.1045000000, -5.5930000000, 120}, {234394.4708, 4119008.1214}, {-299081.5199, 4152885.6139}, {5060527.0614, -531138.6836, 3833388.3695}, {5060447.2499, -531249.7612, 3833267.2219}, {37.1040346303, -5.5934815920, 210.4921}},
    {"Coruna", {43.2200000000, -6.2000000000, 30}, {229905.3088, 4807018.9086}, {-256424.1518, 4844120.6353}, {4615967.9089, -512325.9691, 4357301.7050}, {4615878.2126, -512433.2915, 4357184.3230}, {43.2155999862, -6.2005176878, 101.1935}},
};

// Angle tolerance: 1e-4" is 3 mm on the ground.
constexpr double kArcsecTolerance = 1e-4;
constexpr double kMillimetre = 1e-3;

double DistanceFromCentralMeridianDeg(const Triple& geographic, int zone) {
  return std::fabs(PseudoToRadians(geographic.second) - CentralMeridianRad(zone)) * 180.0 / kPi;
}

// Within 3.5° of the central meridian the series are exact to the millimetre; beyond it (the
// other zone's coordinates of a point, up to 9.3° away) to a centimetre.
double UtmTolerance(const Triple& geographic, int zone) {
  return DistanceFromCentralMeridianDeg(geographic, zone) <= 3.5 ? kMillimetre : 0.01;
}

void ExpectTriple(const Triple& actual, const Triple& expected, double tolerance, const std::string& what) {
  EXPECT_NEAR(actual.first, expected.first, tolerance) << what;
  EXPECT_NEAR(actual.second, expected.second, tolerance) << what;
  EXPECT_NEAR(actual.third, expected.third, tolerance) << what;
}

void ExpectGeographic(const Triple& actual, const Triple& expected, double arcsecTolerance, double hTolerance,
                      const std::string& what) {
  EXPECT_LT(ArcsecBetween(actual.first, expected.first), arcsecTolerance) << what << " " << actual.first;
  EXPECT_LT(ArcsecBetween(actual.second, expected.second), arcsecTolerance) << what << " " << actual.second;
  EXPECT_NEAR(actual.third, expected.third, hTolerance) << what;
}

TEST(TransformPoint, Ed50GeographicEntryMatchesReferences) {
  using F = CoordinateFormat;
  for (const KnownPoint& known : kKnownPoints) {
    const PointInAllFormats point = TransformPoint(F::kEd50Geographic, known.ed50Geographic);
    const std::string name = known.name;
    ExpectTriple(FormatOf(point, F::kEd50Geographic), known.ed50Geographic, 0.0, name + " input kept");
    ExpectTriple(FormatOf(point, F::kUtm30), {known.utm30.eastingM, known.utm30.northingM, known.ed50Geographic.third},
                 UtmTolerance(known.ed50Geographic, 30), name + " UTM30");
    ExpectTriple(FormatOf(point, F::kUtm31), {known.utm31.eastingM, known.utm31.northingM, known.ed50Geographic.third},
                 UtmTolerance(known.ed50Geographic, 31), name + " UTM31");
    ExpectTriple(FormatOf(point, F::kEd50Cartesian), known.ed50Cartesian, kMillimetre, name + " ED50 XYZ");
    ExpectTriple(FormatOf(point, F::kWgs84Cartesian), known.wgs84Cartesian, kMillimetre, name + " WGS84 XYZ");
    ExpectGeographic(FormatOf(point, F::kWgs84Geographic), known.wgs84Geographic, kArcsecTolerance, kMillimetre,
                     name + " WGS84 geographic");
  }
}

// The same point typed in each of the six formats gives the same coordinates in the others.
// Entries through WGS84 come back through the negated constants, which are not the exact
// inverse: they agree to a centimetre.
TEST(TransformPoint, SixEntryFormatsOfTheSamePointAgree) {
  using F = CoordinateFormat;
  for (const KnownPoint& known : kKnownPoints) {
    const std::string name = known.name;
    struct Entry {
      F format;
      Triple value;
      double metres;  // tolerance of the ED50 results, in metres
    };
    std::vector<Entry> entries = {
        {F::kEd50Cartesian, known.ed50Cartesian, kMillimetre},
        {F::kWgs84Cartesian, known.wgs84Cartesian, 0.01},
        {F::kWgs84Geographic, known.wgs84Geographic, 0.01},
    };
    if (DistanceFromCentralMeridianDeg(known.ed50Geographic, 30) <= 3.5) {
      entries.push_back({F::kUtm30, {known.utm30.eastingM, known.utm30.northingM, known.ed50Geographic.third}, kMillimetre});
    }
    if (DistanceFromCentralMeridianDeg(known.ed50Geographic, 31) <= 3.5) {
      entries.push_back({F::kUtm31, {known.utm31.eastingM, known.utm31.northingM, known.ed50Geographic.third}, kMillimetre});
    }
    for (const Entry& entry : entries) {
      const std::string what = name + " from format " + std::to_string(static_cast<int>(entry.format));
      const PointInAllFormats point = TransformPoint(entry.format, entry.value);
      const double pseudoTolerance = entry.metres / 3.1e-3 * kArcsecTolerance;
      ExpectGeographic(FormatOf(point, F::kEd50Geographic), known.ed50Geographic, pseudoTolerance, entry.metres,
                       what + " ED50 geographic");
      ExpectTriple(FormatOf(point, F::kEd50Cartesian), known.ed50Cartesian, entry.metres, what + " ED50 XYZ");
      if (entry.format != F::kUtm30 && UtmTolerance(known.ed50Geographic, 30) == kMillimetre) {
        ExpectTriple(FormatOf(point, F::kUtm30), {known.utm30.eastingM, known.utm30.northingM, known.ed50Geographic.third},
                     entry.metres, what + " UTM30");
      }
      if (entry.format != F::kUtm31 && UtmTolerance(known.ed50Geographic, 31) == kMillimetre) {
        ExpectTriple(FormatOf(point, F::kUtm31), {known.utm31.eastingM, known.utm31.northingM, known.ed50Geographic.third},
                     entry.metres, what + " UTM31");
      }
      if (entry.format != F::kWgs84Cartesian) {
        ExpectTriple(FormatOf(point, F::kWgs84Cartesian), known.wgs84Cartesian, kMillimetre, what + " WGS84 XYZ");
      }
      if (entry.format != F::kWgs84Geographic) {
        ExpectGeographic(FormatOf(point, F::kWgs84Geographic), known.wgs84Geographic, kArcsecTolerance, kMillimetre,
                         what + " WGS84 geographic");
      }
    }
  }
}

// Each format receives the result of its own step of the chain, in the order of the
// utility's table, bit for bit: e.g. entering WGS84 cartesian coordinates, the ED50 cartesian
// ones are the negated-constant shift of the input itself, not of the WGS84 geographic values.
TEST(TransformPoint, EachFormatComesFromItsStepOfTheChain) {
  using F = CoordinateFormat;
  const Triple utm30{457631.0657, 4483452.2841, 700.0};
  const Triple utm31{429265.2759, 4580812.4194, 50.0};
  const Triple ed50Geographic{40.3, -3.3, 700.0};
  const Triple ed50Cartesian{4848527.1842, -296548.6265, 4120883.9495};
  const Triple wgs84Geographic{41.2225992341, 2.0910861696, 119.9117};
  const Triple wgs84Cartesian{4918146.5764, 227399.1901, 4041266.7968};
  struct Expected {
    F format;
    Triple input;
    PointInAllFormats formats;
  };
  std::vector<Expected> cases;
  {
    PointInAllFormats p{};
    FormatOf(p, F::kUtm30) = utm30;
    FormatOf(p, F::kEd50Geographic) = UtmToGeographic(utm30, 30);
    FormatOf(p, F::kEd50Cartesian) = GeographicToCartesian(FormatOf(p, F::kEd50Geographic), kEd50Ellipsoid);
    FormatOf(p, F::kUtm31) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 31);
    FormatOf(p, F::kWgs84Cartesian) = HelmertTransform(FormatOf(p, F::kEd50Cartesian), kEd50ToWgs84);
    FormatOf(p, F::kWgs84Geographic) = CartesianToGeographic(FormatOf(p, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
    cases.push_back({F::kUtm30, utm30, p});
  }
  {
    PointInAllFormats p{};
    FormatOf(p, F::kUtm31) = utm31;
    FormatOf(p, F::kEd50Geographic) = UtmToGeographic(utm31, 31);
    FormatOf(p, F::kEd50Cartesian) = GeographicToCartesian(FormatOf(p, F::kEd50Geographic), kEd50Ellipsoid);
    FormatOf(p, F::kUtm30) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 30);
    FormatOf(p, F::kWgs84Cartesian) = HelmertTransform(FormatOf(p, F::kEd50Cartesian), kEd50ToWgs84);
    FormatOf(p, F::kWgs84Geographic) = CartesianToGeographic(FormatOf(p, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
    cases.push_back({F::kUtm31, utm31, p});
  }
  {
    PointInAllFormats p{};
    FormatOf(p, F::kEd50Geographic) = ed50Geographic;
    FormatOf(p, F::kEd50Cartesian) = GeographicToCartesian(ed50Geographic, kEd50Ellipsoid);
    FormatOf(p, F::kUtm30) = GeographicToUtm(ed50Geographic, 30);
    FormatOf(p, F::kUtm31) = GeographicToUtm(ed50Geographic, 31);
    FormatOf(p, F::kWgs84Cartesian) = HelmertTransform(FormatOf(p, F::kEd50Cartesian), kEd50ToWgs84);
    FormatOf(p, F::kWgs84Geographic) = CartesianToGeographic(FormatOf(p, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
    cases.push_back({F::kEd50Geographic, ed50Geographic, p});
  }
  {
    PointInAllFormats p{};
    FormatOf(p, F::kEd50Cartesian) = ed50Cartesian;
    FormatOf(p, F::kEd50Geographic) = CartesianToGeographic(ed50Cartesian, kEd50Ellipsoid);
    FormatOf(p, F::kUtm30) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 30);
    FormatOf(p, F::kUtm31) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 31);
    FormatOf(p, F::kWgs84Cartesian) = HelmertTransform(ed50Cartesian, kEd50ToWgs84);
    FormatOf(p, F::kWgs84Geographic) = CartesianToGeographic(FormatOf(p, F::kWgs84Cartesian), kWgs84UtilityEllipsoid);
    cases.push_back({F::kEd50Cartesian, ed50Cartesian, p});
  }
  {
    PointInAllFormats p{};
    FormatOf(p, F::kWgs84Geographic) = wgs84Geographic;
    FormatOf(p, F::kWgs84Cartesian) = GeographicToCartesian(wgs84Geographic, kWgs84UtilityEllipsoid);
    FormatOf(p, F::kEd50Cartesian) = HelmertTransform(FormatOf(p, F::kWgs84Cartesian), kWgs84ToEd50);
    FormatOf(p, F::kEd50Geographic) = CartesianToGeographic(FormatOf(p, F::kEd50Cartesian), kEd50Ellipsoid);
    FormatOf(p, F::kUtm30) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 30);
    FormatOf(p, F::kUtm31) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 31);
    cases.push_back({F::kWgs84Geographic, wgs84Geographic, p});
  }
  {
    PointInAllFormats p{};
    FormatOf(p, F::kWgs84Cartesian) = wgs84Cartesian;
    FormatOf(p, F::kWgs84Geographic) = CartesianToGeographic(wgs84Cartesian, kWgs84UtilityEllipsoid);
    FormatOf(p, F::kEd50Cartesian) = HelmertTransform(wgs84Cartesian, kWgs84ToEd50);
    FormatOf(p, F::kEd50Geographic) = CartesianToGeographic(FormatOf(p, F::kEd50Cartesian), kEd50Ellipsoid);
    FormatOf(p, F::kUtm30) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 30);
    FormatOf(p, F::kUtm31) = GeographicToUtm(FormatOf(p, F::kEd50Geographic), 31);
    cases.push_back({F::kWgs84Cartesian, wgs84Cartesian, p});
  }
  for (const Expected& c : cases) {
    const PointInAllFormats point = TransformPoint(c.format, c.input);
    for (int column = 0; column < kColumnCount; ++column) {
      EXPECT_EQ(ColumnValue(point, column), ColumnValue(c.formats, column))
          << "entry format " << static_cast<int>(c.format) << ", column " << column;
    }
  }
}

// Negated constants: worked by hand on the axis point as for the forward shift.
TEST(HelmertTransform, WayBackNegatesEverySevenConstants) {
  const Triple shifted = HelmertTransform({1e6, 0.0, 0.0}, kWgs84ToEd50);
  EXPECT_NEAR(shifted.first, 1e6 + 115.35 - 13.626, 1e-9);
  EXPECT_NEAR(shifted.second, 62.155 + 8.0938, 1e-9);
  EXPECT_NEAR(shifted.third, 211.719 - 7.5957, 1e-9);
  // εx acts on Y and Z: a point on the Y axis.
  const Triple onY = HelmertTransform({0.0, 1e6, 0.0}, kEd50ToWgs84);
  EXPECT_NEAR(onY.first, -115.35 + 8.0938, 1e-9);
  EXPECT_NEAR(onY.second, 1e6 - 62.155 + 13.626, 1e-9);
  EXPECT_NEAR(onY.third, -211.719 + 0.1895, 1e-9);
}

}  // namespace
}  // namespace korvo
