// Damaged and impossible inputs through every reader of korvo-cli: each row gives the files
// of a folder, the command, the exit status and the message expected on standard error. After
// the run the folder must hold exactly the files it held, byte for byte: no result, no
// temporary, no input replaced. The damages are those found by hand and by fuzzing; the
// messages are written from what the rule says, not copied from a run.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/win1252.h"
#include "support/files.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

std::string Example(const std::string& relative) {
  const Result<std::string> bytes = ReadFileBytes(std::string(KORVO_SOURCE_DIR) + "/examples/" + relative);
  EXPECT_TRUE(bytes.ok()) << relative;
  return bytes.ok() ? *bytes : std::string();
}

// The sample project with each (UTF-8 text → replacement) applied once, in Windows-1252.
std::string Project(const std::vector<std::pair<std::string, std::string>>& edits) {
  std::string text = Example("red_ejemplo.txt");
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(Cp1252(from));
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, Cp1252(from).size(), Cp1252(to));
  }
  return text;
}

struct Row {
  std::string name;
  Files files;
  std::string arguments;  // "$D/" stands for the row's folder
  int exitCode;
  std::string message;    // UTF-8, found in standard error
  std::string shellPrefix = "";
};

fs::path Folder(const std::string& name) {
  std::string plain = name;
  std::replace(plain.begin(), plain.end(), ' ', '_');
  const fs::path folder = korvo::testing::TestTempRoot() / "hardening" / plain;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string Expand(std::string text, const fs::path& folder) {
  for (std::size_t at = text.find("$D/"); at != std::string::npos; at = text.find("$D/", at)) {
    text.replace(at, 3, folder.string() + "/");
  }
  return text;
}

Files FolderFiles(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = korvo::testing::ReadWholeFile(entry.path());
  }
  return files;
}

korvo::testing::CliRun Run(const std::string& shellPrefix, const std::string& arguments) {
  if (shellPrefix.empty()) return korvo::testing::RunKorvoCli(arguments);
  const fs::path err = korvo::testing::TestTempRoot() / "hardening-stderr.txt";
  const std::string command = "sh -c '" + shellPrefix + " exec \"" + KORVO_CLI_PATH + "\" " + arguments + "' 2>\"" +
                              err.string() + "\" >/dev/null";
  const int status = std::system(command.c_str());
  korvo::testing::CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = korvo::testing::ReadWholeFile(err);
  return run;
}

void ExpectRefused(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    const fs::path folder = Folder(row.name);
    for (const auto& [name, bytes] : row.files) ASSERT_TRUE(WriteFileAtomically((folder / name).string(), bytes).ok());
    const korvo::testing::CliRun run = Run(row.shellPrefix, Expand(row.arguments, folder));
    EXPECT_EQ(run.exitCode, row.exitCode) << row.name << ": " << run.err;
    EXPECT_NE(run.err.find(Expand(row.message, folder)), std::string::npos) << row.name << ": " << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << row.name;
    EXPECT_EQ(FolderFiles(folder), row.files) << row.name << ": a file appeared, vanished or changed";
  }
}

const std::string kRun = "calcular $D/red.txt -o $D/red.res";

