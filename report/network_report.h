#pragma once
// The least-squares part of the results report of a network ("RESULTADOS DEL AJUSTE POR
// MÍNIMOS CUADRADOS" to the external reliability vectors), in fixed-width columns.

#include <string>

#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "network/network_model.h"

namespace korvo {

// Builds LsResultsText (Windows-1252, CR LF) from the network (it names the rows), the
// formed system (its layout names the unknowns) and its least-squares solution.
//
// Units: residuals, corrections and their deviations in metres (distances, baseline
// components, coordinates, refraction coefficients) or cc (angles, deflections,
// orientations); adjusted values in metres or gons.
std::string BuildNetworkReport(const NetworkModel& network, const ObservationSystem& system,
                               const LeastSquaresResults& ls);

}  // namespace korvo
