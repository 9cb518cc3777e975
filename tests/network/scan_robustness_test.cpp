// Bad input never crashes the project-file readers: every prefix of the sample project and
// many damaged copies of it end in a model or in one of the loader's messages, and text
// without its titles splits into empty sections. (scripts/fuzz.sh explores the same property
// with libFuzzer.)
#include <gtest/gtest.h>

#include <random>

#include "network/load_network.h"
#include "network/project_file.h"
#include "support/files.h"

namespace korvo {
namespace {

void ExpectModelOrMessage(std::string_view text, const std::string& what) {
  const Result<NetworkModel> model = LoadNetworkFromText(text);
  if (!model.ok()) {
    const std::string& m = model.error();
    EXPECT_TRUE(m == kLoadReadErrorMessage || m == kLoadKindMismatchMessage || m == kLoadOutOfMemoryMessage) << what;
  }
  const ProjectSections sections = SplitProjectText(text);
  if (!sections.titlesFound) {
    EXPECT_TRUE(sections.vertexListText.empty() && sections.classicalListText.empty() && sections.gpsListText.empty())
        << what;
  }
}

TEST(ScanRobustness, EveryPrefixAndDamagedCopiesOfTheSample) {
  const std::string sample = korvo::testing::ReadWholeFile(korvo::testing::Example("red_ejemplo.txt"));
  ASSERT_FALSE(sample.empty());
  for (std::size_t length = 0; length <= sample.size(); ++length) {
    ExpectModelOrMessage(std::string_view(sample).substr(0, length), "prefijo de " + std::to_string(length));
  }
  std::mt19937 random(20261206);
  const std::string replacements[] = {"Punto", "?", "\n", "\r", std::string(1, '\0'), "9", "-", "E", "(Fijo)", " "};
  for (int round = 0; round < 400; ++round) {
    std::string text = sample;
    for (int e = 1 + static_cast<int>(random() % 4); e > 0; --e) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text.erase(at, 1 + random() % 8); break;
        case 1: text.insert(at, replacements[random() % std::size(replacements)]); break;
        default: text[at] = static_cast<char>(random() % 256); break;
      }
    }
    ExpectModelOrMessage(text, "ronda " + std::to_string(round));
  }
}

}  // namespace
}  // namespace korvo
