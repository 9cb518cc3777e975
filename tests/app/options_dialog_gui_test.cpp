// The calculation options dialog, driven through its controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/gui_find.h"
#include "app/options_dialog.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;

class OptionsDialogTest : public ::testing::Test {
 protected:
  void Open() {
    dialog = std::make_unique<OptionsDialog>(options);
    dialog->show();
  }
  void Type(const char* field, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(dialog.get(), field);
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  QString Text(const char* field) { return Find<QLineEdit>(dialog.get(), field)->text(); }
  bool Shown(const char* name) { return !Find<QWidget>(dialog.get(), name)->isHidden(); }
  void Click(const char* name) { Find<QAbstractButton>(dialog.get(), name)->click(); }
  bool Ticked(const char* name) { return Find<QAbstractButton>(dialog.get(), name)->isChecked(); }

  testing::FakeDialogService fake;
  CalcOptions options;
  std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, OpensWithTheDefaultsEveryTimeUntilAccepted) {
  for (int opening = 0; opening < 2; ++opening) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Opciones de cálculo"));
    EXPECT_EQ(Text("Text1"), QStringLiteral("0.08"));
    EXPECT_EQ(Text("Text2"), QStringLiteral("0.005"));
    EXPECT_EQ(Text("Text3"), QStringLiteral("0.01"));
    EXPECT_EQ(Text("Text4"), QStringLiteral("10"));
    EXPECT_EQ(Text("Text5"), QStringLiteral("10"));
    // Refraction as unknowns, one coefficient per line: K hidden, both choices enabled.
    EXPECT_TRUE(Ticked("Check1"));
    EXPECT_FALSE(Shown("Text1"));
    EXPECT_TRUE(Ticked("Option1"));
    EXPECT_TRUE(Find<QRadioButton>(dialog.get(), "Option2")->isEnabled());
    // GPS station errors applied: both fields shown.
    EXPECT_FALSE(Ticked("Check2"));
    EXPECT_TRUE(Shown("Text2"));
    EXPECT_TRUE(Shown("Text3"));
    for (const char* method : {"Check3", "Check4", "Check5", "Check6"}) EXPECT_TRUE(Ticked(method)) << method;
    EXPECT_TRUE(Shown("Text4") && Shown("Label13") && Shown("Text5") && Shown("Label14"));
    EXPECT_EQ(Find<QLabel>(dialog.get(), "Label13")->text(), QStringLiteral(" Máx.iteraciones L1"));
    // Change things, then cancel: nothing is stored.
    Click("Check1");
    Type("Text1", QStringLiteral("0.2"));
    Click("Check6");
    Click("Cancelar");
    EXPECT_FALSE(dialog->isVisible());
  }
  EXPECT_FALSE(options.fixedRefraction);
  EXPECT_DOUBLE_EQ(options.refractionK, 0.08);
  EXPECT_TRUE(options.useLp);
}

TEST_F(OptionsDialogTest, FrameAndControlCaptions) {
  Open();
  const std::pair<const char*, const char*> captions[] = {
      {"Check1", "Obtener como incógnita de ajuste:"}, {"Option1", "Un coeficiente por línea"},
      {"Option2", "Un coeficiente para toda la red"},  {"Check2", "No considerar"},
      {"Check3", "Método de los mínimos cuadrados"},   {"Check4", "Estimador de Huber"},
      {"Check5", "Mínima norma L1"},                   {"Check6", "Mínimas normas Lp adaptadas"},
      {"Aceptar", "Aceptar"},                          {"Cancelar", "Cancelar"}};
  for (const auto& [name, caption] : captions) {
    EXPECT_EQ(Find<QAbstractButton>(dialog.get(), name)->text(), QString::fromUtf8(caption)) << name;
  }
  QStringList frames;
  for (const QGroupBox* box : dialog->findChildren<QGroupBox*>()) frames << box->title();
  for (const char* title : {"Sistema de ecuaciones de observación", "Coeficiente de refracción por visual",
                            "Errores estándar de estacionamiento y medida de altura de antena GPS", "Resolución",
                            "Métodos de estimación robusta"}) {
    EXPECT_TRUE(frames.contains(QString::fromUtf8(title))) << title;
  }
  QStringList labels;
  for (const QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"Aplicar valor K =", "Error en estacionamiento (m.)", "Error en altura de antena (m.)",
                           " Máx.iteraciones Lp"}) {
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  }
}

TEST_F(OptionsDialogTest, HiddenRefractionValueIsKeptWhenEstimated) {
  Open();
  Type("Text1", QStringLiteral("0.5"));  // hidden while Check1 is ticked
  Click("Option2");
  Click("Aceptar");
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(options.fixedRefraction);
  EXPECT_TRUE(options.singleRefractionUnknown);
  EXPECT_DOUBLE_EQ(options.refractionK, 0.08);
}

TEST_F(OptionsDialogTest, ClearingCheck1FixesTheCoefficient) {
  Open();
  Click("Check1");
  EXPECT_TRUE(Shown("Text1"));
  EXPECT_FALSE(Find<QRadioButton>(dialog.get(), "Option1")->isEnabled());
  EXPECT_FALSE(Find<QRadioButton>(dialog.get(), "Option2")->isEnabled());
  Type("Text1", QStringLiteral("0.13"));
  Click("Aceptar");
  EXPECT_TRUE(options.fixedRefraction);
  EXPECT_DOUBLE_EQ(options.refractionK, 0.13);
  EXPECT_FALSE(options.singleRefractionUnknown);
}

