#include "network/entry/nuevo1_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "common/win1252.h"
#include "network/entry_text.h"
#include "network/entry/entry_list_editor.h"
#include "network/entry/entry_widgets.h"
#include "network/network_model.h"

namespace korvo {

NuevoIWindow::NuevoIWindow(ProjectState& state, QWidget* parent) : QWidget(parent, Qt::Window), state_(state) {
  setObjectName(QStringLiteral("NuevoI"));
  setWindowTitle(QStringLiteral("Nuevo trabajo - Entrada de datos (I): Coordenadas"));
  BuildControls();
  OpenFresh();
}

void NuevoIWindow::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NewHeading(QStringLiteral("Introducción de datos de los vértices"), this));

  auto* vertexBox = new QGroupBox(QStringLiteral("Punto"), this);
  auto* vertexLayout = new QGridLayout(vertexBox);
  number_ = NewVertexNumberBox(QStringLiteral("Combo1"), vertexBox);
  kind_ = new QComboBox(vertexBox);
  kind_->setObjectName(QStringLiteral("Combo2"));
  AddCaptionedBeside(vertexLayout, QStringLiteral("Vértice número"), number_, 0, 0);
  AddCaptionedBeside(vertexLayout, QStringLiteral("Incógnitas del sistema"), kind_, 0, 2);
  layout->addWidget(vertexBox);

  auto* coordinatesBox = new QGroupBox(QStringLiteral("Coordenadas cartesianas en el sistema WGS84 (G873)"), this);
  auto* coordinatesLayout = new QGridLayout(coordinatesBox);
  x_ = NewField(QStringLiteral("Text1"), coordinatesBox);
  y_ = NewField(QStringLiteral("Text2"), coordinatesBox);
  z_ = NewField(QStringLiteral("Text3"), coordinatesBox);
  AddCaptionedBeside(coordinatesLayout, QStringLiteral("X (m)"), x_, 0, 0);
  AddCaptionedBeside(coordinatesLayout, QStringLiteral("Y (m)"), y_, 0, 2);
  AddCaptionedBeside(coordinatesLayout, QStringLiteral("Z (m)"), z_, 0, 4);
  layout->addWidget(coordinatesBox);

  auto* deflectionBox = new QGroupBox(QStringLiteral("Componentes de la desviación de la vertical (dmgr)"), this);
  auto* deflectionLayout = new QGridLayout(deflectionBox);
  deflectionUnknown_ = new QCheckBox(QStringLiteral("Desconocidas: incógnitas del ajuste"), deflectionBox);
  deflectionUnknown_->setObjectName(QStringLiteral("Check1"));
  deflectionNs_ = NewField(QStringLiteral("Text4"), deflectionBox);
  deflectionEw_ = NewField(QStringLiteral("Text5"), deflectionBox);
  deflectionLayout->addWidget(deflectionUnknown_, 0, 0, 1, 4);
  AddCaptionedBeside(deflectionLayout, QStringLiteral("D.V.NS"), deflectionNs_, 1, 0);
  AddCaptionedBeside(deflectionLayout, QStringLiteral("D.V.EW"), deflectionEw_, 1, 2);
  layout->addWidget(deflectionBox);

  EntryButtonRow buttons = NewEntryButtonRow(QStringLiteral("Picture1"), QStringLiteral("Command1"),
                                             QStringLiteral("Modificar"), this);
  next_ = NewButton(QStringLiteral("Command2"), QStringLiteral("Siguiente >>"), this);
  next_->setToolTip(QStringLiteral("Introducción de observaciones"));
  buttons.layout->addWidget(next_);
  layout->addLayout(buttons.layout);

  list_ = new EntryListView(QStringLiteral("Text6"), this);
  layout->addWidget(list_, 1);
  resize(900, 560);

  vertexEditor_ = new EntryListEditor(
      {.window = this, .sectionText = &state_.vertexListText, .entryStride = kVertexEntryStride, .list = list_,
       .buttons = buttons, .numericFields = {x_, y_, z_, deflectionNs_, deflectionEw_},
       .enterFields = {deflectionEw_}, .nextEntryField = number_, .removeName = QStringLiteral("Eliminar")},
      {.beforeIntroduce = nullptr,
       .buildEntry = [this] { return LineFromFields(); },
       .clearFields = [this] { ClearFields(); },
       .isEntry = IsVertexEntry,
       .showEntry = [this](std::string_view entry) { ShowFields(DecodeVertexEntry(entry)); },
       .refuse = [this](std::optional<std::size_t> replacing) { return RefuseRepeatedNumber(replacing); }});
  // Without deflection values Z is the last field of a vertex.
  connect(z_, &QLineEdit::returnPressed, this, [this] {
    if (deflectionUnknown_->isChecked()) vertexEditor_->Introduce();
  });

  connect(next_, &QPushButton::clicked, this, [this] {
    if (goNext_) goNext_();
  });
  connect(deflectionUnknown_, &QCheckBox::toggled, this, &NuevoIWindow::FollowDeflectionCheck);
}

void NuevoIWindow::OpenFresh() {
  state_.matricesImported = false;
  kind_->clear();
  kind_->addItem(FromCp1252(kKindUnknown));
  kind_->addItem(FromCp1252(kKindFixed));
  kind_->setCurrentIndex(0);
  vertexEditor_->HideModify();
  vertexEditor_->ForgetSelectedEntry();
  FollowDeflectionCheck();
  RefreshList();
}

std::optional<std::size_t> NuevoIWindow::SelectedEntry() const { return vertexEditor_->SelectedEntry(); }

void NuevoIWindow::ClearFields() {
  number_->setCurrentIndex(-1);
  number_->clearEditText();
  for (QLineEdit* field : {x_, y_, z_, deflectionNs_, deflectionEw_}) field->clear();
}

void NuevoIWindow::RefreshList() { vertexEditor_->ShowSectionText(); }

void NuevoIWindow::FollowDeflectionCheck() {
  const bool unknown = deflectionUnknown_->isChecked();
  for (QLineEdit* field : {deflectionNs_, deflectionEw_}) {
    field->setVisible(!unknown);
    field->setEnabled(!unknown);
  }
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

// A vertex number may appear once in the list (the entry being modified aside).
std::optional<std::string> NuevoIWindow::RefuseRepeatedNumber(std::optional<std::size_t> replacing) const {
  const std::string typed = ShortFieldText(FieldText(number_));
  const std::string& list = state_.vertexListText;
  for (std::size_t index = 0; (index + 1) * kVertexEntryStride <= list.size(); ++index) {
    if (replacing && *replacing == index) continue;
    const std::string_view entry = std::string_view(list).substr(index * kVertexEntryStride, kVertexEntryStride);
    if (IsVertexEntry(entry) && DecodeVertexEntry(entry).number == typed) {
      return Cp1252(" El vértice número ") + typed + Cp1252(" ya está en la lista. ");
    }
  }
  return std::nullopt;
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

}  // namespace korvo
