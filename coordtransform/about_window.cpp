#include "coordtransform/about_window.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvo {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("About"));
  setWindowTitle(QStringLiteral("Acerca de"));
  auto* layout = new QVBoxLayout(this);

  auto* title = new QLabel(QStringLiteral("TRANSFORMACIÓN DE DATUM"), this);
  title->setObjectName(QStringLiteral("lblTitulo"));
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title, 0, Qt::AlignHCenter);

  auto* description = new QLabel(
      QStringLiteral("Transformación de coordenadas entre ED50 y WGS84: UTM husos 30 y 31, coordenadas "
                     "geodésicas y cartesianas geocéntricas."),
      this);
  description->setObjectName(QStringLiteral("lblDescripcion"));
  description->setWordWrap(true);
  layout->addWidget(description);

  auto* program = new QLabel(QStringLiteral("Korvo"), this);
  program->setObjectName(QStringLiteral("lblPrograma"));
  layout->addWidget(program, 0, Qt::AlignHCenter);

  auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setMinimumWidth(360);
}

}  // namespace korvo
