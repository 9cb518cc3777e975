#include "app/options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>

#include "app/dialog_service.h"
#include "app/qt_text.h"
#include "common/numbers.h"
#include "network/validate_network.h"

namespace korvo {
namespace {

const QString kCommaText = QStringLiteral("Use '.' como separador decimal");
const QString kCommaTitle = QStringLiteral("Signo decimal incorrecto");
const QString kDialogTitle = QStringLiteral("Opciones de cálculo");

// The default text of a number in an entry field: shortest form, '.' as decimal point and a
// zero before it (0.08, 0.005). Single-precision values are shown with the digits a float
// holds, so the antenna-height error reads 0.01 rather than 0.00999999977648258.
QString FieldText(double value) {
  QString text = QString::fromStdString(ShortNumberText(value));
  if (text.startsWith(QLatin1Char('.'))) text.prepend(QLatin1Char('0'));
  if (text.startsWith(QStringLiteral("-."))) text.insert(1, QLatin1Char('0'));
  return text;
}

QString FieldText(float value) { return FieldText(QString::number(value, 'g', 7).toDouble()); }

double ReadField(const QLineEdit* field) { return ReadNumber(ToCp1252(field->text())); }

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

OptionsDialog::OptionsDialog(CalcOptions& options, QWidget* parent) : QDialog(parent), options_(options) {
  setObjectName(QStringLiteral("frmOpciones"));
  setWindowTitle(kDialogTitle);

  // Sistema de ecuaciones de observación
  auto* system = Named(new QGroupBox(QStringLiteral("Sistema de ecuaciones de observación"), this), "Frame1");
  auto* refraction = Named(new QGroupBox(QStringLiteral("Coeficiente de refracción por visual"), system), "Frame2");
  check1_ = Named(new QCheckBox(QStringLiteral("Obtener como incógnita de ajuste:"), refraction), "Check1");
  option1_ = Named(new QRadioButton(QStringLiteral("Un coeficiente por línea"), refraction), "Option1");
  option2_ = Named(new QRadioButton(QStringLiteral("Un coeficiente para toda la red"), refraction), "Option2");
  labelK_ = Named(new QLabel(QStringLiteral("Aplicar valor K ="), refraction), "Label1");
  text1_ = Named(new QLineEdit(refraction), "Text1");
  labelK_->setBuddy(text1_);
  auto* refractionLayout = new QGridLayout(refraction);
  refractionLayout->addWidget(check1_, 0, 0, 1, 2);
  refractionLayout->addWidget(option1_, 1, 0, 1, 2);
  refractionLayout->addWidget(option2_, 2, 0, 1, 2);
  refractionLayout->addWidget(labelK_, 3, 0);
  refractionLayout->addWidget(text1_, 3, 1);
  refractionLayout->setColumnStretch(1, 1);

  auto* gps = Named(new QGroupBox(QStringLiteral("Errores estándar de estacionamiento y medida de altura de antena GPS"),
                                  system),
                    "Frame3");
  check2_ = Named(new QCheckBox(QStringLiteral("No considerar"), gps), "Check2");
  labelCentering_ = Named(new QLabel(QStringLiteral("Error en estacionamiento (m.)"), gps), "Label2");
  text2_ = Named(new QLineEdit(gps), "Text2");
  labelAntenna_ = Named(new QLabel(QStringLiteral("Error en altura de antena (m.)"), gps), "Label3");
  text3_ = Named(new QLineEdit(gps), "Text3");
  labelCentering_->setBuddy(text2_);
  labelAntenna_->setBuddy(text3_);
  auto* gpsLayout = new QGridLayout(gps);
  gpsLayout->addWidget(check2_, 0, 0, 1, 2);
  gpsLayout->addWidget(labelCentering_, 1, 0);
  gpsLayout->addWidget(text2_, 1, 1);
  gpsLayout->addWidget(labelAntenna_, 2, 0);
  gpsLayout->addWidget(text3_, 2, 1);
  gpsLayout->setColumnStretch(1, 1);

  auto* systemLayout = new QVBoxLayout(system);
  systemLayout->addWidget(refraction);
  systemLayout->addWidget(gps);

  // Resolución
  auto* solution = Named(new QGroupBox(QStringLiteral("Resolución"), this), "Frame4");
  check3_ = Named(new QCheckBox(QStringLiteral("Método de los mínimos cuadrados"), solution), "Check3");
  auto* robust = Named(new QGroupBox(QStringLiteral("Métodos de estimación robusta"), solution), "Frame5");
  check4_ = Named(new QCheckBox(QStringLiteral("Estimador de Huber"), robust), "Check4");
  check5_ = Named(new QCheckBox(QStringLiteral("Mínima norma L1"), robust), "Check5");
  label13_ = Named(new QLabel(QStringLiteral(" Máx.iteraciones L1"), robust), "Label13");
  text4_ = Named(new QLineEdit(robust), "Text4");
  check6_ = Named(new QCheckBox(QStringLiteral("Mínimas normas Lp adaptadas"), robust), "Check6");
  label14_ = Named(new QLabel(QStringLiteral(" Máx.iteraciones Lp"), robust), "Label14");
  text5_ = Named(new QLineEdit(robust), "Text5");
  label13_->setBuddy(text4_);
  label14_->setBuddy(text5_);
  for (QLineEdit* count : {text4_, text5_}) count->setMaximumWidth(80);
  auto* robustLayout = new QGridLayout(robust);
  robustLayout->addWidget(check4_, 0, 0, 1, 3);
  robustLayout->addWidget(check6_, 1, 0);
  robustLayout->addWidget(label14_, 1, 1);
  robustLayout->addWidget(text5_, 1, 2);
  robustLayout->addWidget(check5_, 2, 0);
  robustLayout->addWidget(label13_, 2, 1);
  robustLayout->addWidget(text4_, 2, 2);
  robustLayout->setColumnStretch(0, 1);

  auto* solutionLayout = new QVBoxLayout(solution);
  solutionLayout->addWidget(check3_);
  solutionLayout->addWidget(robust);

  // Informe de resultados: the compact form leaves out the n × n matrices of large networks.
  auto* report = Named(new QGroupBox(QStringLiteral("Informe de resultados"), this), "FrameInforme");
  fullReport_ = Named(new QRadioButton(QStringLiteral("Completo"), report), "OptionInformeCompleto");
  compactReport_ = Named(new QRadioButton(QStringLiteral("Compacto (redes grandes)"), report), "OptionInformeCompacto");
  auto* reportLayout = new QHBoxLayout(report);
  reportLayout->addWidget(fullReport_);
  reportLayout->addWidget(compactReport_);
  reportLayout->addStretch();

  auto* accept = Named(new QPushButton(QStringLiteral("Aceptar"), this), "Aceptar");
  auto* cancel = Named(new QPushButton(QStringLiteral("Cancelar"), this), "Cancelar");
  accept->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(accept);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(system);
  layout->addWidget(solution);
  layout->addWidget(report);
  layout->addLayout(buttons);

  // "Aplicar valor K =" keeps its room while hidden, so the dialog keeps one size.
  for (QWidget* kept : {static_cast<QWidget*>(labelK_), static_cast<QWidget*>(text1_)}) {
    QSizePolicy policy = kept->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    kept->setSizePolicy(policy);
  }
  // The keyboard follows the screen: top to bottom, left to right.
  const QList<QWidget*> order = {check1_, option1_, option2_, text1_, check2_, text2_, text3_, check3_,
                                 check4_, check6_, text5_, check5_, text4_, accept, cancel};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);

