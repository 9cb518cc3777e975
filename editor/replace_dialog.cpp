#include "editor/replace_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_service.h"

namespace korvo {
namespace {

QLineEdit* OneCharacterField(const QString& name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setMaxLength(1);
  return field;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ReplaceDialog::ReplaceDialog(QPlainTextEdit* target, QWidget* parent)
    : QDialog(parent),
      target_(target),
      fromField_(OneCharacterField(QStringLiteral("Text1"), this)),
      toField_(OneCharacterField(QStringLiteral("Text2"), this)) {
  setObjectName(QStringLiteral("frmReemplazar"));
  setWindowTitle(QStringLiteral("Reemplazar caracteres"));
  setModal(true);

  auto* fields = new QFormLayout;
  fields->addRow(new QLabel(QStringLiteral("Reemplazar caracter:"), this), fromField_);
  fields->addRow(new QLabel(QStringLiteral("Por caracter:"), this), toField_);

  QPushButton* accept = Button(QStringLiteral("btnAccept"), QStringLiteral("Aceptar"), this);
  QPushButton* cancel = Button(QStringLiteral("btnCancel"), QStringLiteral("Cancelar"), this);
  accept->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(accept, &QPushButton::clicked, this, &ReplaceDialog::AcceptReplacement);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ReplaceDialog::AcceptReplacement() {
  const QString from = fromField_->text();
  const QString to = toField_->text();
  if (from.isEmpty() || to.isEmpty()) {
    Dialogs().ShowMessage(this, QStringLiteral("¡Las dos celdas han de contener un caracter!"), {},
                          MessageIcon::None);
    return;
  }
  // Replacing a character by itself changes nothing: the text (and the cursor) stay as they are.
  if (from != to) {
    QString text = target_->toPlainText();
    text.replace(from, to);
    target_->setPlainText(text);
  }
  accept();
}

}  // namespace korvo
