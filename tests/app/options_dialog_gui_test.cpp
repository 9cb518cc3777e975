// The calculation options dialog, driven through its controls: one table of rules and refusals.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <memory>

#include "app/options_dialog.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"

namespace korvo {
namespace {

using testing::Find;

// Steps: "open" (re)opens the dialog on the stored options, "Name=text" types into a field,
// any other name clicks that control. Checks after the steps: "+Name" shown, "-Name" hidden,
// "*Name" ticked, "!Name" not ticked, "~Name" disabled, "Name=text" the field's text.
struct Rule {
  const char* what;
  std::function<void(CalcOptions&)> before;
  std::vector<const char*> steps;
  std::vector<const char*> checks;
  std::function<bool(const CalcOptions&)> stored;  // what Aceptar (or Cancelar) left behind
  QString dialogLog;                               // the messages shown
  bool stillOpen = false;
};

const QString kRefused = QStringLiteral("message | exclamation | Opciones de cálculo | ");
const QString kComma = QStringLiteral("message | critical | Signo decimal incorrecto | Use '.' como separador decimal\n");
QString Beyond16Bits(const char* method) {
  return kRefused + QStringLiteral("El número máximo de iteraciones %1 debe ser un número entero entre -32768 y 32767.\n")
                        .arg(QString::fromLatin1(method));
}

bool Defaults(const CalcOptions& o) {
  const CalcOptions d;
  return o.fixedRefraction == d.fixedRefraction && o.refractionK == d.refractionK &&
         o.singleRefractionUnknown == d.singleRefractionUnknown && o.applyGpsStationErrors == d.applyGpsStationErrors &&
         o.centeringStdDevM == d.centeringStdDevM && o.antennaHeightStdDevM == d.antennaHeightStdDevM && o.useHuber &&
         o.useLp && o.useL1 && o.maxIterL1 == 10 && o.maxIterLp == 10;
}

TEST(OptionsDialog, Rules) {
  const std::vector<Rule> rules = {
      {"opens with the defaults; Cancelar stores nothing", {}, {"Check1", "Text1=0.2", "Check6", "Cancelar"},
       {"!Check1", "+Text1"}, Defaults, {}, false},
      {"defaults shown", {}, {},
       {"Text1=0.08", "Text2=0.005", "Text3=0.01", "Text4=10", "Text5=10", "*Check1", "-Text1", "*Option1", "!Check2",
        "+Text2", "+Text3", "*Check3", "*Check4", "*Check5", "*Check6", "+Text4", "+Label13", "+Text5", "+Label14"},
       Defaults, {}, true},
      {"hidden K is kept while estimated", {}, {"Text1=0.5", "Option2", "Aceptar"}, {},
       [](const CalcOptions& o) { return !o.fixedRefraction && o.singleRefractionUnknown && o.refractionK == 0.08; }, {}, false},
      {"clearing Check1 fixes the coefficient", {}, {"Check1", "Text1=0.13", "Aceptar"}, {"~Option1", "~Option2"},
       [](const CalcOptions& o) { return o.fixedRefraction && o.refractionK == 0.13 && !o.singleRefractionUnknown; }, {}, false},
      {"reticking Check1 restores the stored choice", {}, {"Option2", "Check1", "Check1"},
       {"*Option1", "!Option2", "-Text1"}, Defaults, {}, true},
      {"No considerar keeps (and does not check) the station errors, shows them again", {},
       {"Check2", "Text2=2", "Text3=0.7", "Aceptar", "open", "Check2"}, {"+Text2", "+Text3", "Text2=0.005", "Text3=0.01"},
       [](const CalcOptions& o) {
         return !o.applyGpsStationErrors && o.centeringStdDevM == 0.005 && o.antennaHeightStdDevM == 0.01f;
       },
       {}, true},
      {"station errors hidden while not considered", {}, {"Check2"}, {"-Text2", "-Text3"}, Defaults, {}, true},
      {"least squares cannot be switched off", {}, {"Check3", "Aceptar"}, {"*Check3"},
       [](const CalcOptions& o) { return o.useLeastSquares; }, {}, false},
      {"a cleared method keeps its limit", [](CalcOptions& o) { o.maxIterL1 = 25; },
       {"Check5", "Text4=3", "Check4", "Aceptar"}, {"-Text4", "-Label13"},
       [](const CalcOptions& o) { return !o.useL1 && !o.useHuber && o.maxIterL1 == 25; }, {}, false},
      {"reticking a method refills its limit", [](CalcOptions& o) { o.useL1 = false, o.maxIterL1 = 25; }, {"Check5"},
       {"+Text4", "Text4=25"}, [](const CalcOptions& o) { return !o.useL1; }, {}, true},
      {"comma in the shown K", {}, {"Check1", "Text1=0,05", "Aceptar"}, {}, Defaults, kComma, true},
      {"comma in the centring error", {}, {"Text2=0,05", "Aceptar"}, {}, Defaults, kComma, true},
      {"comma in an iteration limit reads as 0", {}, {"Text4=0,05", "Aceptar"}, {},
       [](const CalcOptions& o) { return o.maxIterL1 == 0; }, {}, false},
      // Beyond 16 bits a limit is refused naming its method; nothing is stored, not even the
      // valid field.
      {"Lp limit beyond 16 bits", {}, {"Text5=40000", "Text4=12", "Aceptar"}, {}, Defaults, Beyond16Bits("Lp"), true},
      {"L1 limit rounded beyond 16 bits", {}, {"Text4=32767.5", "Aceptar"}, {}, Defaults, Beyond16Bits("L1"), true},
      // The adjustment's own check refuses K, the valid fields and clicks beside it not stored.
      {"K beyond 1", {}, {"Check1", "Check4", "Text1=1.5", "Aceptar"}, {}, Defaults,
       kRefused + QStringLiteral(" ¡El coeficiente de refracción K = 1.5 está fuera del intervalo de -1 a 1! \n"), true},
      {"K of -1 is the bound", {}, {"Check1", "Text1=-1", "Aceptar"}, {},
       [](const CalcOptions& o) { return o.fixedRefraction && o.refractionK == -1; }, {}, false},
      {"the compact report is kept", {}, {"OptionInformeCompacto", "Aceptar", "open"}, {"*OptionInformeCompacto"},
       [](const CalcOptions& o) { return o.reportForm == ReportForm::Compact; }, {}, true},
      {"and the full one again", [](CalcOptions& o) { o.reportForm = ReportForm::Compact; },
       {"OptionInformeCompleto", "Aceptar"}, {},
       [](const CalcOptions& o) { return o.reportForm == ReportForm::Full; }, {}, false},
  };
  for (const Rule& rule : rules) {
    SCOPED_TRACE(rule.what);
    testing::FakeDialogService fake;
    CalcOptions options;
    if (rule.before) rule.before(options);
    std::unique_ptr<OptionsDialog> dialog;
    auto open = [&] {
      dialog = std::make_unique<OptionsDialog>(options);
      dialog->show();
    };
    open();
    for (const std::string step : rule.steps) {
      const std::size_t equals = step.find('=');
      if (step == "open") {
        open();
      } else if (equals != std::string::npos) {
        auto* field = Find<QLineEdit>(dialog.get(), step.substr(0, equals).c_str());
        field->clear();
        QTest::keyClicks(field, QString::fromStdString(step.substr(equals + 1)));
      } else {
        Find<QAbstractButton>(dialog.get(), step.c_str())->click();
      }
    }
    for (const std::string check : rule.checks) {
      SCOPED_TRACE(check);
      const std::size_t equals = check.find('=');
      if (equals != std::string::npos) {
        EXPECT_EQ(Find<QLineEdit>(dialog.get(), check.substr(0, equals).c_str())->text().toStdString(), check.substr(equals + 1));
        continue;
      }
      QWidget* widget = Find<QWidget>(dialog.get(), check.c_str() + 1);
      ASSERT_NE(widget, nullptr);
      auto* button = qobject_cast<QAbstractButton*>(widget);
      switch (check[0]) {
        case '+': EXPECT_FALSE(widget->isHidden()); break;
        case '-': EXPECT_TRUE(widget->isHidden()); break;
        case '*': EXPECT_TRUE(button != nullptr && button->isChecked()); break;
        case '!': EXPECT_TRUE(button != nullptr && !button->isChecked()); break;
        case '~': EXPECT_FALSE(widget->isEnabled()); break;
        default: ADD_FAILURE() << "bad check";
      }
    }
    EXPECT_TRUE(rule.stored(options));
    EXPECT_EQ(fake.Log(), rule.dialogLog);
    EXPECT_EQ(dialog->isVisible(), rule.stillOpen);
  }
}

}  // namespace
}  // namespace korvo
