// libFuzzer entry over the datum utility's input files: a file is refused with a message or
// every point it holds transforms to 18 finite values and an output text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "coordtransform/coordinate_checks.h"
#include "coordtransform/coordinate_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const korvo::Result<korvo::CoordinateInput> input = korvo::ParseCoordinateInput(bytes);
  if (!input.ok()) {
    if (input.error().empty()) std::abort();
    return 0;
  }
  const auto points = korvo::TransformPoints(input->format, input->points);
  for (const korvo::PointInAllFormats& point : points) {
    if (korvo::CheckTransformed(point)) std::abort();
  }
  (void)korvo::BuildCoordinateOutput(points);
  return 0;
}
