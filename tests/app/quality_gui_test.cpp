// The quality analysis on the main window: the Calidad tab, the summary in the status area,
// the 95 % ellipses with their legend on the sketch, the suspect lines, the save command,
// and the ellipses going when another project is opened.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <nlohmann/json.hpp>

#include "gui_support/gui_find.h"
#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/sketch_view.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;

class QualityWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt"), Path("red_ejemplo.txt")));
    window.resize(1200, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QString Path(const char* name) { return QDir(folder.path()).absoluteFilePath(QString::fromUtf8(name)); }

  void Open() {
    Find<QAction>(&window, "menuabrir")->trigger();
    auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
    ASSERT_NE(chooser, nullptr);
    chooser->SetFolder(folder.path());
    auto* files = Find<QListWidget>(chooser, "File1");
    const auto found = files->findItems(QStringLiteral("red_ejemplo.txt"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);
  }

  const SketchScene& Scene() {
    const auto* sketch = Find<SketchView>(&window, "Picture1");
    EXPECT_TRUE(sketch->Scene().has_value());
    return *sketch->Scene();
  }

  testing::FakeDialogService fake;
  QTemporaryDir folder;
  Principal window;
};

TEST_F(QualityWindowTest, CalcularAddsTheCalidadTabSummaryAndEllipsesAndOpeningRemovesThem) {
  Open();
  auto* tabs = Find<QTabWidget>(&window, "PaneTabs");
  EXPECT_EQ(tabs->count(), 2);  // Texto, Informe
  EXPECT_EQ(tabs->widget(0), Find<QPlainTextEdit>(&window, "Text2"));
  EXPECT_TRUE(Scene().ellipses.empty());
  EXPECT_FALSE(Find<QAction>(&window, "menuguardarcalidad")->isEnabled());

  window.Calcular();  // the results save window is cancelled (no answer queued)
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("Calidad"));
  const QString report = Find<QPlainTextEdit>(&window, "TextCalidad")->toPlainText();
  for (const char* title : {"PRUEBA GLOBAL DEL MODELO", "COORDENADAS COMPENSADAS", "PRECISIÓN DE LOS VÉRTICES",
                            "PRECISIÓN RELATIVA", "PRUEBAS DE LAS OBSERVACIONES", "OBSERVACIONES SOSPECHOSAS"}) {
    EXPECT_TRUE(report.contains(QString::fromUtf8(title))) << title;
  }
  EXPECT_TRUE(Find<QLabel>(&window, "PanelCalidad")->text().startsWith(QStringLiteral("σ0 = 0,")));

  // Eight unknown vertices of the sample: eight ellipses, each centred on its vertex (the
  // mean of a closed polygon's vertices), the largest between a 50th and a 20th of the width.
  const SketchScene& scene = Scene();
  ASSERT_EQ(scene.ellipses.size(), 8u);
  double largest = 0.0;
  for (const auto& polygon : scene.ellipses) {
    QPointF centre;
    for (std::size_t k = 1; k < polygon.size(); ++k) centre += polygon[k] / double(polygon.size() - 1);
    for (const QPointF& point : polygon) largest = std::max(largest, std::hypot(point.x() - centre.x(), point.y() - centre.y()));
  }
  EXPECT_LE(largest, scene.widthTwips / 20.0 * 1.0001);
  EXPECT_GT(largest, scene.widthTwips / 50.0);
  double mantissa = scene.ellipseFactor / std::pow(10.0, std::floor(std::log10(scene.ellipseFactor)));
  EXPECT_TRUE(mantissa == 1.0 || mantissa == 2.0 || mantissa == 5.0) << scene.ellipseFactor;
  ASSERT_FALSE(scene.ellipseTexts.empty());
  EXPECT_EQ(scene.ellipseTexts[0].text, QStringLiteral("Elipses al 95 % ×%1").arg(scene.ellipseFactor));
  EXPECT_EQ(scene.scaleBar.size(), 3u);

  // A flagged first observation is drawn in the suspect colour and width.
  QualityAnalysis flagged;
  RowTest row;
  row.row = 1;
  row.flag = true;
  flagged.rows.push_back(row);
  Result<SketchScene> marked = SketchSceneOf(window.Model(), scene.widthTwips, scene.heightTwips, &flagged);
  ASSERT_TRUE(marked.ok());
  EXPECT_EQ(marked->lines[0].color, kSketchFlagged);
  EXPECT_EQ(marked->lines[0].widthPixels, kSketchFlaggedWidth);
  EXPECT_EQ(marked->lines[1].color, kSketchRed);

  // Guardar análisis de calidad: the file's kind follows the filter's extension.
  auto* save = Find<QAction>(&window, "menuguardarcalidad");
  ASSERT_TRUE(save->isEnabled());
  fake.fileAnswers.push_back(Path("r.json"));
  save->trigger();
  QFile json(Path("r.json"));
  ASSERT_TRUE(json.open(QIODevice::ReadOnly));
  EXPECT_EQ(nlohmann::json::parse(json.readAll().toStdString())["points"].size(), 11u);
  fake.fileAnswers.push_back(Path("p.csv"));
  save->trigger();
  QFile csv(Path("p.csv"));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  EXPECT_TRUE(csv.readLine().startsWith("number,fixed,latitude,longitude,height,zone,"));
  // Existing file: the overwrite question comes first; "no" brings the dialog back (cancelled).
  fake.fileAnswers.push_back(Path("p.csv"));
  fake.yesNoAnswers.push_back(false);
  save->trigger();
  EXPECT_TRUE(fake.yesNoAnswers.empty());

  Open();
  EXPECT_EQ(tabs->count(), 2);
  EXPECT_TRUE(Scene().ellipses.empty());
  EXPECT_TRUE(Find<QLabel>(&window, "PanelCalidad")->text().isEmpty());
  EXPECT_FALSE(save->isEnabled());
}

}  // namespace
}  // namespace korvo
