// The datum window with many points: the three columns of a format scroll as one, the values
// fit their columns, and a refused value is named by its line and column.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "coordtransform/datum_window.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

TEST(DatumWorkplace, FiftyPointsScrollTogetherAndFitTheirColumns) {
  testing::FakeDialogService fake;
  DatumWindow window;
  window.resize(1400, 800);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QStringList x, y, h;
  for (int i = 0; i < 50; ++i) {
    x << QStringLiteral("-1234567.890");
    y << QString::number(4483452.284 + i, 'f', 3);
    h << QString::number(700 + i);
  }
  window.CoordBox(0)->setPlainText(x.join(QLatin1Char('\n')));
  window.CoordBox(1)->setPlainText(y.join(QLatin1Char('\n')));
  window.CoordBox(2)->setPlainText(h.join(QLatin1Char('\n')));
  QCoreApplication::processEvents();
  QScrollBar* last = window.CoordBox(2)->verticalScrollBar();
  ASSERT_GT(last->maximum(), 0);
  last->setValue(last->maximum() / 2);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(window.CoordBox(c)->verticalScrollBar()->value(), last->value()) << c;
    EXPECT_FALSE(window.CoordBox(c)->horizontalScrollBar()->isVisible()) << c;
  }
  window.CoordBox(0)->verticalScrollBar()->setValue(3);
  EXPECT_EQ(last->value(), 3);
}

TEST(DatumWorkplace, RefusedValuesNameTheirLineAndColumn) {
  testing::FakeDialogService fake;
  DatumWindow window;
  window.show();
  struct Row {
    int format;
    QString phi, lambda;
    QString expected;  // the message's end
  };
  const Row rows[] = {
      {2, QStringLiteral("40.2530\n40.6000"), QStringLiteral("-3.30\n-3.30"), QStringLiteral(" Línea 2, columna φ de ")},
      {2, QStringLiteral("40.2530"), QStringLiteral("-3.2960"), QStringLiteral(" Línea 1, columna λ de ")},
      {4, QStringLiteral("40.2559"), QStringLiteral("-3.3000"), QString()},  // 59 seconds: accepted
      {2, QStringLiteral("40.25\n4O.3"), QStringLiteral("-3.3\n-3.3"), QStringLiteral(" Línea 2, columna φ de ")},
  };
  for (const Row& row : rows) {
    fake.dialogs.clear();
    const int first = 3 * row.format;
    window.CoordBox(first)->setPlainText(row.phi);
    window.CoordBox(first + 1)->setPlainText(row.lambda);
    window.CoordBox(first + 2)->setPlainText(row.phi.count(QLatin1Char('\n')) ? QStringLiteral("1\n2") : QStringLiteral("1"));
    window.findChild<QPushButton*>(QStringLiteral("Transform%1").arg(row.format))->click();
    if (row.expected.isEmpty()) {
      EXPECT_TRUE(fake.Messages().isEmpty()) << fake.Messages().join(QLatin1Char('|')).toStdString();
      continue;
    }
    ASSERT_EQ(fake.Messages().size(), 1) << row.phi.toStdString();
    EXPECT_TRUE(fake.Messages()[0].contains(row.expected)) << fake.Messages()[0].toStdString();
    EXPECT_EQ(fake.Messages()[0].startsWith(QStringLiteral("¡Hay algún valor no numérico!")),
              row.phi.contains(QLatin1Char('O')));
  }
}

}  // namespace
}  // namespace korvo
