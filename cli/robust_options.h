#pragma once
// Command-line switches of the robust estimators, shared by the commands that adjust:
//   --sin-huber, --sin-lp, --sin-l1   leave that estimator out (all three run by default)
//   --sin-robustos                    least squares only
//   --max-iter-lp N, --max-iter-l1 N         iteration limits of Lp and L1 (default 10; negative:
//                                     until the scale settles, at most 1000 passes)

#include <string>
#include <vector>

#include "network/calc_options.h"

namespace korvo::cli {

// Usage text of the switches.
inline constexpr const char* kRobustOptionsUsage = "[--sin-huber] [--sin-lp] [--sin-l1] [--sin-robustos] [--max-iter-lp N] [--max-iter-l1 N]";

// Takes the switch at args[i] (and its value) into `options` and advances i past them.
// Returns false when args[i] is not one of them; sets `error` (UTF-8) when it is one but its
// value is missing or not an integer in -32768..32767.
bool TakeRobustOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options, std::string& error);

}  // namespace korvo::cli