TEST(DamagedInputs, ProjectFile) {
  const std::string unknown12 =
      "Punto  12 (Incógnita)  X = 4809811.958  Y = -348830.687  Z = 4162136.119  D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string unknown13 =
      "Punto  13 (Incógnita)  X = 4809411.958  Y = -348830.687  Z = 4162536.119  D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string vertex11End = "D.V.NS =   13.7  D.V.EW =   -5.1\r\n";
  const std::string firstSd = "92.94926       Desviación típica:      6";
  const std::vector<Row> rows = {
      {"duplicated fixed vertex", {{"red.txt", Project({{"Punto  11      (Fijo)", "Punto   1      (Fijo)"}})}}, kRun, 1,
       "Línea 18, número: el número de vértice 1 está repetido (ya figura en la línea 8)"},
      {"no fixed vertex",
       {{"red.txt", Project({{"Punto   1      (Fijo)", "Punto   1 (Incógnita)"},
                             {"Punto   2      (Fijo)", "Punto   2 (Incógnita)"},
                             {"Punto  11      (Fijo)", "Punto  11 (Incógnita)"}})}},
       kRun, 1, "La red no tiene ningún vértice fijo (vértices 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)"},
      {"unobserved unknown vertex", {{"red.txt", Project({{vertex11End, vertex11End + unknown12}})}}, kRun, 1,
       "El vértice 12 es incógnita y ninguna observación ni línea base GPS llega a él"},
      {"part without a fixed vertex",
       {{"red.txt", Project({{vertex11End, vertex11End + unknown12 + unknown13},
                             {"Geométrica  de   11    a      5", "Geométrica  de   12    a     13"}})}},
       kRun, 1, "La parte de la red formada por los vértices 12, 13 no está unida a ningún vértice fijo"},
      {"negative standard deviation", {{"red.txt", Project({{firstSd, "92.94926       Desviación típica:     -6"}})}},
       kRun, 1, "Línea 24, desviación típica: la observación nº 1 (Dirección 1-2) tiene desviación típica -6; debe ser"},
      {"weight overflows", {{"red.txt", Project({{firstSd, "92.94926       Desviación típica: 1E-170"}})}}, kRun, 1,
       "tiene desviación típica 1E-170: su peso (1/desviación²) no es un número representable"},
      {"coordinate of 1E300", {{"red.txt", Project({{"X = 4810516.898", "X =       1E300"}})}}, kRun, 1,
       "Línea 8, X, Y, Z: el vértice 1 está a 1E+300 m del centro de la Tierra; debe estar entre 5000 y 8000 km"},
      {"deflection of 1E300", {{"red.txt", Project({{"D.V.EW =   -8.6", "D.V.EW =  1E300"}})}}, kRun, 1,
       "Línea 8, D.V.EW: la desviación de la vertical del vértice 1 es 1E+300 cc; no puede pasar de 1000 cc"},
      {"indefinite GPS covariance", {{"red.txt", Project({{"Matriz v-c:   3.26E-05", "Matriz v-c:  -3.26E-05"}})}},
       kRun, 1, "Línea 96, matriz v-c: la matriz de varianzas-covarianzas de la línea base GPS nº 1 (1-3) no es simétrica"},
      {"UTF-8 with a character Windows-1252 lacks", {{"red.txt", "Fichero de datos \xCF\x83 " + Cp1252ToUtf8(Example("red_ejemplo.txt"))}}, kRun, 1,
       "$D/red.txt está guardado en UTF-8 y contiene caracteres que no existen en Windows-1252"},
      {"missing project", {}, kRun, 1, "No se puede leer el fichero $D/red.txt! No se encuentra el archivo"},
      {"output is the project", {{"red.txt", Example("red_ejemplo.txt")}},
       "calcular $D/red.txt -o $D/./red.txt --sobrescribir", 1, "es también un fichero de entrada; no se sustituye"},
      {"refraction 1e308", {{"red.txt", Example("red_ejemplo.txt")}}, kRun + " --k-fijo 1e308", 2,
       "El coeficiente de refracción K = 1E+308 está fuera del intervalo de -1 a 1"},
      {"centring 1e300", {{"red.txt", Example("red_ejemplo.txt")}}, kRun + " --error-estacionamiento 1e300", 2,
       "El error en estacionamiento (1E+300 m) debe estar entre 0 y 1 m"},
      {"antenna 1e39", {{"red.txt", Example("red_ejemplo.txt")}}, kRun + " --error-altura-antena 1e39", 2,
       "El error en altura de antena (1e39 m) debe estar entre 0 y 1 m"},
      {"negative centring", {{"red.txt", Example("red_ejemplo.txt")}}, kRun + " --error-estacionamiento -0.001", 2,
       "El error en estacionamiento (-.001 m) debe estar entre 0 y 1 m"},
  };
  ExpectRefused(rows);
}

TEST(DamagedInputs, MatrixFiles) {
  const Files abc = {{"A.txt", Example("matrices/A.txt")}, {"k.txt", Example("matrices/k.txt")},
                     {"P.txt", Example("matrices/P.txt")}};
  Files withResults = abc;
  withResults["r.res"] = "resultados anteriores\r\n";
  Files ragged = abc;
  ragged["k.txt"] = "1\r\n2 3\r\n";
  const std::string inputs = "matrices $D/A.txt $D/k.txt $D/P.txt";
  ExpectRefused({
      {"matrices output is A", abc, inputs + " -o $D/A.txt --sobrescribir", 1, "es también un fichero de entrada"},
      {"matrices existing output", withResults, inputs + " -o $D/r.res", 1, "El Fichero ya existe"},
      {"matrices -o alone", abc, inputs + " -o", 2, "Falta el valor de la opción -o."},
      {"matrices ragged k", ragged, inputs + " -o $D/r.res", 1, "Compruebe los formatos.\n\nVector k: $D/k.txt"},
  });
}

