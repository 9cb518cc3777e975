#include "network/entry/nuevo1_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "network/entry_text.h"
#include "network/entry/entry_widgets.h"
#include "network/network_model.h"

namespace korvo {
namespace {

QLineEdit* NewField(const QString& name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  return field;
}

QLabel* NewLabel(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

NuevoIWindow::NuevoIWindow(ProjectState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("NuevoI"));
  setWindowTitle(QStringLiteral("Nuevo trabajo - Entrada de datos (I): Coordenadas"));
  BuildControls();
  OpenFresh();
}

void NuevoIWindow::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  auto* title = NewLabel(QStringLiteral("Introducción de datos de los vértices"), this);
  QFont titleFont = title->font();
  titleFont.setBold(true);
  titleFont.setPointSize(titleFont.pointSize() + 2);
  title->setFont(titleFont);
  layout->addWidget(title);

  auto* vertexBox = new QGroupBox(QStringLiteral("Punto"), this);
  auto* vertexLayout = new QGridLayout(vertexBox);
  number_ = NewVertexNumberBox(QStringLiteral("Combo1"), vertexBox);
  kind_ = new QComboBox(vertexBox);
  kind_->setObjectName(QStringLiteral("Combo2"));
  vertexLayout->addWidget(NewLabel(QStringLiteral("Vértice número"), vertexBox), 0, 0);
  vertexLayout->addWidget(number_, 0, 1);
  vertexLayout->addWidget(NewLabel(QStringLiteral("Incógnitas del sistema"), vertexBox), 0, 2);
  vertexLayout->addWidget(kind_, 0, 3);
  layout->addWidget(vertexBox);

  auto* coordinatesBox = new QGroupBox(QStringLiteral("Coordenadas cartesianas en el sistema WGS84 (G873)"), this);
  auto* coordinatesLayout = new QGridLayout(coordinatesBox);
  x_ = NewField(QStringLiteral("Text1"), coordinatesBox);
  y_ = NewField(QStringLiteral("Text2"), coordinatesBox);
  z_ = NewField(QStringLiteral("Text3"), coordinatesBox);
  coordinatesLayout->addWidget(NewLabel(QStringLiteral("X (m)"), coordinatesBox), 0, 0);
  coordinatesLayout->addWidget(x_, 0, 1);
  coordinatesLayout->addWidget(NewLabel(QStringLiteral("Y (m)"), coordinatesBox), 0, 2);
  coordinatesLayout->addWidget(y_, 0, 3);
  coordinatesLayout->addWidget(NewLabel(QStringLiteral("Z (m)"), coordinatesBox), 0, 4);
  coordinatesLayout->addWidget(z_, 0, 5);
  layout->addWidget(coordinatesBox);

  auto* deflectionBox = new QGroupBox(QStringLiteral("Componentes de la desviación de la vertical (dmgr)"), this);
  auto* deflectionLayout = new QGridLayout(deflectionBox);
  deflectionUnknown_ = new QCheckBox(QStringLiteral("Desconocidas: incógnitas del ajuste"), deflectionBox);
  deflectionUnknown_->setObjectName(QStringLiteral("Check1"));
  deflectionNs_ = NewField(QStringLiteral("Text4"), deflectionBox);
  deflectionEw_ = NewField(QStringLiteral("Text5"), deflectionBox);
  deflectionLayout->addWidget(deflectionUnknown_, 0, 0, 1, 4);
  deflectionLayout->addWidget(NewLabel(QStringLiteral("D.V.NS"), deflectionBox), 1, 0);
  deflectionLayout->addWidget(deflectionNs_, 1, 1);
  deflectionLayout->addWidget(NewLabel(QStringLiteral("D.V.EW"), deflectionBox), 1, 2);
  deflectionLayout->addWidget(deflectionEw_, 1, 3);
  layout->addWidget(deflectionBox);

  auto* buttons = new QHBoxLayout();
  auto* picture = new ClickablePicture(QStringLiteral("Picture1"), this);
  introduce_ = new QPushButton(QStringLiteral("Introducir"), this);
  introduce_->setObjectName(QStringLiteral("Command1"));
  modify_ = new QPushButton(QStringLiteral("MODIFICAR"), this);
  modify_->setObjectName(QStringLiteral("Modificar"));
  next_ = new QPushButton(QStringLiteral("Siguiente >>"), this);
  next_->setObjectName(QStringLiteral("Command2"));
  next_->setToolTip(QStringLiteral("Introducción de observaciones"));
  buttons->addWidget(picture);
  buttons->addWidget(introduce_);
  buttons->addWidget(modify_);
  buttons->addStretch();
  buttons->addWidget(next_);
  layout->addLayout(buttons);

  list_ = new EntryListView(QStringLiteral("Text6"), this);
  layout->addWidget(list_, 1);
  resize(900, 560);

