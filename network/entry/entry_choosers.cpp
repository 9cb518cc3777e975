#include "network/entry/entry_choosers.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/project_chooser.h"

namespace korvo {
namespace {

const QString kWaveChooserName = QStringLiteral("frmAbrirwave");
const QString kWaveChooserCaption = QStringLiteral(" Abrir fichero de texto de WAVE");
const QString kMatrixChooserName = QStringLiteral("frmAbririmp");
const QString kMatrixChooserCaption = QStringLiteral("Abrir fichero de importación");

// The label of the chooser's name field (the one whose buddy is Text1).
QLabel* NameLabel(ProjectChooser* chooser) {
  const QLineEdit* name = chooser->findChild<QLineEdit*>(QStringLiteral("Text1"));
  for (QLabel* label : chooser->findChildren<QLabel*>()) {
    if (name != nullptr && label->buddy() == name) return label;
  }
  return nullptr;
}

void SetNameLabel(ProjectChooser* chooser, const QString& text) {
  if (QLabel* label = NameLabel(chooser)) label->setText(text);
}

ProjectChooser* NewChooser(QWidget* parent, const QString& name, FolderPurpose purpose,
                           std::function<void(const QString&)> onChosen) {
  auto* chooser = new ProjectChooser(parent, purpose);
  chooser->setObjectName(name);
  chooser->setModal(false);
  QObject::connect(chooser, &ProjectChooser::chosen, chooser,
                   [onChosen = std::move(onChosen)](const QString& path) {
                     if (onChosen) onChosen(path);
                   });
  return chooser;
}

}  // namespace

ProjectChooser* NewWaveReportChooser(QWidget* parent, std::function<void(const QString&)> onChosen) {
  ProjectChooser* chooser = NewChooser(parent, kWaveChooserName, FolderPurpose::kWaveReports, std::move(onChosen));
  auto* explanation = new QLabel(
      QStringLiteral("Importa las líneas base y sus matrices varianza-covarianza del 'Fichero de Texto' con "
                     "'Sumario Detallado' del WAVE de Trimble"),
      chooser);
  explanation->setWordWrap(true);
  if (auto* layout = qobject_cast<QBoxLayout*>(chooser->layout())) layout->insertWidget(0, explanation);
  SetNameLabel(chooser, QStringLiteral("&Nombre del proyecto:"));
  return chooser;
}

ProjectChooser* NewMatrixFileChooser(QWidget* parent, std::function<void(const QString&)> onChosen) {
  return NewChooser(parent, kMatrixChooserName, FolderPurpose::kMatrices, std::move(onChosen));
}

void ShowChooser(ProjectChooser* chooser, const QString& nameLabel) {
  chooser->PrepareForShowing();
  chooser->setWindowTitle(chooser->objectName() == kWaveChooserName ? kWaveChooserCaption : kMatrixChooserCaption);
  if (!nameLabel.isEmpty()) SetNameLabel(chooser, nameLabel);
  chooser->setWindowModality(Qt::NonModal);
  chooser->show();
  chooser->raise();
}

}  // namespace korvo
