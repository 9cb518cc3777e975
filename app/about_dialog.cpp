#include "app/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/artwork.h"
#include "app/clickable_frame.h"

namespace korvo {

Acercade::Acercade(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Acercade"));
  setWindowTitle(QStringLiteral("Acerca de KORVO"));

  auto* frame = new ClickableFrame(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setFrameShape(QFrame::StyledPanel);

  auto* picture = new PictureWidget(&PaintStartPicture, QSize(380, 200), frame);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setMinimumSize(380, 200);

  auto* name = new QLabel(QStringLiteral("KORVO"), frame);
  QFont nameFont = name->font();
  nameFont.setPointSize(18);
  nameFont.setBold(true);
  name->setFont(nameFont);
  name->setAlignment(Qt::AlignCenter);

  auto* description = new QLabel(kAppDescription, frame);
  description->setObjectName(QStringLiteral("lblDescripcion"));
  description->setWordWrap(true);
  description->setAlignment(Qt::AlignCenter);
  auto* version = new QLabel(kVersionText, frame);
  version->setObjectName(QStringLiteral("lblVersion"));
  version->setAlignment(Qt::AlignCenter);
  auto* date = new QLabel(kDateText, frame);
  date->setObjectName(QStringLiteral("lblFecha"));
  date->setAlignment(Qt::AlignCenter);

  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addWidget(picture, 1);
  frameLayout->addWidget(name);
  frameLayout->addWidget(description);
  frameLayout->addWidget(version);
  frameLayout->addWidget(date);

  auto* accept = new QPushButton(QStringLiteral("Aceptar"), this);
  accept->setObjectName(QStringLiteral("Aceptar"));
  accept->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame, 1);
  layout->addWidget(accept, 0, Qt::AlignRight);

  connect(accept, &QPushButton::clicked, this, &QDialog::accept);
  connect(frame, &ClickableFrame::clicked, this, &QDialog::accept);
}

}  // namespace korvo
