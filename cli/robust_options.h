#pragma once
// Command-line switches of the robust estimators, shared by the commands that adjust:
//   --sin-huber, --sin-lp, --sin-l1   leave that estimator out (all three run by default)
//   --sin-robustos                    least squares only
//   --max-iter-lp N, --max-iter-l1 N  iteration limits of Lp and L1 (default 10; negative:
//                                     until the scale settles, at most 1000 passes)
// and the reading of an option's numeric value, for these and for the commands' own options.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "network/calc_options.h"

namespace korvo::cli {

// Usage text of the switches.
inline constexpr const char* kRobustOptionsUsage =
    "[--sin-huber] [--sin-lp] [--sin-l1] [--sin-robustos] [--max-iter-lp N] [--max-iter-l1 N]";

// Help lines of the switches (UTF-8), in the layout of the commands' option lists.
inline constexpr const char* kRobustOptionsHelp =
    "  --sin-huber                    no aplica el estimador de Huber\n"
    "  --sin-lp                       no aplica las mínimas normas Lp adaptadas\n"
    "  --sin-l1                       no aplica la mínima norma L1\n"
    "  --sin-robustos                 sólo mínimos cuadrados\n"
    "  --max-iter-l1 N                máximo de iteraciones L1 (por omisión 10)\n"
    "  --max-iter-lp N                máximo de iteraciones Lp (por omisión 10)\n";

// The value after the option at args[i], read whole as a finite number with '.' as decimal
// point; advances i past the option and its value. Sets `error` (UTF-8) and returns nothing
// when the value is missing, has a ',' or is not a number.
std::optional<double> TakeNumberValue(const std::vector<std::string>& args, std::size_t& i, std::string& error);

// Takes the switch at args[i] (and its value) into `options` and advances i past them.
// Returns false when args[i] is not one of them; sets `error` (UTF-8) when it is one but its
// value is missing, not a number, or out of -32768..32767 once rounded (halves to even, as
// the options dialog rounds it).
bool TakeRobustOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options, std::string& error);

}  // namespace korvo::cli
