#pragma once
// The editing flow every entry list shares (the vertex list of NuevoI, the classical and GPS
// lists of NuevoII): Introducir appends an entry built from the fields, a click on the list
// loads an entry back into the fields and shows MODIFICAR, which puts the rebuilt entry in
// its place. The lists differ only in their fields, their entry builder and the bytes per
// entry of their section text.

#include <QObject>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "network/entry/entry_widgets.h"

namespace korvo {

class EntryListEditor : public QObject {
 public:
  // The widgets of one list and the section text they edit.
  struct Controls {
    QWidget* window = nullptr;           // parent of the messages
    std::string* sectionText = nullptr;  // the list's section text in the project state
    std::size_t entryStride = 0;         // bytes per entry of the section text
    EntryListView* list = nullptr;
    EntryButtonRow buttons;              // the picture, Introducir and MODIFICAR
    std::vector<const QLineEdit*> numericFields;  // refused when they hold a decimal comma
    std::vector<QLineEdit*> enterFields;  // Enter in them acts as Introducir (the last fields)
    QWidget* nextEntryField = nullptr;    // takes the focus after Introducir
    QString removeName;                   // object name of the list's "Eliminar" button
  };

  // What only the window knows: how its fields make an entry and take one back.
  struct FieldHooks {
    std::function<void()> beforeIntroduce;             // optional, first step of Introducir
    std::function<Result<std::string>()> buildEntry;   // the entry text from the fields
    std::function<void()> clearFields;                 // empties the typed fields
    std::function<bool(std::string_view)> isEntry;     // the entry belongs to this list
    std::function<void(std::string_view)> showEntry;   // decodes an entry into the fields
    // Optional: the message (Windows-1252) that refuses the entry built from the fields, given
    // the index of the entry it replaces (none for Introducir).
    std::function<std::optional<std::string>(std::optional<std::size_t>)> refuse;
  };

  // Wires the buttons, the picture and the list clicks; lives as a child of the window.
  EntryListEditor(Controls controls, FieldHooks hooks);

  // Introducir: focus the button, hide MODIFICAR, refuse a decimal comma, append the entry
  // built from the fields, clear them and show the section text.
  void Introduce();
  // MODIFICAR: refuse a decimal comma, rebuild the entry from the fields, hide MODIFICAR and
  // put the entry in place of the remembered one, clear the fields and show the section text.
  void Modify();
  // A list click: select the entry under the caret, load it into the fields, remember it and
  // show MODIFICAR. A click past the entries or on a foreign text does nothing.
  void LoadEntryAt(std::size_t byteOffset);
  // Eliminar: after a question, removes the selected entry.
  void RemoveSelected();

  void HideModify();
  void ShowSectionText();

  std::optional<std::size_t> SelectedEntry() const { return selectedEntry_; }
  void ForgetSelectedEntry() { selectedEntry_.reset(); }

 private:
  bool RefuseDecimalComma();
  bool Refused(std::optional<std::size_t> replacing);
  void ShowEntryButtons(bool shown);

  Controls controls_;
  FieldHooks hooks_;
  QPushButton* remove_ = nullptr;
  std::optional<std::size_t> selectedEntry_;
};

}  // namespace korvo
