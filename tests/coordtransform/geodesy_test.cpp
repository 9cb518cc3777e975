// Pseudo-sexagesimal angles, geographic/cartesian, the datum shift and the six formats.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "common/constants.h"
#include "coordtransform/coordinate_formats.h"
#include "coordtransform/geodesy.h"

namespace korvo {
namespace {

using F = CoordinateFormat;

double DegreesToRadians(double degrees) { return degrees * kPi / 180.0; }

// Difference in arc seconds, as angles: 5.5959999999 and 6.0 differ by 1e-5" only.
double ArcsecBetween(double pseudoA, double pseudoB) {
  return std::fabs(PseudoToRadians(pseudoA) - PseudoToRadians(pseudoB)) * 180.0 / kPi * 3600.0;
}

// Hand values g + m/60 + s/3600; regression: the seconds carry failed for negatives (−3.3).
TEST(PseudoSexagesimal, ReadAndWritten) {
  struct Case {
    double pseudo, degrees;
    bool written;  // RadiansToPseudo gives the pseudo value back
    bool exact;    // the reading is the hand value bit for bit
  } cases[] = {
      {-40.2530125, -(40.0 + 25.0 / 60.0 + 30.125 / 3600.0), true, false}, {0.0001, 1.0 / 3600.0, true, false},
      {2.1, 2.0 + 10.0 / 60.0, false, false}, {40.3, 40.5, true, true}, {-3.3, -3.5, true, true},
      {-0.3, -0.5, true, false}, {10.005999999, 10.0 + 59.99999 / 3600.0, true, false},  // seconds not rounded
      {43.5959999, 43.0 + 59.0 / 60.0 + 59.999 / 3600.0, false, false}, {-0.0000125, -0.125 / 3600.0, false, false},
  };
  for (const Case& c : cases) {
    if (c.exact) {
      EXPECT_EQ(PseudoToRadians(c.pseudo), DegreesToRadians(c.degrees)) << c.pseudo;
    }
    EXPECT_NEAR(PseudoToRadians(c.pseudo), DegreesToRadians(c.degrees), 1e-14) << c.pseudo;
    if (c.written) {
      EXPECT_NEAR(RadiansToPseudo(DegreesToRadians(c.degrees)), c.pseudo, 1e-11) << c.pseudo;
    }
    EXPECT_NEAR(RadiansToPseudo(PseudoToRadians(c.pseudo)), c.pseudo, 1e-11) << c.pseudo;
  }
  for (int minutes = 0; minutes < 60; ++minutes) {
    for (int degrees = 0; degrees <= 6; ++degrees) {
      const double pseudo = degrees + minutes / 100.0;
      EXPECT_NEAR(PseudoToRadians(-pseudo), DegreesToRadians(-(degrees + minutes / 60.0)), 1e-15) << -pseudo;
    }
  }
}

// ---- geographic <-> cartesian --------------------------------------------------------------

// Bowring's inverse round trip below a millimetre on both ellipsoids, every 1.25° of latitude and longitude in
// every quadrant, from below the sea to a mountain top.
TEST(CartesianToGeographic, RoundTripWithinBowringAccuracyInEveryQuadrant) {
  for (const Ellipsoid* ellipsoid : {&kEd50Ellipsoid, &kWgs84UtilityEllipsoid}) {
    for (double latitude = -88.75; latitude < 90.0; latitude += 1.25) {
      for (double longitude = -180.0; longitude < 180.0; longitude += 1.25) {
        for (double h : {-100.0, 0.0, 700.0, 3500.0}) {
          const Triple geographic{RadiansToPseudo(DegreesToRadians(latitude)),
                                  RadiansToPseudo(DegreesToRadians(longitude)), h};
          const Triple back = CartesianToGeographic(GeographicToCartesian(geographic, *ellipsoid), *ellipsoid);
          ASSERT_LT(ArcsecBetween(back.first, geographic.first), 1e-5) << latitude << " " << longitude << " " << h;
          ASSERT_LT(ArcsecBetween(back.second, geographic.second), 1e-5) << latitude << " " << longitude;  // 0.3 mm
          ASSERT_NEAR(back.third, h, 1e-4) << latitude << " " << longitude;
        }
      }
    }
  }
}

// References by tests/coordtransform/make_reference_points.py (GeographicLib tools, exact rational shift), in the
// order UTM 30, UTM 31, ED50 geographic and cartesian, WGS84 geographic and cartesian. Every entry takes the
// seven-parameter shift: the ED50 ones towards WGS84, the WGS84 ones back.
const std::pair<const char*, PointInAllFormats> kKnownPoints[] = {
    {"Madrid", {{{457631.0657, 4483452.2841, 700}, {-50980.5631, 4503677.0728, 700}, {40.3000000000, -3.3000000000, 700}, {4848527.1842, -296548.6265, 4120883.9495}, {40.2955755286, -3.3004717124, 777.3338}, {4848444.1990, -296654.8461, 4120765.1534}}}},
    {"Barcelona", {{{931100.8042, 4593302.5238, 50}, {429265.2759, 4580812.4194, 50}, {41.2230000000, 2.0915000000, 50}, {4790034.1080, 180177.2590, 4193869.2671}, {41.2225992341, 2.0910861696, 119.9117}, {4789953.6300, 180077.9947, 4193751.1116}}}},
    {"Palma", {{{985326.5109, 4395389.6135, 15}, {469799.0255, 4380182.1913, 15}, {39.3412500000, 2.3854250000, 15}, {4918223.7665, 227498.8182, 4041386.0474}, {39.3408299525, 2.3850229989, 90.0470}, {4918146.5764, 227399.1901, 4041266.7968}}}},
    {"Sevilla", {{{234394.4708, 4119008.1214, 120}, {-299081.5199, 4152885.6139, 120}, {37.1045000000, -5.5930000000, 120}, {5060527.0614, -531138.6836, 3833388.3695}, {37.1040346303, -5.5934815920, 210.4921}, {5060447.2499, -531249.7612, 3833267.2219}}}},
    {"Coruna", {{{229905.3088, 4807018.9086, 30}, {-256424.1518, 4844120.6353, 30}, {43.2200000000, -6.2000000000, 30}, {4615967.9089, -512325.9691, 4357301.7050}, {43.2155999862, -6.2005176878, 101.1935}, {4615878.2126, -512433.2915, 4357184.3230}}}},
};

// Within 3.5° of the central meridian the series are exact to the millimetre, beyond it to a centimetre.
bool NearCentralMeridian(const Triple& geographic, int zone) {
  return std::fabs(PseudoToRadians(geographic.second) - CentralMeridianRad(zone)) * 180.0 / kPi <= 3.5;
}

// Each entry format gives the references in the others (one tolerance per entry; its own column as given).
TEST(TransformPoint, EveryEntryFormatGivesTheReferencesInTheOthers) {
  const std::pair<F, double> entries[] = {{F::kEd50Geographic, 0.01}, {F::kEd50Cartesian, 1e-3},
                                          {F::kUtm30, 1e-3},          {F::kUtm31, 1e-3},
                                          {F::kWgs84Cartesian, 0.01}, {F::kWgs84Geographic, 0.01}};
  for (const auto& [name, reference] : kKnownPoints) {
    const Triple& geographic = FormatOf(reference, F::kEd50Geographic);
    for (const auto& [format, tolerance] : entries) {
      const auto near = [&](F f) { return NearCentralMeridian(geographic, f == F::kUtm30 ? 30 : 31); };
      if ((format == F::kUtm30 || format == F::kUtm31) && !near(format)) continue;
      const PointInAllFormats point = TransformPoint(format, FormatOf(reference, format));
      for (int f = 1; f <= kFormatCount; ++f) {
        const auto out = static_cast<F>(f);
        if ((out == F::kUtm30 || out == F::kUtm31) && !near(out) && format != F::kEd50Geographic) continue;
        const Triple& actual = FormatOf(point, out);
        const Triple& expected = FormatOf(reference, out);
        const double metres = out == format ? 0.0 : tolerance;
        const std::string what = std::string(name) + ", entry " + std::to_string(static_cast<int>(format)) +
                                 ", format " + std::to_string(f);
        if (out == F::kEd50Geographic || out == F::kWgs84Geographic) {
          EXPECT_LE(ArcsecBetween(actual.first, expected.first), metres / 31.0) << what;  // 1" = 31 m
          EXPECT_LE(ArcsecBetween(actual.second, expected.second), metres / 31.0) << what;
        } else {
          EXPECT_NEAR(actual.first, expected.first, metres) << what;
          EXPECT_NEAR(actual.second, expected.second, metres) << what;
        }
        EXPECT_NEAR(actual.third, expected.third, metres) << what;
      }
    }
  }
}

}  // namespace
}  // namespace korvo
