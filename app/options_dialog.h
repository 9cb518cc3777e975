#pragma once
// The calculation options dialog "Opciones de cálculo". It edits a CalcOptions held by the
// main window: the fields are filled from it when the dialog opens, and it is changed only
// when Aceptar finds every field acceptable. Cancelar changes nothing.

#include <QDialog>

#include "network/calc_options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace korvo {

class OptionsDialog : public QDialog {
  Q_OBJECT
 public:
  OptionsDialog(CalcOptions& options, QWidget* parent = nullptr);

  // Fills every control from the stored options (done when the dialog opens).
  void LoadFromOptions();

 private:
  void OnCheck1Clicked();
  void OnCheck2Clicked();
  void OnCheck5Clicked();
  void OnCheck6Clicked();
  void OnAccept();
  void ShowRefractionState(bool estimated);

  CalcOptions& options_;
  QCheckBox* check1_;
  QLabel* labelK_;
  QLineEdit* text1_;
  QRadioButton* option1_;
  QRadioButton* option2_;
  QCheckBox* check2_;
  QLabel* labelCentering_;
  QLineEdit* text2_;
  QLabel* labelAntenna_;
  QLineEdit* text3_;
  QCheckBox* check3_;
  QCheckBox* check4_;
  QCheckBox* check5_;
  QLineEdit* text4_;
  QLabel* label13_;
  QCheckBox* check6_;
  QLineEdit* text5_;
  QLabel* label14_;
  QRadioButton* fullReport_;
  QRadioButton* compactReport_;
};

}  // namespace korvo
