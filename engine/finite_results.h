#pragma once
// The last guard before a report: every number an adjustment hands to the report must be
// finite. A NaN or an infinity means the system was not what the checks before it believed
// (an undetermined unknown that slipped through, an overflow); nothing is written then, and
// the message says where the first one appeared.

#include "common/result.h"
#include "engine/least_squares.h"
#include "engine/robust_stage.h"

namespace korvo {

Status CheckResultsFinite(const LeastSquaresResults& leastSquares, const RobustResults& robust);

}  // namespace korvo
