#include "coordtransform/geodesy.h"

#include <array>
#include <cmath>
#include <vector>

namespace korvo {
namespace {

// ---- Gauss–Krüger series ------------------------------------------------------------------
//
// The projection is the conformal map  y + i·x = M(q + i·Δλ),  M the meridian arc as a
// function of the isometric latitude q (L. Krüger, "Konforme Abbildung des Erdellipsoids in
// der Ebene", Potsdam 1912). Its Taylor series in i·Δλ gives the forward series, and the
// inverse map  q + i·Δλ = Q(y + i·x)  expanded about the footpoint latitude gives the inverse
// series, in the η²/t form of the geodesy textbooks (B. Hofmann-Wellenhof, H. Lichtenegger,
// E. Wasle, "GNSS", Springer 2008, section 10.2.3; W. Torge, J. Müller, "Geodesy", 4th ed.,
// section 4.4.2). Those books print the polynomials only to the orders and powers of η² that
// matter for small Δλ; the complete polynomials below come from the same derivation carried
// out symbolically by tests/coordtransform/derive_gauss_kruger.py, with the derivatives
//   dt/dφ = 1 + t²,  dη²/dφ = −2η²t,  dN/dφ = N·η²·t/(1 + η²),  d/dq = (1 + η²)·cos φ·d/dφ.
// They agree with every coefficient the textbooks print (e.g. the fifth-order easting term
// 5 − 18t² + t⁴ + 14η² − 58t²η² + 13η⁴ − 64t²η⁴ + 4η⁶ − 24t²η⁶, the seventh-order easting
// term 61 − 479t² + 179t⁴ − t⁶ + 331η² − 3298t²η² + 1771t⁴η² + ..., the eighth-order latitude
// term 1385 + 3633t² + 4095t⁴ + 1575t⁶ + ...); the spherical parts match the series of
// x = R·artanh(cos φ sin Δλ) to the ninth power (1385 − 19028t² + 18270t⁴ − 1636t⁶ + t⁸).
// The tests compare the result with an exact transverse Mercator computation.
//
// Each polynomial is stored by powers of η²; each row holds the coefficients of t⁰, t², t⁴ ...

using Row = std::vector<double>;
using Polynomial = std::vector<Row>;

// Σ_i η^(2i) Σ_j row_i[j] t^(2j)
double Evaluate(const Polynomial& polynomial, double eta2, double t2) {
  double sum = 0.0;
  double eta2Power = 1.0;
  for (const Row& row : polynomial) {
    double rowSum = 0.0;
    double t2Power = 1.0;
    for (double coefficient : row) {
      rowSum += coefficient * t2Power;
      t2Power *= t2;
    }
    sum += rowSum * eta2Power;
    eta2Power *= eta2;
  }
  return sum;
}

// Forward easting: x = N Σ_{k odd} cos^kφ · E_k · Δλ^k / k!
const Polynomial kEasting3 = {{1, -1}, {1}};
const Polynomial kEasting5 = {{5, -18, 1}, {14, -58}, {13, -64}, {4, -24}};
const Polynomial kEasting7 = {{61, -479, 179, -1},   {331, -3298, 1771}, {715, -8655, 6080},
                              {769, -10964, 9480},   {412, -6760, 6912}, {88, -1632, 1920}};
const Polynomial kEasting9 = {{1385, -19028, 18270, -1636, 1},        {12284, -214140, 290868, -47188},
                              {45318, -951468, 1652910, -384384},     {90804, -2220708, 4662840, -1394064},
                              {107241, -2984976, 7309344, -2644992},  {74904, -2332848, 6500736, -2741760},
                              {28720, -987904, 3077568, -1474560},    {4672, -175680, 603648, -322560}};

// Forward northing: y = M(φ) + N·t Σ_{k even} cos^kφ · G_k · Δλ^k / k!  (G_2 = 1)
const Polynomial kNorthing4 = {{5, -1}, {9}, {4}};
const Polynomial kNorthing6 = {{61, -58, 1}, {270, -330}, {445, -680}, {324, -600}, {88, -192}};
const Polynomial kNorthing8 = {{1385, -3111, 543, -1},   {10899, -32802, 9219},   {34419, -129087, 49644},
                               {56385, -252084, 121800}, {50856, -263088, 151872}, {24048, -140928, 94080},
                               {4672, -30528, 23040}};

// Inverse longitude: Δλ = Σ_{k odd} (−1)^((k−1)/2) · L_k · x^k / (k! · N1^k · cos φ1)
const Polynomial kLongitude3 = {{1, 2}, {1}};
const Polynomial kLongitude5 = {{5, 28, 24}, {6, 8}, {-3, 4}, {-4, 24}};
const Polynomial kLongitude7 = {{61, 662, 1320, 720}, {107, 440, 336}, {43, -234, -192},
                                {97, -772, 408},      {188, -2392, 1536}, {88, -1632, 1920}};

// Inverse latitude: φ = φ1 + t1 Σ_{k even} (−1)^(k/2) · B_k · x^k / (k! · N1^k)
const Polynomial kLatitude2 = {{1}, {1}};
const Polynomial kLatitude4 = {{5, 3}, {6, -6}, {-3, -9}, {-4}};
const Polynomial kLatitude6 = {{61, 90, 45}, {107, -162, -45}, {43, -318, 135},
                               {97, 18, 225},  {188, -108},      {88, -192}};
const Polynomial kLatitude8 = {{1385, 3633, 4095, 1575},   {3116, -5748, -3276, -1260},
                               {1158, -17826, 12954, 1890}, {-3500, 1164, 30876, -6300},
                               {-11735, 29001, 3519, -11025}, {-20280, 64272, -15864},
                               {-16144, 75408, -31872},     {-4672, 30528, -23040}};

// The bracket of the meridian arc without its leading φ:
// (3/2)e²·J2 + (15/8)e⁴·J4 + (35/16)e⁶·J6 + (315/128)e⁸·J8 + (693/256)e¹⁰·J10,
// with Jk = ∫₀^φ sin^k u du = −sin^(k−1)φ·cos φ/k + ((k − 1)/k)·J(k−2), J0 = φ.
double MeridianArcCorrection(double latitudeRad, double e2) {
  const double s = std::sin(latitudeRad);
  const double c = std::cos(latitudeRad);
  const std::array<double, 5> weights = {3.0 / 2.0, 15.0 / 8.0, 35.0 / 16.0, 315.0 / 128.0, 693.0 / 256.0};
  double j = latitudeRad;   // J0
  double sinPower = s;      // sin^(k−1) φ for k = 2
  double e2Power = e2;
  double sum = 0.0;
  for (int index = 0; index < 5; ++index) {
    const double k = 2.0 * (index + 1);
    j = -sinPower * c / k + ((k - 1.0) / k) * j;
    sum += weights[static_cast<std::size_t>(index)] * e2Power * j;
    sinPower *= s * s;
    e2Power *= e2;
  }
  return sum;
}

// Quantities of a latitude that every series term uses.
struct LatitudeTerms {
  double n;     // radius of curvature in the prime vertical N (m)
  double t;     // tan φ
  double t2;    // tan² φ
  double eta2;  // η² = e′² cos² φ
  double c;     // cos φ
};

LatitudeTerms TermsAt(double latitudeRad, const Ellipsoid& ellipsoid) {
  const double s = std::sin(latitudeRad);
  const double c = std::cos(latitudeRad);
  const double t = std::tan(latitudeRad);
  return {ellipsoid.a / std::sqrt(1.0 - ellipsoid.FirstEccentricitySquared() * s * s), t, t * t,
          ellipsoid.SecondEccentricitySquared() * c * c, c};
}

// Footpoint latitude (radians) of a meridian arc length (m): fixed-point iteration on the
// arc until two passes differ by at most 5e-10 rad. The loop contracts by a factor of about
// 0.01 per pass; the pass limit only guards against a value that is not finite.
double FootpointLatitudeRad(double arcM, const Ellipsoid& ellipsoid) {
  const double e2 = ellipsoid.FirstEccentricitySquared();
  const double rectified = arcM / (ellipsoid.a * (1.0 - e2));
  constexpr double kToleranceRad = 5e-10;
  constexpr int kMaxPasses = 100;
  double latitude = rectified;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    const double next = rectified - MeridianArcCorrection(latitude, e2);
    const double step = std::fabs(next - latitude);
    latitude = next;
    if (step <= kToleranceRad) break;
  }
  return latitude;
}

double Truncate(double value) { return std::trunc(value); }

}  // namespace

