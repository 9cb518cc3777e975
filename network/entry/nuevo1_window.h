#pragma once
// NuevoI, "Nuevo trabajo - Entrada de datos (I): Coordenadas": the vertices of a network,
// typed one by one. Each vertex becomes at once a fixed-column line of the vertex section
// text, which the list Text6 shows.

#include <QWidget>
#include <functional>
#include <optional>

#include "common/result.h"
#include "network/project_lines.h"
#include "network/project_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvo {

class EntryListEditor;
class EntryListView;

class NuevoIWindow : public QWidget {
  Q_OBJECT
 public:
  explicit NuevoIWindow(ProjectState& state, QWidget* parent = nullptr);

  // What happens on opening the window: MatricesImported := false, the list shows the vertex
  // section text, the lists of the boxes are filled and the modify button is hidden.
  void OpenFresh();
  // Clears the typed fields (number and X to D.V.EW); the kind and the check box stay.
  void ClearFields();
  // Shows the current vertex section text in the list.
  void RefreshList();

  // Command2: go to the observations window.
  void SetGoNext(std::function<void()> goNext) { goNext_ = std::move(goNext); }

  // The remembered entry of the last list click (0-based), if any.
  std::optional<std::size_t> SelectedEntry() const;

 private:
  void BuildControls();
  void FollowDeflectionCheck();
  Result<std::string> LineFromFields() const;
  std::optional<std::string> RefuseRepeatedNumber(std::optional<std::size_t> replacing) const;
  void ShowFields(const VertexLineFields& fields);

  ProjectState& state_;
  QComboBox* number_ = nullptr;  // Combo1
  QComboBox* kind_ = nullptr;    // Combo2
  QLineEdit* x_ = nullptr;       // Text1
  QLineEdit* y_ = nullptr;       // Text2
  QLineEdit* z_ = nullptr;       // Text3
  QCheckBox* deflectionUnknown_ = nullptr;  // Check1
  QLineEdit* deflectionNs_ = nullptr;       // Text4
  QLineEdit* deflectionEw_ = nullptr;       // Text5
  QPushButton* next_ = nullptr;             // Command2
  EntryListView* list_ = nullptr;           // Text6
  EntryListEditor* vertexEditor_ = nullptr;  // with Picture1, Command1, Modificar
  std::function<void()> goNext_;
};

}  // namespace korvo