  connect(check1_, &QCheckBox::clicked, this, &OptionsDialog::OnCheck1Clicked);
  connect(check2_, &QCheckBox::clicked, this, &OptionsDialog::OnCheck2Clicked);
  // Least squares is always computed: its box cannot be cleared.
  connect(check3_, &QCheckBox::clicked, this, [this] { check3_->setChecked(true); });
  connect(check5_, &QCheckBox::clicked, this, &OptionsDialog::OnCheck5Clicked);
  connect(check6_, &QCheckBox::clicked, this, &OptionsDialog::OnCheck6Clicked);
  connect(accept, &QPushButton::clicked, this, &OptionsDialog::OnAccept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  LoadFromOptions();
}

void OptionsDialog::ShowRefractionState(bool estimated) {
  labelK_->setVisible(!estimated);
  text1_->setVisible(!estimated);
  option1_->setEnabled(estimated);
  option2_->setEnabled(estimated);
  if (estimated) {
    // The stored choice, not the last click.
    option2_->setChecked(options_.singleRefractionUnknown);
    option1_->setChecked(!options_.singleRefractionUnknown);
  }
}

void OptionsDialog::LoadFromOptions() {
  text1_->setText(FieldText(options_.refractionK));
  text2_->setText(FieldText(options_.centeringStdDevM));
  text3_->setText(FieldText(options_.antennaHeightStdDevM));

  check1_->setChecked(!options_.fixedRefraction);
  ShowRefractionState(!options_.fixedRefraction);

  check2_->setChecked(!options_.applyGpsStationErrors);
  OnCheck2Clicked();

  check3_->setChecked(options_.useLeastSquares);
  check4_->setChecked(options_.useHuber);

  check5_->setChecked(options_.useL1);
  OnCheck5Clicked();
  check6_->setChecked(options_.useLp);
  OnCheck6Clicked();

  (options_.reportForm == ReportForm::Compact ? compactReport_ : fullReport_)->setChecked(true);
}

void OptionsDialog::OnCheck1Clicked() { ShowRefractionState(check1_->isChecked()); }

void OptionsDialog::OnCheck2Clicked() {
  const bool apply = !check2_->isChecked();
  for (QWidget* widget : {static_cast<QWidget*>(labelCentering_), static_cast<QWidget*>(text2_),
                          static_cast<QWidget*>(labelAntenna_), static_cast<QWidget*>(text3_)}) {
    widget->setVisible(apply);
  }
}

void OptionsDialog::OnCheck5Clicked() {
  const bool on = check5_->isChecked();
  text4_->setVisible(on);
  label13_->setVisible(on);
  if (on) text4_->setText(QString::number(options_.maxIterL1));
}

void OptionsDialog::OnCheck6Clicked() {
  const bool on = check6_->isChecked();
  text5_->setVisible(on);
  label14_->setVisible(on);
  if (on) text5_->setText(QString::number(options_.maxIterLp));
}

void OptionsDialog::OnAccept() {
  // A decimal comma would end the number there ("0,02" read as 0): refused in every field
  // that holds a decimal value.
  if (text1_->text().contains(QLatin1Char(',')) || text2_->text().contains(QLatin1Char(',')) ||
      text3_->text().contains(QLatin1Char(','))) {
    Dialogs().ShowMessage(this, kCommaText, kCommaTitle, MessageIcon::Critical);
    return;
  }

  // The iteration limits are signed 16-bit counts: a value beyond them is refused here rather
  // than stored wrapped round.
  std::optional<std::int16_t> maxIterL1 = options_.maxIterL1;
  std::optional<std::int16_t> maxIterLp = options_.maxIterLp;
  if (check5_->isChecked()) maxIterL1 = ToInt16(ReadField(text4_));
  if (check6_->isChecked()) maxIterLp = ToInt16(ReadField(text5_));
  if (!maxIterL1 || !maxIterLp) {
    const QString which = !maxIterL1 ? QStringLiteral("L1") : QStringLiteral("Lp");
    Dialogs().ShowMessage(this,
                          QStringLiteral("El número máximo de iteraciones %1 debe ser un número entero entre "
                                         "-32768 y 32767.")
                              .arg(which),
                          kDialogTitle, MessageIcon::Exclamation);
    return;
  }

  // The options are stored only when the adjustment would take them: the same check, the
  // same message, before anything changes.
  CalcOptions entered = options_;
  if (check1_->isChecked()) {
    entered.fixedRefraction = false;
    entered.singleRefractionUnknown = option2_->isChecked();
  } else {
    entered.fixedRefraction = true;
    entered.refractionK = ReadField(text1_);
  }

  if (check2_->isChecked()) {
    entered.applyGpsStationErrors = false;
  } else {
    entered.applyGpsStationErrors = true;
    entered.centeringStdDevM = ReadField(text2_);
    entered.antennaHeightStdDevM = static_cast<float>(ReadField(text3_));
  }

  entered.useLeastSquares = true;
  entered.useHuber = check4_->isChecked();
  entered.useL1 = check5_->isChecked();
  entered.maxIterL1 = *maxIterL1;
  entered.useLp = check6_->isChecked();
  entered.maxIterLp = *maxIterLp;
  entered.reportForm = compactReport_->isChecked() ? ReportForm::Compact : ReportForm::Full;
  if (const Status usable = CheckCalcOptions(entered); !usable) {
    Dialogs().ShowMessage(this, FromCp1252(usable.error()), kDialogTitle, MessageIcon::Exclamation);
    return;
  }
  options_ = entered;
  accept();
}

}  // namespace korvo
