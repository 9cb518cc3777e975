#include "network/entry/entry_list_editor.h"

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "network/entry_text.h"

namespace korvo {

EntryListEditor::EntryListEditor(Controls controls, FieldHooks hooks)
    : QObject(controls.window), controls_(std::move(controls)), hooks_(std::move(hooks)) {
  connect(controls_.buttons.introduce, &QPushButton::clicked, this, &EntryListEditor::Introduce);
  connect(controls_.buttons.picture, &ClickablePicture::clicked, this, &EntryListEditor::Introduce);
  connect(controls_.buttons.modify, &QPushButton::clicked, this, &EntryListEditor::Modify);
  connect(controls_.list, &EntryListView::clickedAtByte, this, &EntryListEditor::LoadEntryAt);
  for (QLineEdit* field : controls_.enterFields) connect(field, &QLineEdit::returnPressed, this, &EntryListEditor::Introduce);
  remove_ = NewButton(controls_.removeName, QStringLiteral("Eliminar"), controls_.window);
  remove_->setToolTip(QStringLiteral("Elimina de la lista la entrada seleccionada"));
  controls_.buttons.layout->insertWidget(controls_.buttons.layout->indexOf(controls_.buttons.modify) + 1, remove_);
  connect(remove_, &QPushButton::clicked, this, &EntryListEditor::RemoveSelected);
  ShowEntryButtons(false);
}

// MODIFICAR and Eliminar act on the entry clicked in the list.
void EntryListEditor::ShowEntryButtons(bool shown) {
  for (QPushButton* button : {controls_.buttons.modify, remove_}) {
    button->setEnabled(shown);
    button->setVisible(shown);
  }
}

void EntryListEditor::HideModify() { ShowEntryButtons(false); }

bool EntryListEditor::Refused(std::optional<std::size_t> replacing) {
  if (!hooks_.refuse) return false;
  const std::optional<std::string> message = hooks_.refuse(replacing);
  if (!message) return false;
  Dialogs().ShowMessage(controls_.window, FromCp1252(*message), QString(), MessageIcon::Exclamation);
  return true;
}

void EntryListEditor::RemoveSelected() {
  if (!selectedEntry_) return;
  if (!Dialogs().AskYesNo(controls_.window, QStringLiteral(" ¿Desea eliminar de la lista la entrada seleccionada? "),
                          QString(), MessageIcon::Question, false)) {
    return;
  }
  ReplaceEntry(*controls_.sectionText, *selectedEntry_, controls_.entryStride, {});
  selectedEntry_.reset();
  HideModify();
  hooks_.clearFields();
  ShowSectionText();
}

void EntryListEditor::ShowSectionText() { controls_.list->ShowSection(*controls_.sectionText); }

bool EntryListEditor::RefuseDecimalComma() {
  for (const QLineEdit* field : controls_.numericFields) {
    if (ContainsComma(FieldText(field))) {
      ShowDecimalCommaMessage(controls_.window);
      return true;
    }
  }
  return false;
}

void EntryListEditor::Introduce() {
  if (hooks_.beforeIntroduce) hooks_.beforeIntroduce();
  controls_.buttons.introduce->setFocus();
  HideModify();
  if (RefuseDecimalComma()) return;
  Result<std::string> entry = hooks_.buildEntry();
  if (!entry) {
    ShowEntryRefusal(controls_.window, entry.error());
    return;
  }
  if (Refused(std::nullopt)) return;
  *controls_.sectionText += *entry;
  hooks_.clearFields();
  ShowSectionText();
  // The new entry in sight, and the keyboard ready for the next one.
  controls_.list->moveCursor(QTextCursor::End);
  controls_.list->ensureCursorVisible();
  if (controls_.nextEntryField != nullptr) controls_.nextEntryField->setFocus();
}

void EntryListEditor::Modify() {
  if (!selectedEntry_) return;
  if (RefuseDecimalComma()) return;
  Result<std::string> entry = hooks_.buildEntry();
  if (!entry) {
    ShowEntryRefusal(controls_.window, entry.error());
    return;
  }
  if (Refused(selectedEntry_)) return;
  HideModify();
  if (!ReplaceEntry(*controls_.sectionText, *selectedEntry_, controls_.entryStride, *entry)) {
    ShowEntryRefusal(controls_.window, MissingEntryMessage());
    return;
  }
  hooks_.clearFields();
  ShowSectionText();
}

void EntryListEditor::LoadEntryAt(std::size_t byteOffset) {
  const std::size_t stride = controls_.entryStride;
  const std::optional<ListEntry> entry = EntryAtOffset(controls_.list->Section(), byteOffset, stride);
  if (!entry || !hooks_.isEntry(entry->text)) return;
  controls_.list->SelectBytes(entry->index * stride, stride);
  hooks_.showEntry(entry->text);
  selectedEntry_ = entry->index;
  ShowEntryButtons(true);
}

}  // namespace korvo
