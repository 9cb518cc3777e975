// WAVE report import: the example against a hand-written golden file; synthetic reports at the format's distances.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/wave_import.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

using korvo::testing::Built;
constexpr auto* Replaced = &korvo::testing::ReplacedAll;

// One baseline of a synthetic report: texts exactly as they stand in the report.
struct ReportBaseline {
  std::string from, to, dx, dy, dz, cxx, cyx, cyy, czx, czy, czz;
};

void PutAt(std::string& area, std::size_t offset, const std::string& text) { area.replace(offset, text.size(), text); }

std::string MakeReport(const std::vector<ReportBaseline>& baselines, bool withWord = true) {
  std::string report = "WAVE Baseline Processing Report\r\n\r\n";
  for (const ReportBaseline& b : baselines) {
    report += "From Station:  " + b.from + "\r\nTo Station:  " + b.to + "\r\n";
    std::string area(1020, ' ');
    for (std::size_t lineEnd = 94; lineEnd + 2 < area.size(); lineEnd += 96) PutAt(area, lineEnd, "\r\n");
    PutAt(area, 0, "Baseline Components");
    for (const auto& [at, label] : {std::pair{34, "dX ="}, {74, "dY ="}, {97, "dZ ="}, {771, "X"}, {845, "Y"}, {941, "Z"}}) {
      PutAt(area, static_cast<std::size_t>(at), label);
    }
    if (withWord) PutAt(area, 600, "Aposteriori Covariance Matrix:");
    const std::pair<std::size_t, const std::string*> fields[] = {{56, &b.dx},   {78, &b.dy},   {101, &b.dz},
                                                                 {776, &b.cxx}, {850, &b.cyx}, {872, &b.cyy},
                                                                 {946, &b.czx}, {968, &b.czy}, {991, &b.czz}};
    for (const auto& [at, text] : fields) PutAt(area, at, PadLeft(*text, 16));
    report += area + "\r\n";
  }
  return report;
}

ReportBaseline Plain(const std::string& from, const std::string& to) {
  return {from, to, "100.5", "-200.25", "300.125", "1.6E-06", "-4E-07", "2.5E-06", "3E-07", "-1E-07", "4.9E-06"};
}

// The block of Plain(): the lower triangle xx; yx, yy; zx, zy, zz in the upper-triangle slots.
GpsBlockFields PlainFields(const std::string& from, const std::string& to) {
  return {from, to, "100.5", "-200.25", "300.125", "1.6E-06", "-4E-07", "3E-07", "2.5E-06", "-1E-07", "4.9E-06"};
}

// A block already in the list, written under a decimal-comma convention.
std::string CommaBlock() {
  return Built(BuildGpsBlock({"5", "6", "1,25", "2.5", "-3.75", "1E-06", "0", "0", "1E-06", "0", "1E-06"}));
}

TEST(WaveImport, ExampleBlocksFollowTheListAndItsCommasBecomePoints) {
  const std::string path = korvo::testing::Example("informe_wave.txt").string();
  const std::string golden = korvo::testing::Golden("wave_example_blocks.txt");
  std::string gps = CommaBlock();
  const std::string earlier = Replaced(CommaBlock(), "1,25", "1.25");  // imported twice, appended twice
  for (const std::string& expected : {earlier + golden, earlier + golden + golden}) {
    const WaveImportOutcome outcome = ImportWaveReport(path, gps);
    ASSERT_FALSE(outcome.failed) << outcome.failure;
    EXPECT_EQ(outcome.baselinesInReport, 4);
    EXPECT_EQ(outcome.blocksAppended, 4);
    EXPECT_EQ(gps, expected);
  }
}

// A report's fields or texts after one change.
template <class Fields>
Fields With(Fields fields, std::string Fields::*field, const std::string& text) {
  fields.*field = text;
  return fields;
}

