// The screenshot walk, this test in the script's place: each stage's window grabbed, then the walk let go on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/main_window.h"
#include "app/screen_tour.h"
#include "app/sketch_view.h"
#include "gui_support/gui_find.h"
#include "support/files.h"

namespace korvo {
namespace {

using testing::Find;
using testing::FindTopLevel;

// The tour shows no message box: it writes each message as a warning instead.
QStringList* tourMessages = nullptr;
void RecordTourMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (tourMessages != nullptr && text.startsWith(QStringLiteral("Mensaje:"))) *tourMessages << text;
}

TEST(ScreenTour, EveryStageShowsItsWindowAndTheResultsAreSaved) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString project = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt");
  QStringList messages;
  tourMessages = &messages;
  const QtMessageHandler previous = qInstallMessageHandler(RecordTourMessage);
  Principal window;
  window.show();
  SketchView* sketch = Find<SketchView>(&window, "Picture1");
  struct Stage {
    const char* name;
    std::function<QWidget*()> shown;  // the window to picture, when the stage is right
  };
  const std::vector<Stage> stages = {
      {"chooser", [&] { return FindTopLevel<QWidget>("frmAbrir"); }},
      {"sketch", [&]() -> QWidget* { return sketch->HasScene() ? &window : nullptr; }},
      {"results", [&]() -> QWidget* { return QFile::exists(folder.filePath(QStringLiteral("resultados.txt"))) ? &window : nullptr; }},
      {"zoom", [&]() -> QWidget* { return sketch->Viewport().zoom > 1.0 ? &window : nullptr; }},
      {"entry", [&] { return FindTopLevel<QWidget>("NuevoII"); }},
      {"datum", [&] { return FindTopLevel<QWidget>("Main"); }},
      {"options", [&] { return FindTopLevel<QWidget>("frmOpciones"); }},
      {"about", [&] { return FindTopLevel<QWidget>("Acercade"); }},
  };
  {
    ScreenTour tour(folder.path(), project);
    tour.Run(window);
    for (const Stage& stage : stages) {
      SCOPED_TRACE(stage.name);
      const QString base = folder.filePath(QString::fromLatin1(stage.name));
      ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(base + QStringLiteral(".ready")); }, 30000));
      QWidget* shown = stage.shown();
      ASSERT_NE(shown, nullptr);
      EXPECT_TRUE(shown->grab().save(base + QStringLiteral(".png")));
      QFile done(base + QStringLiteral(".done"));
      ASSERT_TRUE(done.open(QIODevice::WriteOnly));
    }
  }
  qInstallMessageHandler(previous);
  tourMessages = nullptr;
  EXPECT_EQ(messages, QStringList());
  const std::string results = testing::ReadWholeFile(folder.filePath(QStringLiteral("resultados.txt")).toStdString());
  EXPECT_TRUE(results.starts_with(testing::ReadWholeFile(project.toStdString())));
  for (QWidget* left : QApplication::topLevelWidgets()) {
    if (left != &window) left->hide();
  }
}

}  // namespace
}  // namespace korvo
