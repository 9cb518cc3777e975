#include "matimport/import_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"

namespace korvo {
namespace {

const std::array<QString, 3> kFrameTitles = {
    QStringLiteral("Matriz de coeficientes de las ecuaciones (Matriz A):"),
    QStringLiteral("Vector de términos independientes (Vector k):"),
    QStringLiteral("Matriz de pesos de las observaciones (Matriz P):"),
};

const std::array<QString, 3> kChooserLabels = {
    QStringLiteral("Fichero de la Matriz A:"),
    QStringLiteral("Fichero del Vector k:"),
    QStringLiteral("Fichero de pesos P:"),
};

}  // namespace

ImportWindow::ImportWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmImport"));
  setWindowTitle(QStringLiteral("Importar Matrices"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < 3; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    auto* frame = new QGroupBox(kFrameTitles[slot], this);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(new QLabel(QStringLiteral("Archivo:"), frame));
    fields_[slot] = new QLineEdit(frame);
    fields_[slot]->setObjectName(QStringLiteral("Archivo"));
    fields_[slot]->setProperty("index", i);
    row->addWidget(fields_[slot], 1);
    browse_[slot] = new QPushButton(QStringLiteral("Examinar..."), frame);
    browse_[slot]->setObjectName(QStringLiteral("Examinar"));
    browse_[slot]->setProperty("index", i);
    browse_[slot]->setAutoDefault(false);
    row->addWidget(browse_[slot]);
    layout->addWidget(frame);
    connect(fields_[slot], &QLineEdit::textChanged, this, &ImportWindow::FollowFields);
    // Enter in a field acts as Aceptar when Aceptar is enabled.
    connect(fields_[slot], &QLineEdit::returnPressed, this, [this] {
      if (accept_->isEnabled()) Accept();
    });
    connect(browse_[slot], &QPushButton::clicked, this, [this, i] { Browse(i); });
  }
  layout->addWidget(new QLabel(QStringLiteral("Formato permitido:"), this));
  layout->addWidget(new QLabel(
      QStringLiteral("FICHERO DE TEXTO:      Separador: ';' o ' ' o TAB         Separador decimal: '.' "), this));
  auto* order = new QLabel(
      QStringLiteral("La ordenación esperada del vector de incógnitas es:                                    "
                     "dX1, dY1, dZ1, ..., dXn, dYn, dZn, xy1, eta1, ..., xyn, etan, K, K', K'', ... "),
      this);
  order->setWordWrap(true);
  layout->addWidget(order);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  accept_ = new QPushButton(QStringLiteral("Aceptar"), this);
  accept_->setObjectName(QStringLiteral("btnAceptar"));
  accept_->setAutoDefault(false);
  cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
  cancel_->setObjectName(QStringLiteral("btnCancelar"));
  cancel_->setAutoDefault(false);
  buttons->addWidget(accept_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  resize(640, 420);

  connect(accept_, &QPushButton::clicked, this, &ImportWindow::Accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  OpenFresh();
}

void ImportWindow::OpenFresh() {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    fields_[i]->clear();
    if (!remembered_[i].isEmpty()) fields_[i]->setText(remembered_[i]);
  }
  FollowFields();
}

void ImportWindow::FollowFields() {
  bool allNamed = true;
  for (const QLineEdit* field : fields_) allNamed = allNamed && !field->text().isEmpty();
  accept_->setEnabled(allNamed);
}

ProjectChooser* ImportWindow::Chooser() {
  if (chooser_ == nullptr) {
    chooser_ = NewMatrixFileChooser(this, [this](const QString& path) {
      fields_[static_cast<std::size_t>(browsingIndex_)]->setText(path);
    });
  }
  return chooser_;
}

void ImportWindow::Browse(int index) {
  browsingIndex_ = index;
  ShowChooser(Chooser(), kChooserLabels[static_cast<std::size_t>(index)]);
}

void ImportWindow::Accept() {
  for (std::size_t i = 0; i < fields_.size(); ++i) remembered_[i] = fields_[i]->text();
  const MatrixPaths paths = remembered_;
  hide();
  accept();
  if (importer_) importer_(paths);
}

}  // namespace korvo
