#pragma once
// The comparison section of the results report: residuals, corrections and scale of least
// squares beside those of each robust estimator that ran (always in the order Huber, Lp, L1),
// then the estimators' closing sentences (kurtosis β2, iteration limits).
//
// Numbers: 3 decimals for residuals and corrections, 6 for the scales and β2; each is
// FormatRounded, cut to 12 characters, right-aligned in 12 and followed by two blanks.
// Corrections, not adjusted values, are compared.

#include <string>

#include "engine/least_squares.h"
#include "engine/observation_system.h"
#include "engine/robust_stage.h"
#include "network/network_model.h"

namespace korvo {

enum class ComparisonVariant {
  Network,   // rows named by observation type and vertices, parameters by vertex
  Imported,  // rows and parameters numbered (a system read from matrix files)
};

// The closing sentences (Windows-1252, without line end).
const std::string& HuberIterationLimitSentence();
const std::string& LpIterationLimitSentence();
const std::string& LpKurtosisSentence();  // followed by FormatRounded(β2, 6)
const std::string& L1IterationLimitSentence();
// "El estimador de Huber no pudo calcularse: " and the reason, for an estimator left out
// (likewise for Lp and L1 with their own names). The reason is the failure's message on one
// line: each of its lines trimmed of blanks and of the "¡" "!" around it, joined by blanks,
// with a "." closing a line that had no punctuation of its own.
std::string LeftOutSentence(RobustMethod method, const std::string& failureMessage);

// RobustComparisonText. Empty when no estimator was selected. An estimator left out has no
// columns, as if it had not been selected, and one closing sentence saying why. `network`
// is read only by the network variant, to name the rows; the parameters are named from the
// system's layout.
std::string BuildComparisonSection(ComparisonVariant variant, const NetworkModel& network,
                                   const ObservationSystem& system, const LeastSquaresResults& ls,
                                   const RobustResults& robust);

}  // namespace korvo