// The texts of a report as the block writes them; a damaged report stops at its baseline with its message, keeping
// the blocks before and the list's commas.
TEST(WaveImport, ReportTextsBecomeBlockTextsOrStopWithTheirMessage) {
  const ReportBaseline a = Plain("1", "2");
  const GpsBlockFields b = PlainFields("1", "2");
  const struct {
    const char* what;
    std::string report;
    int inReport, appended;
    const char* failure;  // UTF-8; empty: the import succeeds
    GpsBlockFields block = PlainFields("1", "2");  // of each baseline appended
  } cases[] = {
      // Covariances to 7 decimals and stations rounded, halves to even (exact ties); components as read.
      {"Cxx", MakeReport({With(a, &ReportBaseline::cxx, "2.5E-07")}), 1, 1, "", With(b, &GpsBlockFields::cxx, "2E-07")},
      {"Cyx", MakeReport({With(a, &ReportBaseline::cyx, "3.5E-07")}), 1, 1, "", With(b, &GpsBlockFields::cxy, "4E-07")},
      {"Czx", MakeReport({With(a, &ReportBaseline::czx, "-2.5E-07")}), 1, 1, "",
       With(b, &GpsBlockFields::cxz, "-2E-07")},
      {"Czy", MakeReport({With(a, &ReportBaseline::czy, "4.9E-08")}), 1, 1, "", With(b, &GpsBlockFields::cyz, "0")},
      {"Czz", MakeReport({With(a, &ReportBaseline::czz, "0.00012345678")}), 1, 1, "",
       With(b, &GpsBlockFields::czz, ".0001235")},
      {"DX", MakeReport({With(a, &ReportBaseline::dx, "1234.56789")}), 1, 1, "",
       With(b, &GpsBlockFields::dx, "1234.56789")},
      {"1003SUR", MakeReport({With(a, &ReportBaseline::from, "1003SUR")}), 1, 1, "",
       With(b, &GpsBlockFields::from, "1003")},
      {"7.5", MakeReport({With(a, &ReportBaseline::from, "7.5")}), 1, 1, "", With(b, &GpsBlockFields::from, "8")},
      {"-3", MakeReport({With(a, &ReportBaseline::to, "-3")}), 1, 1, "", With(b, &GpsBlockFields::to, "-3")},
      {"DX de 13 caracteres en la segunda", MakeReport({a, With(Plain("3", "4"), &ReportBaseline::dx, "-12345.678912"), a}),
       3, 1, "Línea base 2: El incremento X de la línea base no puede tener más de 10 caracteres."},
      {"Czz que no cabe en 32 bits", MakeReport({a, With(a, &ReportBaseline::czz, "300")}), 2, 1,
       "Desbordamiento: el elemento Czz de la matriz varianza-covarianza de la línea base 2 es demasiado grande "
       "para redondearlo a 7 decimales."},
      {"DX que desborda", MakeReport({With(a, &ReportBaseline::dx, "1E400")}), 1, 0,
       "El campo DX de la línea base 1 (1-2) no es un número donde el formato del informe lo pone (\"           1E400\"): "
       "el informe está cortado o tiene algún campo desplazado. La importación se detiene en ella."},
      {"estación fuera de 16 bits", MakeReport({Plain("1", "40000")}), 1, 0,
       "Desbordamiento: el número de estación que sigue a \"To Station:\" en la línea base 1 no cabe en un número de "
       "vértice (-32768 a 32767)."},
      {"estación con nombre", MakeReport({a, Plain("BASE1", "2")}), 2, 1,
       "La estación \"BASE1\" que sigue a \"From Station:\" en la línea base 2 no es un número de vértice. La "
       "importación se detiene en ella."},
      {"segunda línea base perdida", MakeReport({a}) + "Aposteriori (second block lost)\r\n", 2, 1,
       "El informe del WAVE no contiene la etiqueta \"From Station:\" de la línea base 2. La importación se detiene "
       "en ella."},
      {"sin \"To Station:\"", Replaced(MakeReport({a}), "To Station:", "To station:"), 1, 0,
       "El informe del WAVE no contiene la etiqueta \"To Station:\" de la línea base 1. La importación se detiene en "
       "ella."},
      {"sin \"Baseline Components\"", Replaced(MakeReport({a}), "Baseline Components", "Baseline components"), 1, 0,
       "El informe del WAVE no contiene la etiqueta \"Baseline Components\" de la línea base 1. La importación se "
       "detiene en ella."},
      {"etiqueta dZ desplazada", Replaced(MakeReport({a}), "dZ = ", " dZ ="), 1, 0,
       "La etiqueta \"dZ =\" de la línea base 1 (1-2) no está donde el formato del informe la pone: el informe está "
       "cortado o tiene algún campo desplazado. La importación se detiene en ella."},
      {"sin la palabra Aposteriori", MakeReport({a}, false), 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string gps = CommaBlock();
    const WaveImportOutcome outcome = ImportWaveReportText(c.report, gps);
    EXPECT_EQ(outcome.baselinesInReport, c.inReport);
    EXPECT_EQ(outcome.blocksAppended, c.appended);
    const bool fails = *c.failure != '\0';
    EXPECT_EQ(outcome.failed, fails);
    EXPECT_EQ(Cp1252ToUtf8(outcome.failure), c.failure);
    std::string expected = fails ? CommaBlock() : Replaced(CommaBlock(), "1,25", "1.25");
    for (int i = 0; i < c.appended; ++i) expected += Built(BuildGpsBlock(c.block));
    EXPECT_EQ(gps, expected);
  }

  std::string gps = "kept";
  const WaveImportOutcome unreadable = ImportWaveReport("/nonexistent/folder/informe.txt", gps);
  EXPECT_TRUE(unreadable.failed);
  EXPECT_EQ(unreadable.failure, "No se puede leer el fichero /nonexistent/folder/informe.txt. " + SystemErrorText(ENOENT));
  EXPECT_EQ(gps, "kept");
}

}  // namespace
}  // namespace korvo
