// Damaged inputs through every reader of korvo-cli: exit status, message, and the folder left byte for byte.
// The rows after "fuzz:" are inputs the fuzzers of fuzz/ once took to a crash, undefined behaviour or a
// result holding infinities, each written from the rule the reader now applies.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "support/file_size_limit.h"
#include "support/files.h"

namespace korvo {
namespace {

using korvo::testing::FolderFiles;
using korvo::testing::InFolder;

const std::string kSample = korvo::testing::ReadWholeFile(korvo::testing::Example("red_ejemplo.txt"));

// The sample project as red.txt, with each (UTF-8 text → replacement) applied once, in Windows-1252.
FolderFiles Project(const std::vector<std::pair<std::string, std::string>>& edits) {
  std::string text = kSample;
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(Cp1252(from));
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, Cp1252(from).size(), Cp1252(to));
  }
  return {{"red.txt", text}};
}

struct Row {
  std::string name;
  FolderFiles files;
  std::string arguments;  // "{D}" stands for the row's folder
  int exitCode;
  std::string message;         // UTF-8, found in standard error; empty for an input that must be read
  rlim_t fileSizeLimit = 0;    // bytes a written file may reach; 0: no limit
};

const std::string kRun = "calcular {D}/red.txt -o {D}/red.res";

// A refused input leaves its folder exactly as it was; an input that must be read (no message) prints no error.
TEST(DamagedInputs, RefusedInputsLeaveTheirFolderAsItWas) {
  const std::string unknown12 =
      "Punto  12 (Incógnita)  X = 4809811.958  Y = -348830.687  Z = 4162136.119  D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string unknown13 =
      "Punto  13 (Incógnita)  X = 4809411.958  Y = -348830.687  Z = 4162536.119  D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string vertex11End = "D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string firstSd = "92.94926       Desviación típica:      6";
  const std::string run = "transformar {D}/c.txt {D}/s.txt";
  const std::string cartesian = "4\r\n4810516.898,-346088.024,4161236.352\r\n";
  const auto input = [](const std::string& text) { return FolderFiles{{"c.txt", text}}; };
  std::string manyPoints = cartesian;  // about 3 kB of output, over a 1-block file size limit
  for (int i = 0; i < 12; ++i) manyPoints += cartesian.substr(3);
  const std::vector<Row> rows = {
      {"duplicated fixed vertex", Project({{"Punto  11      (Fijo)", "Punto   1      (Fijo)"}}), kRun, 1,
       "Línea 18, número: el número de vértice 1 está repetido (ya figura en la línea 8)"},
      {"no fixed vertex",
       Project({{"Punto   1      (Fijo)", "Punto   1 (Incógnita)"}, {"Punto   2      (Fijo)", "Punto   2 (Incógnita)"},
                {"Punto  11      (Fijo)", "Punto  11 (Incógnita)"}}),
       kRun, 1, "La red no tiene ningún vértice fijo (vértices 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)"},
      {"unobserved unknown vertex", Project({{vertex11End, vertex11End + unknown12}}), kRun, 1,
       "El vértice 12 es incógnita y ninguna observación ni línea base GPS llega a él"},
      {"part without a fixed vertex",
       Project({{vertex11End, vertex11End + unknown12 + unknown13},
                {"Geométrica  de   11    a      5", "Geométrica  de   12    a     13"}}),
       kRun, 1, "La parte de la red formada por los vértices 12, 13 no está unida a ningún vértice fijo"},
      {"negative standard deviation", Project({{firstSd, "92.94926       Desviación típica:     -6"}}), kRun, 1,
       "Línea 24, desviación típica: la observación nº 1 (Dirección 1-2) tiene desviación típica -6; debe ser"},
      {"weight overflows", Project({{firstSd, "92.94926       Desviación típica: 1E-170"}}), kRun, 1,
       "tiene desviación típica 1E-170: su peso (1/desviación²) no es un número representable"},
      {"coordinate of 1E300", Project({{"X = 4810516.898", "X =       1E300"}}), kRun, 1,
       "Línea 8, X, Y, Z: el vértice 1 está a 1E+300 m del centro de la Tierra; debe estar entre 5000 y 8000 km"},
      {"deflection of 1E300", Project({{"D.V.EW =   -8.6", "D.V.EW =  1E300"}}), kRun, 1,
       "Línea 8, D.V.EW: la desviación de la vertical del vértice 1 es 1E+300 cc; no puede pasar de 1000 cc"},
      {"indefinite GPS covariance", Project({{"Matriz v-c:   3.26E-05", "Matriz v-c:  -3.26E-05"}}), kRun, 1,
       "Línea 96, matriz v-c: la matriz de varianzas-covarianzas de la línea base GPS nº 1 (1-3) no es simétrica"},
      {"UTF-8 with a character Windows-1252 lacks",
       {{"red.txt", "Fichero de datos \xCF\x83 " + Cp1252ToUtf8(kSample)}}, kRun, 1,
       "{D}/red.txt está guardado en UTF-8 y contiene caracteres que no existen en Windows-1252"},
      {"output is the project", Project({}), "calcular {D}/red.txt -o {D}/./red.txt --sobrescribir", 1,
       "es también un fichero de entrada; no se sustituye"},
      {"refraction 1e308", Project({}), kRun + " --k-fijo 1e308", 2,
       "El coeficiente de refracción K = 1E+308 está fuera del intervalo de -1 a 1"},
      {"antenna 1e39", Project({}), kRun + " --error-altura-antena 1e39", 2,
       "El error en altura de antena (1e39 m) debe estar entre 0 y 1 m"},
      {"negative centring", Project({}), kRun + " --error-estacionamiento -0.001", 2,
       "El error en estacionamiento (-.001 m) debe estar entre 0 y 1 m"},
      // Coordinate files.
      {"longitude 200", input("3\r\n40.3000,200,100"), run, 1, "Línea 2, columna 2: la longitud 200 no está entre -180 y 180"},
      {"99 minutes", input("5\r\n40.9900,-3.3000,100"), run, 1, "Línea 2, columna 1: el valor 40.99 tiene 60 o más minutos"},
      {"60 seconds", input("5\r\n40.3000,-3.5960,100"), run, 1, "Línea 2, columna 2: el valor -3.596 tiene 60 o más"},
      {"geocentric origin", input("6\r\n0,0,0"), run, 1, "Línea 2, columna 1: el punto está a 0 m del centro de la Tierra"},
      {"UTM easting 1E15", input("1\r\n1E15,4400000,0"), run, 1, "Línea 2, columna 1: la coordenada X UTM 1E+15 no está"},
      {"X of -1E308", input(cartesian + "-1E308,0,0"), run, 1, "Línea 3, columna 1: el punto está a 1E+308 m"},
      {"output is the input", input(cartesian), "transformar {D}/c.txt {D}/c.txt --sobrescribir", 1,
       "es también un fichero de entrada"},
      {"file too large", input(manyPoints), run, 1,
       "El archivo es demasiado grande para el sistema de archivos", 512},
      // fuzz: a height is refused beyond ±1,000 km, in the geographic and UTM formats (the geocentric
      // ones have their distance to the Earth's centre).
      {"height 8.99E180", input("3\r\n40.2530125,-3.4512,8.99E180\r\n"), run, 1,
       "Línea 2, columna 3: la altura 8.99E+180 no está entre -1000000 y 1000000 m"},
      {"WGS84 height -1E7 on the third line", input("5\r\n40.2530,-3.4512,850\r\n40.2530,-3.4512,-1E7\r\n"), run, 1,
       "Línea 3, columna 3: la altura -10000000 no está entre -1000000 y 1000000 m"},
      {"UTM height just over", input("1\r\n440000,4460000,1000000.5\r\n"), run, 1,
       "Línea 2, columna 3: la altura 1000000.5 no está entre -1000000 y 1000000 m"},
      {"UTM height 8E304 after a bare CR", input("2\r8,52,8E0\r28,52,8E0304\n941.,40,84"), run, 1,
       "Línea 3, columna 3: la altura 8E+304 no está entre -1000000 y 1000000 m"},
      {"UTM height at the limit", input("2\r\n440000,4460000,-1000000\r\n"), run, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto folder = korvo::testing::FolderWith("hardening", row.files);
    std::optional<korvo::testing::FileSizeLimit> limit;
    if (row.fileSizeLimit != 0) limit.emplace(row.fileSizeLimit);
    const korvo::testing::CliRun cli = korvo::testing::RunKorvoCli(InFolder(row.arguments, folder));
    limit.reset();
    EXPECT_EQ(cli.exitCode, row.exitCode) << cli.err;
    if (row.message.empty()) {
      EXPECT_EQ(cli.err, "");
      continue;
    }
    EXPECT_NE(cli.err.find(InFolder(row.message, folder)), std::string::npos) << cli.err;
    EXPECT_EQ(cli.err.find('\r'), std::string::npos);
    EXPECT_EQ(korvo::testing::FilesIn(folder), row.files) << "a file appeared, vanished or changed";
  }
}

}  // namespace
}  // namespace korvo
