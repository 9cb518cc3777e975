#include "app/screen_tour.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include "app/dialog_service.h"
#include "app/main_window.h"
#include "app/project_chooser.h"
#include "app/sketch_view.h"
#include "coordtransform/datum_window.h"

namespace korvo {

// Message boxes are shown as usual but close by themselves; the save dialog answers with a
// file in the tour folder.
class ScreenTour::TourDialogs : public DialogService {
 public:
  explicit TourDialogs(QString folder) : folder_(std::move(folder)) {}
  void ShowMessage(QWidget*, const QString& text, const QString&, MessageIcon) override {
    qWarning("Mensaje: %s", qPrintable(text));
  }
  bool AskYesNo(QWidget*, const QString&, const QString&, MessageIcon, bool) override { return true; }
  int AskYesNoCancel(QWidget*, const QString&, const QString&, MessageIcon) override { return 0; }
  std::optional<QString> GetOpenFileName(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> GetSaveFileName(QWidget*, const FileDialogRequest&) override {
    return QDir(folder_).absoluteFilePath(QStringLiteral("resultados.txt"));
  }
  std::optional<PrintChoice> AskPrint(QWidget*) override { return std::nullopt; }
  void PrintText(const QString&) override {}
  void Beep() override {}

 private:
  QString folder_;
};

ScreenTour::ScreenTour(QString folder, QString projectPath, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), projectPath_(std::move(projectPath)),
      dialogs_(new TourDialogs(folder_)) {
  SetDialogService(dialogs_);
}

ScreenTour::~ScreenTour() {
  SetDialogService(nullptr);
  delete dialogs_;
}

void ScreenTour::Stage(const QString& stage, std::function<void()> next) {
  const QString ready = QDir(folder_).absoluteFilePath(stage + QStringLiteral(".ready"));
  const QString done = QDir(folder_).absoluteFilePath(stage + QStringLiteral(".done"));
  // Give the window time to paint before announcing it.
  QTimer::singleShot(700, this, [this, ready, done, next = std::move(next)] {
    QFile marker(ready);
    if (marker.open(QIODevice::WriteOnly)) marker.close();
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [poll, done, next] {
      if (!QFileInfo::exists(done)) return;
      poll->stop();
      poll->deleteLater();
      if (next) next();
    });
    poll->start(100);
  });
}

// The sketch zoomed about its middle with the pointer's text on an unknown vertex.
void ScreenTour::ShowZoomedSketch(Principal& window) {
  auto* sketch = window.findChild<SketchView*>(QStringLiteral("Picture1"));
  if (sketch == nullptr || !sketch->Scene()) return;
  const QPointF middle(sketch->contentsRect().width() / 2.0, sketch->contentsRect().height() / 2.0);
  QWheelEvent wheel(middle, sketch->mapToGlobal(middle), {}, {0, 360}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(sketch, &wheel);
  for (const SketchScene::Vertex& vertex : sketch->Scene()->vertices) {
    const QPointF at = sketch->Mapping().toCanvas.map(vertex.at);
    if (vertex.fixed || !QRectF(QPointF(0, 0), QSizeF(sketch->contentsRect().size())).contains(at)) continue;
    const QString text = sketch->HoverTextAt(at);
    if (text.isEmpty()) continue;
    QToolTip::showText(sketch->mapToGlobal((at + QPointF(sketch->contentsRect().topLeft())).toPoint()), text, sketch);
    break;
  }
}

// The observations window with a few sights typed.
void ScreenTour::ShowEntryWindow(Principal& window) {
  QToolTip::hideText();
  window.Editar();
  if (auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"))) {
    const QFileInfo project(projectPath_);
    chooser->SetFolder(project.absolutePath());
    if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("Text1"))) name->setText(project.fileName());
    if (auto* accept = chooser->findChild<QPushButton*>(QStringLiteral("btnAceptar"))) accept->click();
  }
}

// The datum window with fifty points transformed from UTM zone 30.
void ScreenTour::ShowDatumWindowWithPoints() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QStringLiteral("NuevoI") || top->objectName() == QStringLiteral("NuevoII")) top->hide();
  }
  DatumWindow& datum = DatumWindowInstance();
  QStringList x, y, h;
  for (int i = 0; i < 50; ++i) {
    x << QString::number(440000.0 + 731.25 * i, 'f', 3);
    y << QString::number(4470000.0 + 517.5 * i, 'f', 3);
    h << QString::number(650.0 + 3.5 * i, 'f', 3);
  }
  datum.CoordBox(0)->setPlainText(x.join(QLatin1Char('\n')));
  datum.CoordBox(1)->setPlainText(y.join(QLatin1Char('\n')));
  datum.CoordBox(2)->setPlainText(h.join(QLatin1Char('\n')));
  datum.Transform(0);
  datum.resize(1260, 760);
  ShowDatumWindow();
}

void ScreenTour::Run(Principal& window) {
  window.Abrir();
  auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
  if (chooser == nullptr) return;
  const QFileInfo project(projectPath_);
  chooser->SetFolder(project.absolutePath());
  auto* files = chooser->findChild<QListWidget*>(QStringLiteral("File1"));
  const auto found = files->findItems(project.fileName(), Qt::MatchExactly);
  if (!found.isEmpty()) files->setCurrentItem(found.first());
  Stage(QStringLiteral("chooser"), [this, &window, chooser] {
    chooser->findChild<QPushButton*>(QStringLiteral("btnAceptar"))->click();
    Stage(QStringLiteral("sketch"), [this, &window] {
      window.Calcular();
      Stage(QStringLiteral("results"), [this, &window] {
        ShowZoomedSketch(window);
        Stage(QStringLiteral("zoom"), [this, &window] {
          ShowEntryWindow(window);
          Stage(QStringLiteral("entry"), [this, &window] {
            ShowDatumWindowWithPoints();
            Stage(QStringLiteral("datum"), [this, &window] {
              DatumWindowInstance().hide();
        window.EstablecerOpciones();
        Stage(QStringLiteral("options"), [this, &window] {
          if (auto* options = window.findChild<QDialog*>(QStringLiteral("frmOpciones"))) options->reject();
          window.AcercaDe();
          Stage(QStringLiteral("about"), [] { QCoreApplication::quit(); });
        });
            });
          });
        });
      });
    });
  });
}

}  // namespace korvo
