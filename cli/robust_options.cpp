#include "cli/robust_options.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "common/numbers.h"

namespace korvo::cli {
namespace {

// A whole argument read as a number with '.' as decimal point; nothing when it is not one.
std::optional<double> WholeNumber(const std::string& text) {
  double value = 0.0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || begin == end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> TakeNumberValue(const std::vector<std::string>& args, std::size_t& i, std::string& error) {
  const std::string& option = args[i];
  if (i + 1 >= args.size()) {
    error = "Falta el valor de la opción " + option + ".";
    i = args.size();
    return std::nullopt;
  }
  const std::string& text = args[i + 1];
  i += 2;
  if (text.find(',') != std::string::npos) {
    error = "Use '.' como separador decimal en la opción " + option + ".";
    return std::nullopt;
  }
  const std::optional<double> value = WholeNumber(text);
  if (!value || !std::isfinite(*value)) {
    error = "El valor de la opción " + option + " no es un número: " + text;
    return std::nullopt;
  }
  return value;
}

bool TakeRobustOption(const std::vector<std::string>& args, std::size_t& i, CalcOptions& options, std::string& error) {
  const std::string& arg = args[i];
  if (arg == "--sin-huber") {
    options.useHuber = false;
  } else if (arg == "--sin-lp") {
    options.useLp = false;
  } else if (arg == "--sin-l1") {
    options.useL1 = false;
  } else if (arg == "--sin-robustos") {
    options.useHuber = options.useLp = options.useL1 = false;
  } else if (arg == "--max-iter-lp" || arg == "--max-iter-l1") {
    const bool lp = arg == "--max-iter-lp";
    const std::string option = arg;  // `arg` refers into args; i moves on below
    const std::optional<double> value = TakeNumberValue(args, i, error);
    if (!value) return true;
    const std::optional<std::int16_t> limit = ToInt16(*value);
    if (!limit) {
      error = "El número de iteraciones de " + option + " debe estar entre -32768 y 32767.";
      return true;
    }
    (lp ? options.maxIterLp : options.maxIterL1) = *limit;
    return true;
  } else {
    return false;
  }
  ++i;
  return true;
}

}  // namespace korvo::cli
