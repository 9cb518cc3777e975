#pragma once
// A vertex for the formation audit tests: number, kind, coordinates (m) and the geodetic
// latitude and single-precision longitude (degrees) the loader would have computed.

#include <cstdint>
#include <string>

#include "network/network_model.h"

namespace korvo::testing {

inline NetworkVertex AuditVertex(int number, const std::string& kind, double xM, double yM, double zM,
                                 double latitudeDeg = 40.4, float longitudeDeg = -3.7f) {
  NetworkVertex v;
  v.number = static_cast<std::int16_t>(number);
  v.kind = kind;
  v.xM = xM;
  v.yM = yM;
  v.zM = zM;
  v.latitudeDeg = latitudeDeg;
  v.longitudeDeg = longitudeDeg;
  return v;
}

}  // namespace korvo::testing