TEST_F(OptionsDialogTest, RetickingCheck1RestoresTheStoredChoiceNotTheLastClick) {
  options.singleRefractionUnknown = false;
  Open();
  Click("Option2");
  Click("Check1");  // cleared
  Click("Check1");  // ticked again
  EXPECT_TRUE(Ticked("Option1"));
  EXPECT_FALSE(Ticked("Option2"));
  EXPECT_FALSE(Shown("Text1"));
}

TEST_F(OptionsDialogTest, NoConsiderarKeepsTheStationErrorsAndShowsThemAgain) {
  Open();
  Click("Check2");
  EXPECT_FALSE(Shown("Text2"));
  EXPECT_FALSE(Shown("Text3"));
  Type("Text2", QStringLiteral("0.9"));
  Type("Text3", QStringLiteral("0.7"));
  Click("Aceptar");
  EXPECT_FALSE(options.applyGpsStationErrors);
  EXPECT_DOUBLE_EQ(options.centeringStdDevM, 0.005);
  EXPECT_FLOAT_EQ(options.antennaHeightStdDevM, 0.01f);

  Open();
  EXPECT_TRUE(Ticked("Check2"));
  EXPECT_FALSE(Shown("Text2"));
  Click("Check2");
  EXPECT_TRUE(Shown("Text2"));
  EXPECT_TRUE(Shown("Text3"));
  EXPECT_EQ(Text("Text2"), QStringLiteral("0.005"));
  EXPECT_EQ(Text("Text3"), QStringLiteral("0.01"));
}

TEST_F(OptionsDialogTest, LeastSquaresCannotBeSwitchedOff) {
  Open();
  Click("Check3");
  EXPECT_TRUE(Ticked("Check3"));
  Click("Aceptar");
  EXPECT_TRUE(options.useLeastSquares);
}

TEST_F(OptionsDialogTest, IterationLimitsRoundHalvesToEven) {
  Open();
  Type("Text4", QStringLiteral("7.5"));
  Type("Text5", QStringLiteral("6.5"));
  Click("Aceptar");
  EXPECT_EQ(options.maxIterL1, 8);
  EXPECT_EQ(options.maxIterLp, 6);
}

TEST_F(OptionsDialogTest, ClearedMethodKeepsItsLimitAndRefillsOnReticking) {
  options.maxIterL1 = 25;
  Open();
  Click("Check5");
  EXPECT_FALSE(Shown("Text4"));
  EXPECT_FALSE(Shown("Label13"));
  Type("Text4", QStringLiteral("3"));
  Click("Check4");
  Click("Aceptar");
  EXPECT_FALSE(options.useL1);
  EXPECT_FALSE(options.useHuber);
  EXPECT_EQ(options.maxIterL1, 25);

  Open();
  Click("Check5");
  EXPECT_TRUE(Shown("Text4"));
  EXPECT_EQ(Text("Text4"), QStringLiteral("25"));
}

TEST_F(OptionsDialogTest, CommaIsRefusedInEveryDecimalField) {
  struct Case {
    const char* field;
    bool clearCheck1;
    bool refused;
  };
  const Case cases[] = {{"Text1", true, true},   // K shown and with a comma
                        {"Text1", false, true},  // K hidden: still examined
                        {"Text2", false, true},
                        {"Text3", false, true},  // "0,01" read as 0 before
                        {"Text4", false, false},
                        {"Text5", false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    options = CalcOptions{};
    fake.dialogs.clear();
    Open();
    if (c.clearCheck1) Click("Check1");
    Type(c.field, QStringLiteral("0,05"));
    Click("Aceptar");
    if (c.refused) {
      ASSERT_EQ(fake.dialogs.size(), 1u);
      EXPECT_EQ(fake.dialogs[0].text, QStringLiteral("Use '.' como separador decimal"));
      EXPECT_EQ(fake.dialogs[0].title, QStringLiteral("Signo decimal incorrecto"));
      EXPECT_EQ(fake.dialogs[0].icon, MessageIcon::Critical);
      EXPECT_TRUE(dialog->isVisible());
      EXPECT_FALSE(options.fixedRefraction);  // nothing stored
    } else {
      EXPECT_TRUE(fake.dialogs.empty());
      EXPECT_FALSE(dialog->isVisible());
    }
  }
}

TEST_F(OptionsDialogTest, IterationLimitBeyondSixteenBitsIsRefused) {
  for (const char* text : {"40000", "32767.5", "-32769", "1e300"}) {
    SCOPED_TRACE(text);
    options = CalcOptions{};
    fake.dialogs.clear();
    Open();
    Type("Text5", QString::fromLatin1(text));
    Type("Text4", QStringLiteral("12"));
    Click("Aceptar");
    ASSERT_EQ(fake.dialogs.size(), 1u);
    EXPECT_TRUE(fake.dialogs[0].text.contains(QStringLiteral("Lp")));
    EXPECT_TRUE(fake.dialogs[0].text.contains(QStringLiteral("32767")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(options.maxIterL1, 10);  // nothing stored, not even the valid field
    EXPECT_EQ(options.maxIterLp, 10);
  }
  Open();
  Type("Text4", QStringLiteral("32767"));
  Type("Text5", QStringLiteral("-3"));
  Click("Aceptar");
  EXPECT_EQ(options.maxIterL1, 32767);
  EXPECT_EQ(options.maxIterLp, -3);
}

}  // namespace
}  // namespace korvo
