#pragma once
// NuevoII, "Nuevo trabajo - Entrada de datos (II): Observaciones": classical observations and
// GPS baselines, typed one by one or, for baselines, imported from a WAVE report; the second
// option imports the observation system as matrices instead. "GUARDAR Y SALIR" writes the
// project file and hands it to the loader.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "network/project_lines.h"
#include "network/project_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace korvo {

class EntryListEditor;
class EntryListView;
class ProjectChooser;

class NuevoIIWindow : public QWidget {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<void()> goBack;                        // Command1: back to NuevoI
    std::function<void()> openMatrixImport;              // Command2 "Importar"
    std::function<void(const std::string& path)> loadProject;  // after a successful save
    std::function<void()> closedAfterSave;               // the entry windows are done
  };

  explicit NuevoIIWindow(ProjectState& state, QWidget* parent = nullptr);

  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  // What happens on opening: Label20 gets its superscript two, the vertex boxes and the type
  // box get their lists, both modify buttons are hidden and the lists show the section texts.
  void OpenFresh();
  void RefreshLists();
  void ClearClassicalFields();
  void ClearGpsFields();
  void ClearClassicalValues();

  // GUARDAR Y SALIR. Returns true when the file was written and handed to the loader.
  bool SaveAndExit();

  // Imports the baselines of a WAVE report into the GPS list, then clears the GPS fields.
  void ImportWaveFile(const std::string& reportPath);

  // The chooser "frmAbrirwave" opened by the Wave button (created on first use).
  ProjectChooser* WaveChooser();

  std::optional<std::size_t> SelectedClassicalEntry() const;
  std::optional<std::size_t> SelectedGpsEntry() const;

 private:
  void BuildControls();
  QWidget* BuildClassicalTab();
  QWidget* BuildGpsTab();
  void MirrorLowerTriangle();
  Result<std::string> ClassicalLineFromFields() const;
  Result<std::string> GpsBlockFromFields() const;
  void ShowClassicalEntry(std::string_view entry);
  void ShowGpsEntry(std::string_view entry);
  void OpenWaveChooser();

  ProjectState& state_;
  Hooks hooks_;
  QTabWidget* tabs_ = nullptr;

  // Classical observations tab.
  QComboBox* type_ = nullptr;            // Combo1
  QComboBox* station_ = nullptr;         // Combo2
  QComboBox* target_ = nullptr;          // Combo3
  QLineEdit* value_ = nullptr;           // Text1
  QLineEdit* stdDev_ = nullptr;          // Text2
  EntryListView* classicalList_ = nullptr;     // Text6
  EntryListEditor* classicalEditor_ = nullptr;  // with Picture1, Command4, Modificar

  // GPS baselines tab.
  QComboBox* gpsFrom_ = nullptr;  // Combo12
  QComboBox* gpsTo_ = nullptr;    // Combo13
  QLineEdit* dx_ = nullptr;       // Text11
  QLineEdit* dy_ = nullptr;       // Text12
  QLineEdit* dz_ = nullptr;       // Text13
  QLineEdit* cxx_ = nullptr;      // Text31
  QLineEdit* cxy_ = nullptr;      // Text34
  QLineEdit* cxz_ = nullptr;      // Text37
  QLineEdit* cyy_ = nullptr;      // Text35
  QLineEdit* cyz_ = nullptr;      // Text38
  QLineEdit* czz_ = nullptr;      // Text39
  QLineEdit* cyxCopy_ = nullptr;  // Text32 (copy of Text34)
  QLineEdit* czxCopy_ = nullptr;  // Text33 (copy of Text37)
  QLineEdit* czyCopy_ = nullptr;  // Text36 (copy of Text38)
  QLabel* squared_ = nullptr;     // Label20
  QPushButton* introduceGps_ = nullptr;  // Command24
  QPushButton* wave_ = nullptr;          // Wave
  EntryListView* gpsList_ = nullptr;     // Text16
  EntryListEditor* gpsEditor_ = nullptr;      // with Picture2, Command24, Modificar2

  QPushButton* back_ = nullptr;          // Command1
  QPushButton* importMatrices_ = nullptr;  // Command2
  QPushButton* saveAndExit_ = nullptr;   // Command3

  ProjectChooser* waveChooser_ = nullptr;
};

}  // namespace korvo
