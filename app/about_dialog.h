#pragma once
// The about box "Acercade": description, version and date. Its Aceptar button or a click on
// its frame closes it.

#include <QDialog>

namespace korvo {

class Acercade : public QDialog {
  Q_OBJECT
 public:
  explicit Acercade(QWidget* parent = nullptr);
};

}  // namespace korvo
