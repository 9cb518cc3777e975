// Korvo desktop application. (The splash and main window replace this placeholder.)
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel placeholder(QStringLiteral("Korvo"));
  placeholder.show();
  return QApplication::exec();
}
