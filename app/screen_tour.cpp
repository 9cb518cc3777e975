#include "app/screen_tour.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "app/dialog_service.h"
#include "app/main_window.h"
#include "app/project_chooser.h"

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
        window.EstablecerOpciones();
        Stage(QStringLiteral("options"), [this, &window] {
          if (auto* options = window.findChild<QDialog*>(QStringLiteral("frmOpciones"))) options->reject();
          window.AcercaDe();
          Stage(QStringLiteral("about"), [] { QCoreApplication::quit(); });
        });
      });
    });
  });
}

}  // namespace korvo
