#include "app/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/artwork.h"
#include "app/clickable_frame.h"

namespace korvo {

Bienvenida::Bienvenida(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("Bienvenida"));
  setWindowTitle(QStringLiteral("Korvo"));
  setWindowIcon(AppIcon());

  auto* frame = new ClickableFrame(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(2);
  frame->setStyleSheet(QStringLiteral("#Frame1 { background: #f4f1e8; border: 2px solid #1d3557; }"));

  auto* picture = new PictureWidget(&PaintStartPicture, QSize(560, 300), frame);
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setMinimumSize(560, 300);

  auto* name = new QLabel(QStringLiteral("KORVO"), frame);
  name->setObjectName(QStringLiteral("lblProducto"));
  QFont nameFont = name->font();
  nameFont.setPointSize(26);
  nameFont.setBold(true);
  nameFont.setLetterSpacing(QFont::AbsoluteSpacing, 6);
  name->setFont(nameFont);
  name->setStyleSheet(QStringLiteral("color: #1d3557;"));
  name->setAlignment(Qt::AlignCenter);

  auto* description = new QLabel(kAppDescription, frame);
  description->setObjectName(QStringLiteral("lblDescripcion"));
  description->setWordWrap(true);
  description->setAlignment(Qt::AlignCenter);
  QFont descriptionFont = description->font();
  descriptionFont.setPointSize(12);
  description->setFont(descriptionFont);

  auto* version = new QLabel(kVersionText, frame);
  version->setObjectName(QStringLiteral("lblVersion"));
  auto* date = new QLabel(kDateText, frame);
  date->setObjectName(QStringLiteral("lblFecha"));
  date->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* footer = new QHBoxLayout;
  footer->addWidget(version);
  footer->addStretch();
  footer->addWidget(date);

  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(14, 14, 14, 10);
  frameLayout->setSpacing(8);
  frameLayout->addWidget(picture, 1);
  frameLayout->addWidget(name);
  frameLayout->addWidget(description);
  frameLayout->addLayout(footer);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(frame);
  setFixedSize(sizeHint().expandedTo(QSize(600, 460)));

  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setSingleShot(true);
  timer_->setInterval(kSplashIntervalMs);
  connect(timer_, &QTimer::timeout, this, [this] {
    close();
    emit timeElapsed();
  });
  connect(frame, &ClickableFrame::clicked, this, [this] {
    timer_->stop();
    close();
    emit dismissedByClick();
  });
}

void Bienvenida::Start() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  timer_->start();
}

}  // namespace korvo
