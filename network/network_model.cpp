#include "network/network_model.h"

#include <algorithm>

#include "common/win1252.h"

namespace korvo {

const std::string kKindUnknown = Cp1252("Incógnita");
const std::string kKindFixed = Cp1252("Fijo");
const std::string kTypeDirection = Cp1252("Dirección");
const std::string kTypeZenith = Cp1252("Cenital");
const std::string kTypeDistance = Cp1252("Geométrica");

int NetworkModel::UnknownVertexCount() const {
  return static_cast<int>(std::count_if(vertices.begin(), vertices.end(), [](const NetworkVertex& v) { return v.IsUnknown(); }));
}

int NetworkModel::FixedVertexCount() const {
  return static_cast<int>(std::count_if(vertices.begin(), vertices.end(), [](const NetworkVertex& v) { return v.IsFixed(); }));
}

int NetworkModel::CountOf(ObservationType type) const {
  return static_cast<int>(
      std::count_if(classical.begin(), classical.end(), [type](const ClassicalObservation& o) { return o.type == type; }));
}

const std::string& ObservationTypeKeyword(ObservationType type) {
  switch (type) {
    case ObservationType::Direction: return kTypeDirection;
    case ObservationType::Zenith: return kTypeZenith;
    case ObservationType::Distance: return kTypeDistance;
  }
  return kTypeDirection;
}

}  // namespace korvo
