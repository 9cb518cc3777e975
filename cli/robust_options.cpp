#include "cli/robust_options.h"

#include <cstdint>
#include <optional>

#include "common/numbers.h"

namespace korvo::cli {
namespace {

std::optional<std::int16_t> WholeNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::size_t digits = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (digits == text.size()) return std::nullopt;
  for (std::size_t i = digits; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  return ToInt16(ReadNumber(text));
}

}  // namespace

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
    const std::optional<std::int16_t> limit = i + 1 < args.size() ? WholeNumber(args[i + 1]) : std::nullopt;
    if (!limit) {
      error = arg + " necesita un número entero de iteraciones (entre -32768 y 32767)";
      ++i;
      return true;
    }
    (arg == "--max-iter-lp" ? options.maxIterLp : options.maxIterL1) = *limit;
    ++i;
  } else {
    return false;
  }
  ++i;
  return true;
}

}  // namespace korvo::cli