TEST(DamagedInputs, CoordinateFiles) {
  const std::string cartesian = "4\r\n4810516.898,-346088.024,4161236.352\r\n";
  const auto input = [](const std::string& text) { return Files{{"c.txt", text}}; };
  const std::string run = "transformar $D/c.txt $D/s.txt";
  std::string manyPoints = cartesian;  // about 3 kB of output, over a 1-block file size limit
  for (int i = 0; i < 12; ++i) manyPoints += cartesian.substr(3);
  ExpectRefused({
      {"latitude 95", input("5\r\n95.0000,-3.3000,100"), run, 1, "Línea 2, columna 1: la latitud 95 no está entre -90 y 90"},
      {"longitude 200", input("3\r\n40.3000,200,100"), run, 1, "Línea 2, columna 2: la longitud 200 no está entre -180 y 180"},
      {"99 minutes", input("5\r\n40.9900,-3.3000,100"), run, 1, "Línea 2, columna 1: el valor 40.99 tiene 60 o más minutos"},
      {"60 seconds", input("5\r\n40.3000,-3.5960,100"), run, 1, "Línea 2, columna 2: el valor -3.596 tiene 60 o más"},
      {"geocentric origin", input("6\r\n0,0,0"), run, 1, "Línea 2, columna 1: el punto está a 0 m del centro de la Tierra"},
      {"UTM easting 1E15", input("1\r\n1E15,4400000,0"), run, 1, "Línea 2, columna 1: la coordenada X UTM 1E+15 no está"},
      {"UTM northing", input("2\r\n400000,-2E7,0"), run, 1, "Línea 2, columna 2: la coordenada Y UTM -20000000 no está"},
      {"X of -1E308", input(cartesian + "-1E308,0,0"), run, 1, "Línea 3, columna 1: el punto está a 1E+308 m"},
      {"output is the input", input(cartesian), "transformar $D/c.txt $D/c.txt --sobrescribir", 1,
       "es también un fichero de entrada"},
      {"existing output", {{"c.txt", cartesian}, {"s.txt", "x"}}, run, 1, "El Fichero ya existe"},
      {"file too large", input(manyPoints), run, 1,
       "El archivo es demasiado grande para el sistema de archivos", "ulimit -f 1; trap \"\" XFSZ;"},
  });
}

TEST(DamagedInputs, WaveReport) {
  const std::string report = Example("informe_wave.txt");
  const auto edited = [&report](const std::string& from, const std::string& to) {
    std::string text = report;
    text.replace(text.find(from), from.size(), to);
    return Files{{"w.txt", text}};
  };
  const std::string lastX = "   Z       3.1000000E-07";
  const std::string run = "wave $D/w.txt";
  ExpectRefused({
      {"wave cut in a covariance block", {{"w.txt", report.substr(0, report.rfind(lastX) + lastX.size())}}, run, 1,
       "El campo Cyz de la línea base 4 ("},
      {"wave component 7 characters longer", edited("-1523.4471  dY", "-1523.44710000000  dY"), run, 1,
       "La etiqueta \"dY =\" de la línea base 1 (1001-1002) no está donde el formato del informe la pone"},
      {"wave letter in a covariance", edited("4.7612345E-06", "4.76123X5E-06"), run, 1,
       "El campo Cxx de la línea base 1 (1001-1002) no es un número"},
  });
}

// Things that used to be refused or misread now read as they should.
TEST(DamagedInputs, Utf8ProjectAndMarkedCoordinateFileAreRead) {
  const fs::path folder = Folder("utf8");
  const std::string sample = Example("red_ejemplo.txt");
  ASSERT_TRUE(WriteFileAtomically((folder / "a" ).string(), sample).ok());
  ASSERT_TRUE(WriteFileAtomically((folder / "b").string(), "\xEF\xBB\xBF" + Cp1252ToUtf8(sample)).ok());
  const std::string f = folder.string() + "/";
  ASSERT_EQ(korvo::testing::RunKorvoCli("calcular " + f + "a -o " + f + "a.res").exitCode, 0);
  ASSERT_EQ(korvo::testing::RunKorvoCli("calcular " + f + "b -o " + f + "b.res").exitCode, 0);
  EXPECT_EQ(korvo::testing::ReadWholeFile(folder / "a.res"), korvo::testing::ReadWholeFile(folder / "b.res"));

  const std::string point = "3\r\n40.2530125,-3.4512,850\r\n";
  ASSERT_TRUE(WriteFileAtomically(f + "c", point).ok());
  ASSERT_TRUE(WriteFileAtomically(f + "d", "\xEF\xBB\xBF" + point).ok());
  ASSERT_EQ(korvo::testing::RunKorvoCli("transformar " + f + "c " + f + "c.out").exitCode, 0);
  ASSERT_EQ(korvo::testing::RunKorvoCli("transformar " + f + "d " + f + "d.out").exitCode, 0);
  EXPECT_EQ(korvo::testing::ReadWholeFile(folder / "c.out"), korvo::testing::ReadWholeFile(folder / "d.out"));
}

}  // namespace
}  // namespace korvo
