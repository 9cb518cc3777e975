#include "coordtransform/help_window.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvo {
namespace {

// The labels in screen order; the headings are set in bold.
struct HelpLine {
  const char* text;
  bool heading;
};

constexpr HelpLine kHelpLines[] = {
    {"Programa para la transformación de coordenadas entre ED50 y WGS84", true},
    {"Introduzca las coordenadas en cualquiera de los formatos permitidos y pulse TRANSFORMAR para convertir "
     "al resto de formatos.",
     false},
    {"Tenga cuidado de no introducir una línea en blanco al final de alguna columna de coordenadas.", false},
    {"Las coordenadas X, Y, Z, h se darán en metros. La latitud y longitud en formato pseudosexagesimal: "
     "g.mmssffff g: grados sexagesimales; mm: minutos sexag.; ss: segundos sexag.; ffff: fracciones de segundos "
     "sexag.",
     false},
    {"ENTRADA POR FICHERO", true},
    {"Se permite la entrada de datos mediante fichero ASCII que contenga:", false},
    {"- En la primera fila: un identificador del 1 al 6 que indique el formato de los datos de entrada, según:"
     "        1: UTM huso 30,        2: UTM huso 31,        3: Geográficas en ED50,        4: Cartesianas en "
     "ED50,      5: Geográficas en WGS84,       6: Cartesianas en WGS84",
     false},
    {"- En cada una de las siguientes filas: las coordenadas de cada punto SEPARADAS POR COMAS.", false},
    {"SALIDA POR FICHERO", true},
    {"Se permite la salida de los datos a un fichero ASCII, que se puede abrir en el EDITOR, que contiene:", false},
    {"En cada fila las coordenadas de un punto separadas por COMAS en cada uno de los formatos anteriores, que "
     "quedan separados por PUNTO Y COMA.",
     false},
};

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Ayuda"));
  setWindowTitle(QStringLiteral("Zenda - Ayuda"));
  auto* layout = new QVBoxLayout(this);
  int number = 1;
  for (const HelpLine& line : kHelpLines) {
    auto* label = new QLabel(QString::fromUtf8(line.text), this);
    label->setObjectName(QStringLiteral("Label%1").arg(number++));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    if (line.heading) {
      QFont font = label->font();
      font.setBold(true);
      label->setFont(font);
    }
    layout->addWidget(label);
  }
  auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setMinimumWidth(560);
}

}  // namespace korvo
