#pragma once
// Ayuda: the help window of the datum transformation utility. Its labels explain the formats,
// the input file and the output file; its button OK closes it.

#include <QDialog>

namespace korvo {

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
};

}  // namespace korvo
