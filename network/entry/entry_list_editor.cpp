#include "network/entry/entry_list_editor.h"

#include "network/entry_text.h"

namespace korvo {

EntryListEditor::EntryListEditor(Controls controls, FieldHooks hooks)
    : QObject(controls.window), controls_(std::move(controls)), hooks_(std::move(hooks)) {
  connect(controls_.buttons.introduce, &QPushButton::clicked, this, &EntryListEditor::Introduce);
  connect(controls_.buttons.picture, &ClickablePicture::clicked, this, &EntryListEditor::Introduce);
  connect(controls_.buttons.modify, &QPushButton::clicked, this, &EntryListEditor::Modify);
  connect(controls_.list, &EntryListView::clickedAtByte, this, &EntryListEditor::LoadEntryAt);
}

void EntryListEditor::HideModify() {
  controls_.buttons.modify->setEnabled(false);
  controls_.buttons.modify->setVisible(false);
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
  *controls_.sectionText += *entry;
  hooks_.clearFields();
  ShowSectionText();
}

void EntryListEditor::Modify() {
  if (!selectedEntry_) return;
  if (RefuseDecimalComma()) return;
  Result<std::string> entry = hooks_.buildEntry();
  if (!entry) {
    ShowEntryRefusal(controls_.window, entry.error());
    return;
  }
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
  controls_.buttons.modify->setEnabled(true);
  controls_.buttons.modify->setVisible(true);
}

}  // namespace korvo
