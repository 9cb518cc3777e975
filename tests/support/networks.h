#pragma once
// Networks for the engine tests, built from known true coordinates: vertices placed by local
// east/north/up offsets around a base point, exact observations computed from the true
// coordinates, and approximate coordinates a few centimetres off for the unknown vertices.
//
// The observables are computed here on their own terms: the zenith distance and azimuth of a
// sight in the local geodetic frame of the station (the frame of the station's stored
// latitude and longitude, which the model holds fixed), the slope distance, and cartesian
// baseline components.

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/constants.h"
#include "network/calc_options.h"
#include "network/geodetics.h"
#include "network/network_model.h"

namespace korvo::testnet {

struct Xyz {
  double x = 0.0, y = 0.0, z = 0.0;
};

// WGS84 geodetic → geocentric (latitude and longitude in degrees, height in metres).
inline Xyz GeocentricFromGeodetic(double latDeg, double lonDeg, double heightM) {
  const double a = kWgs84A;
  const double e2 = kWgs84F * (2.0 - kWgs84F);
  const double phi = latDeg * kPi / 180.0, lam = lonDeg * kPi / 180.0;
  const double n = a / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
  return {(n + heightM) * std::cos(phi) * std::cos(lam), (n + heightM) * std::cos(phi) * std::sin(lam),
          (n * (1.0 - e2) + heightM) * std::sin(phi)};
}

struct Frame {
  Xyz east, north, up;
};

inline Frame FrameAt(double latDeg, double lonDeg) {
  const double phi = latDeg * kPi / 180.0, lam = lonDeg * kPi / 180.0;
  return {{-std::sin(lam), std::cos(lam), 0.0},
          {-std::sin(phi) * std::cos(lam), -std::sin(phi) * std::sin(lam), std::cos(phi)},
          {std::cos(phi) * std::cos(lam), std::cos(phi) * std::sin(lam), std::sin(phi)}};
}

inline double Dot(const Xyz& a, const Xyz& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A point at local offsets from a base point (metres along the base's east, north, up).
inline Xyz Offset(const Xyz& base, const Frame& f, double eastM, double northM, double upM) {
  return {base.x + eastM * f.east.x + northM * f.north.x + upM * f.up.x,
          base.y + eastM * f.east.y + northM * f.north.y + upM * f.up.y,
          base.z + eastM * f.east.z + northM * f.north.z + upM * f.up.z};
}

struct TrueVertex {
  int number = 0;
  bool fixed = false;
  Xyz truth;
  bool deflectionUnknown = false;
  double xiCc = 0.0, etaCc = 0.0;  // true deflection (D.V.NS, D.V.EW), cc
};

struct Sight {
  double zenithGon = 0.0, azimuthGon = 0.0, distanceM = 0.0;
};

// Zenith distance, azimuth (0..400, clockwise from north) and slope distance of the sight
// between true positions, in the frame at the given latitude and longitude.
inline Sight SightOf(const Xyz& from, const Xyz& to, double latDeg, double lonDeg) {
  const Frame f = FrameAt(latDeg, lonDeg);
  const Xyz d{to.x - from.x, to.y - from.y, to.z - from.z};
  Sight s;
  s.distanceM = std::sqrt(Dot(d, d));
  s.zenithGon = std::acos(Dot(f.up, d) / s.distanceM) * 200.0 / kPi;
  s.azimuthGon = std::atan2(Dot(f.east, d), Dot(f.north, d)) * 200.0 / kPi;
  if (s.azimuthGon < 0.0) s.azimuthGon += 400.0;
  return s;
}

inline double Wrap400(double gon) {
  double r = std::fmod(gon, 400.0);
  if (r < 0.0) r += 400.0;
  return r;
}

struct Builder {
  Xyz base = GeocentricFromGeodetic(40.4, -3.7, 650.0);
  Frame baseFrame = FrameAt(40.4, -3.7);
  std::vector<TrueVertex> truth;
  NetworkModel model;
  double refractionTrue = 0.0;  // K that the observed zenith angles carry
  std::vector<double> orientationTrueGon;  // per vertex: orientation of its direction set

  void AddVertex(int number, bool fixed, double eastM, double northM, double upM) {
    truth.push_back({.number = number, .fixed = fixed, .truth = Offset(base, baseFrame, eastM, northM, upM)});
  }

  int IndexOf(int number) const {
    for (std::size_t i = 0; i < truth.size(); ++i) {
      if (truth[i].number == number) return static_cast<int>(i);
    }
    return -1;
  }

  // Fills the vertex table: fixed vertices at their truth, unknown ones moved by up to
  // `offsetM` in each coordinate; then latitude and longitude from those coordinates.
  void PlaceVertices(double offsetM, unsigned seed = 1) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> shift(-offsetM, offsetM);
    model.vertices.clear();
    for (const TrueVertex& t : truth) {
      // The shifts are drawn in the order x, y, z (designated initializers are evaluated in order).
      model.vertices.push_back({.number = static_cast<std::int16_t>(t.number),
                                .kind = t.fixed ? kKindFixed : kKindUnknown,
                                .xM = t.truth.x + (t.fixed ? 0.0 : shift(rng)),
                                .yM = t.truth.y + (t.fixed ? 0.0 : shift(rng)),
                                .zM = t.truth.z + (t.fixed ? 0.0 : shift(rng)),
                                .deflectionUnknown = t.deflectionUnknown,
                                .deflectionNsCc = t.deflectionUnknown ? 0.0 : t.xiCc,
                                .deflectionEwCc = t.deflectionUnknown ? 0.0 : t.etaCc});
    }
    ComputeVertexGeodetics(model);
    orientationTrueGon.assign(truth.size(), 0.0);
    for (std::size_t i = 0; i < truth.size(); ++i) orientationTrueGon[i] = 17.0 + 53.25 * static_cast<double>(i);
  }

  Sight SightBetween(int from, int to) const {
    const TrueVertex& a = truth[static_cast<std::size_t>(IndexOf(from))];
    const TrueVertex& b = truth[static_cast<std::size_t>(IndexOf(to))];
    const NetworkVertex& station = model.vertices[static_cast<std::size_t>(IndexOf(from))];
    return SightOf(a.truth, b.truth, station.latitudeDeg, static_cast<double>(station.longitudeDeg));
  }

  // Exact observations: the direction carries the station's deflection and orientation, the
  // zenith angle its deflection and the refraction K·D/R (R = 6370000 m).
  void AddObservation(ObservationType type, int from, int to, double stdDev, double noise = 0.0) {
    const Sight s = SightBetween(from, to);
    const TrueVertex& t = truth[static_cast<std::size_t>(IndexOf(from))];
    const double phi = model.vertices[static_cast<std::size_t>(IndexOf(from))].latitudeDeg * kPi / 180.0;
    const double a = s.azimuthGon * kPi / 200.0, z = s.zenithGon * kPi / 200.0;
    double value = 0.0;
    switch (type) {
      case ObservationType::Distance:
        value = s.distanceM + noise;
        break;
      case ObservationType::Zenith:
        value = s.zenithGon - refractionTrue * (200.0 / kPi) * s.distanceM / 6370000.0 -
                (t.xiCc * std::cos(a) + t.etaCc * std::sin(a)) / 10000.0 + noise / 10000.0;
        break;
      case ObservationType::Direction: {
        const double corrected =
            s.azimuthGon + (t.xiCc * std::sin(a) / std::tan(z) + t.etaCc * (std::tan(phi) - std::cos(a) / std::tan(z))) / 10000.0;
        value = Wrap400(corrected - orientationTrueGon[static_cast<std::size_t>(IndexOf(from))] + noise / 10000.0);
        break;
      }
    }
    model.classical.push_back({.type = type, .from = static_cast<double>(from), .to = static_cast<std::int16_t>(to),
                               .value = value, .stdDev = stdDev});
  }

  void AddBaseline(int from, int to, double sigmaM, double noiseX = 0.0, double noiseY = 0.0, double noiseZ = 0.0) {
    const TrueVertex& a = truth[static_cast<std::size_t>(IndexOf(from))];
    const TrueVertex& b = truth[static_cast<std::size_t>(IndexOf(to))];
    const double v = sigmaM * sigmaM;
    model.baselines.push_back({.from = static_cast<double>(from), .to = static_cast<std::int16_t>(to),
                               .dxM = b.truth.x - a.truth.x + noiseX, .dyM = b.truth.y - a.truth.y + noiseY,
                               .dzM = b.truth.z - a.truth.z + noiseZ, .cxx = v, .cxy = 0.3 * v, .cxz = -0.2 * v,
                               .cyy = 1.5 * v, .cyz = 0.4 * v, .czz = 2.0 * v});
  }
};

// A network of side x side vertices on a 700 m grid with rolling heights, every fixedEvery-th
// vertex fixed, each vertex observing its neighbours up to `reach` grid steps away (direction,
// zenith angle, distance) and GPS baselines along the rows; with noise from `seed`.
inline Builder GridNetwork(int side = 5, int fixedEvery = 4, int reach = 1, unsigned seed = 3) {
  Builder b;
  int number = 1;
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c, ++number) {
      const double up = 40.0 * std::sin(0.7 * r) + 25.0 * std::cos(1.1 * c) + 3.0 * ((r * 7 + c * 3) % 5);
      b.AddVertex(number, (number - 1) % fixedEvery == 0, 700.0 * c + 37.0 * r, 700.0 * r - 23.0 * c, up);
    }
  }
  b.PlaceVertices(0.03, seed);
  b.refractionTrue = 0.07;
  std::mt19937 rng(seed + 1);
  std::normal_distribution<double> unit(0.0, 1.0);
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      const int from = r * side + c + 1;
      for (int dr = -reach; dr <= reach; ++dr) {
        for (int dc = -reach; dc <= reach; ++dc) {
          const int rr = r + dr, cc = c + dc;
          if ((dr == 0 && dc == 0) || rr < 0 || cc < 0 || rr >= side || cc >= side) continue;
          const int to = rr * side + cc + 1;
          b.AddObservation(ObservationType::Direction, from, to, 10.0, 10.0 * unit(rng));
          b.AddObservation(ObservationType::Zenith, from, to, 20.0, 20.0 * unit(rng));
          if (to > from) b.AddObservation(ObservationType::Distance, from, to, 0.005, 0.005 * unit(rng));
        }
      }
      if (c + 1 < side) b.AddBaseline(from, from + 1, 0.004, 0.004 * unit(rng), 0.004 * unit(rng), 0.004 * unit(rng));
    }
  }
  return b;
}

}  // namespace korvo::testnet

namespace korvo::testing {

// A bare vertex: number, kind, coordinates (m) and the geodetic latitude and single-precision
// longitude (degrees) the loader would have computed.
inline NetworkVertex AuditVertex(int number, const std::string& kind, double xM, double yM, double zM,
                                 double latitudeDeg = 40.4, float longitudeDeg = -3.7f) {
  return {.number = static_cast<std::int16_t>(number), .kind = kind, .xM = xM, .yM = yM, .zM = zM,
          .latitudeDeg = latitudeDeg, .longitudeDeg = longitudeDeg};
}

}  // namespace korvo::testing