double PseudoToRadians(double pseudoDegrees) {
  const double sign = pseudoDegrees < 0.0 ? -1.0 : 1.0;
  const double degrees = Truncate(pseudoDegrees);
  const double minutesText = 100.0 * (pseudoDegrees - degrees);
  double minutes = Truncate(minutesText);
  double seconds = 100.0 * (minutesText - minutes);
  // A whole minute read back from its decimal form lands just below it (40.3 gives 29 minutes
  // and 99.99999... seconds); carry it, with the value's sign, whatever that sign is.
  if (std::fabs(seconds) > 99.9999) {
    seconds = 0.0;
    minutes += sign;
  }
  const double decimalDegrees = degrees + minutes / 60.0 + seconds / 3600.0;
  return decimalDegrees * kPi / 180.0;
}

double RadiansToPseudo(double radians) {
  const double decimalDegrees = std::fabs(180.0 * radians / kPi);
  double degrees = Truncate(decimalDegrees);
  const double minutesDecimal = 60.0 * (decimalDegrees - degrees);
  double minutes = Truncate(minutesDecimal);
  double seconds = 60.0 * (minutesDecimal - minutes);
  if (radians < 0.0) {
    degrees = -degrees;
    minutes = -minutes;
    seconds = -seconds;
  }
  return degrees + minutes / 100.0 + seconds / 10000.0;
}