  connect(introduce_, &QPushButton::clicked, this, &NuevoIWindow::Introduce);
  connect(picture, &ClickablePicture::clicked, this, &NuevoIWindow::Introduce);
  connect(modify_, &QPushButton::clicked, this, &NuevoIWindow::Modify);
  connect(next_, &QPushButton::clicked, this, [this] {
    if (goNext_) goNext_();
  });
  connect(deflectionUnknown_, &QCheckBox::toggled, this, &NuevoIWindow::FollowDeflectionCheck);
  connect(list_, &EntryListView::clickedAtByte, this, &NuevoIWindow::OnListClicked);
}

void NuevoIWindow::OpenFresh() {
  state_.matricesImported = false;
  kind_->clear();
  kind_->addItem(FromCp1252(kKindUnknown));
  kind_->addItem(FromCp1252(kKindFixed));
  kind_->setCurrentIndex(0);
  HideModify();
  selectedEntry_.reset();
  FollowDeflectionCheck();
  RefreshList();
}

void NuevoIWindow::ClearFields() {
  number_->setCurrentIndex(-1);
  number_->clearEditText();
  for (QLineEdit* field : {x_, y_, z_, deflectionNs_, deflectionEw_}) field->clear();
}

void NuevoIWindow::RefreshList() { list_->ShowSection(state_.vertexListText); }

void NuevoIWindow::FollowDeflectionCheck() {
  const bool unknown = deflectionUnknown_->isChecked();
  for (QLineEdit* field : {deflectionNs_, deflectionEw_}) {
    field->setVisible(!unknown);
    field->setEnabled(!unknown);
  }
}

void NuevoIWindow::HideModify() {
  modify_->setEnabled(false);
  modify_->setVisible(false);
}

bool NuevoIWindow::RefuseDecimalComma() {
  for (const QLineEdit* field : {x_, y_, z_, deflectionNs_, deflectionEw_}) {
    if (ContainsComma(FieldText(field))) {
      ShowDecimalCommaMessage(this);
      return true;
    }
  }
  return false;
}

Result<std::string> NuevoIWindow::LineFromFields() const {
  VertexLineFields fields;
  fields.number = FieldText(number_);
  fields.kind = FieldText(kind_);
  fields.x = FieldText(x_);
  fields.y = FieldText(y_);
  fields.z = FieldText(z_);
  fields.deflectionUnknown = deflectionUnknown_->isChecked();
  if (!fields.deflectionUnknown) {
    fields.deflectionNs = FieldText(deflectionNs_);
    fields.deflectionEw = FieldText(deflectionEw_);
  }
  return BuildVertexLine(fields);
}

void NuevoIWindow::Introduce() {
  introduce_->setFocus();
  HideModify();
  if (RefuseDecimalComma()) return;
  Result<std::string> line = LineFromFields();
  if (!line) {
    ShowEntryRefusal(this, line.error());
    return;
  }
  state_.vertexListText += *line;
  ClearFields();
  RefreshList();
}

void NuevoIWindow::Modify() {
  if (!selectedEntry_) return;
  if (RefuseDecimalComma()) return;
  Result<std::string> line = LineFromFields();
  if (!line) {
    ShowEntryRefusal(this, line.error());
    return;
  }
  if (!ReplaceEntry(state_.vertexListText, *selectedEntry_, kVertexEntryStride, *line)) {
    ShowEntryRefusal(this, MissingEntryMessage());
    HideModify();
    return;
  }
  HideModify();
  ClearFields();
  RefreshList();
}

void NuevoIWindow::ShowFields(const VertexLineFields& fields) {
  number_->setEditText(FromCp1252(fields.number));
  const int kindIndex = kind_->findText(FromCp1252(fields.kind));
  if (kindIndex >= 0) kind_->setCurrentIndex(kindIndex);
  x_->setText(FromCp1252(fields.x));
  y_->setText(FromCp1252(fields.y));
  z_->setText(FromCp1252(fields.z));
  // A vertex with known deflection clears the check box, so that MODIFICAR writes back the
  // values shown instead of turning them into unknowns.
  deflectionUnknown_->setChecked(fields.deflectionUnknown);
  deflectionNs_->setText(FromCp1252(fields.deflectionNs));
  deflectionEw_->setText(FromCp1252(fields.deflectionEw));
}

void NuevoIWindow::OnListClicked(std::size_t byteOffset) {
  const std::optional<ListEntry> entry = EntryAtOffset(list_->Section(), byteOffset, kVertexEntryStride);
  if (!entry || !IsVertexEntry(entry->text)) return;
  list_->SelectBytes(entry->index * kVertexEntryStride, kVertexEntryStride);
  ShowFields(DecodeVertexEntry(entry->text));
  selectedEntry_ = entry->index;
  modify_->setEnabled(true);
  modify_->setVisible(true);
}

}  // namespace korvo
