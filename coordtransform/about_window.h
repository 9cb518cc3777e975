#pragma once
// About: the "Acerca de" window of the datum transformation utility; its only button closes it.

#include <QDialog>

namespace korvo {

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace korvo