Triple GeographicToCartesian(const Triple& geographic, const Ellipsoid& ellipsoid) {
  const double latitude = PseudoToRadians(geographic.first);
  const double longitude = PseudoToRadians(geographic.second);
  const double h = geographic.third;
  const double e2 = ellipsoid.FirstEccentricitySquared();
  const double s = std::sin(latitude);
  const double n = ellipsoid.a / std::sqrt(1.0 - e2 * s * s);
  const double b2OverA2 = (ellipsoid.b * ellipsoid.b) / (ellipsoid.a * ellipsoid.a);
  return {(n + h) * std::cos(latitude) * std::cos(longitude), (n + h) * std::cos(latitude) * std::sin(longitude),
          (n * b2OverA2 + h) * s};
}

Triple CartesianToGeographic(const Triple& cartesian, const Ellipsoid& ellipsoid) {
  const double x = cartesian.first;
  const double y = cartesian.second;
  const double z = cartesian.third;
  const double a = ellipsoid.a;
  const double b = ellipsoid.b;
  const double e2 = ellipsoid.FirstEccentricitySquared();
  const double ep2 = ellipsoid.SecondEccentricitySquared();
  const double p = std::sqrt(x * x + y * y);
  // The two-argument arctangents equal arctan(numerator/denominator) wherever the
  // denominators are positive (every point farther than 43 km from the earth's axis) and stay
  // defined on the axis itself.
  const double theta = std::atan2(z * a, p * b);
  const double longitude = std::atan2(y, x);
  const double sinTheta = std::sin(theta);
  const double cosTheta = std::cos(theta);
  const double latitude = std::atan2(z + ep2 * b * sinTheta * sinTheta * sinTheta,
                                     p - e2 * a * cosTheta * cosTheta * cosTheta);
  const double s = std::sin(latitude);
  const double n = a / std::sqrt(1.0 - e2 * s * s);
  const double h = p / std::cos(latitude) - n;
  return {RadiansToPseudo(latitude), RadiansToPseudo(longitude), h};
}

Triple HelmertTransform(const Triple& cartesian, const HelmertParameters& k) {
  const double x = cartesian.first;
  const double y = cartesian.second;
  const double z = cartesian.third;
  return {x + k.txM + k.scale * x + k.rzRad * y - k.ryRad * z,
          y + k.tyM + k.scale * y - k.rzRad * x + k.rxRad * z,
          z + k.tzM + k.scale * z + k.ryRad * x - k.rxRad * y};
}

