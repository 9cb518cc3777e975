// libFuzzer entry over the project-file readers: the loader's keyword scan and the section
// splitter. Any input must end in a model or a message, never in a crash, a read past the
// end of the text or undefined behaviour. Built and run by scripts/fuzz.sh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "network/load_network.h"
#include "network/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const korvo::Result<korvo::NetworkModel> model = korvo::LoadNetworkFromText(text);
  if (!model.ok() && model.error().empty()) {
    std::abort();
  }

  const korvo::ProjectSections sections = korvo::SplitProjectText(text);
  if (!sections.titlesFound &&
      (!sections.vertexListText.empty() || !sections.classicalListText.empty() || !sections.gpsListText.empty())) {
    std::abort();
  }
  return 0;
}