double MeridianArcM(double latitudeRad, const Ellipsoid& ellipsoid) {
  const double e2 = ellipsoid.FirstEccentricitySquared();
  return ellipsoid.a * (1.0 - e2) * (latitudeRad + MeridianArcCorrection(latitudeRad, e2));
}

double CentralMeridianRad(int zone) {
  const double degrees = zone == 30 ? -3.0 : zone == 31 ? 3.0 : 6.0 * zone - 183.0;
  return degrees * kPi / 180.0;
}

PlanePoint GaussKrugerPlane(const LatLonRad& point, double centralMeridianRad, const Ellipsoid& ellipsoid) {
  const LatitudeTerms g = TermsAt(point.latitudeRad, ellipsoid);
  const double l = point.longitudeRad - centralMeridianRad;
  const double cl = g.c * l;  // cos φ · Δλ
  const double cl2 = cl * cl;

  const double x = g.n * cl *
                   (1.0 + cl2 / 6.0 *
                              (Evaluate(kEasting3, g.eta2, g.t2) +
                               cl2 / 20.0 *
                                   (Evaluate(kEasting5, g.eta2, g.t2) +
                                    cl2 / 42.0 *
                                        (Evaluate(kEasting7, g.eta2, g.t2) +
                                         cl2 / 72.0 * Evaluate(kEasting9, g.eta2, g.t2)))));
  const double y = MeridianArcM(point.latitudeRad, ellipsoid) +
                   g.n * g.t * cl2 / 2.0 *
                       (1.0 + cl2 / 12.0 *
                                  (Evaluate(kNorthing4, g.eta2, g.t2) +
                                   cl2 / 30.0 *
                                       (Evaluate(kNorthing6, g.eta2, g.t2) +
                                        cl2 / 56.0 * Evaluate(kNorthing8, g.eta2, g.t2))));
  return {x, y};
}

PlanePoint ProjectUtm(const LatLonRad& point, int zone) {
  const PlanePoint plane = GaussKrugerPlane(point, CentralMeridianRad(zone), kEd50Ellipsoid);
  return {kUtmFalseEastingM + kUtmScale * plane.eastingM, kUtmScale * plane.northingM};
}

LatLonRad UnprojectUtm(const PlanePoint& point, int zone) {
  const double x = (point.eastingM - kUtmFalseEastingM) / kUtmScale;
  const double y = point.northingM / kUtmScale;
  const double footpoint = FootpointLatitudeRad(y, kEd50Ellipsoid);
  const LatitudeTerms g = TermsAt(footpoint, kEd50Ellipsoid);
  const double u = x / g.n;  // x / N1
  const double u2 = u * u;

  const double latitude =
      footpoint - g.t * u2 / 2.0 *
                      (Evaluate(kLatitude2, g.eta2, g.t2) -
                       u2 / 12.0 *
                           (Evaluate(kLatitude4, g.eta2, g.t2) -
                            u2 / 30.0 *
                                (Evaluate(kLatitude6, g.eta2, g.t2) -
                                 u2 / 56.0 * Evaluate(kLatitude8, g.eta2, g.t2))));
  const double deltaLongitude =
      u / g.c *
      (1.0 - u2 / 6.0 *
                 (Evaluate(kLongitude3, g.eta2, g.t2) -
                  u2 / 20.0 *
                      (Evaluate(kLongitude5, g.eta2, g.t2) - u2 / 42.0 * Evaluate(kLongitude7, g.eta2, g.t2))));
  return {latitude, CentralMeridianRad(zone) + deltaLongitude};
}

Triple GeographicToUtm(const Triple& geographic, int zone) {
  const PlanePoint plane =
      ProjectUtm({PseudoToRadians(geographic.first), PseudoToRadians(geographic.second)}, zone);
  return {plane.eastingM, plane.northingM, geographic.third};
}

Triple UtmToGeographic(const Triple& utm, int zone) {
  const LatLonRad geographic = UnprojectUtm({utm.first, utm.second}, zone);
  return {RadiansToPseudo(geographic.latitudeRad), RadiansToPseudo(geographic.longitudeRad), utm.third};
}

}  // namespace korvo
