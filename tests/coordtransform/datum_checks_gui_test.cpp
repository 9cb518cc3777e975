// The datum window refuses typed points a coordinate file could not hold, naming the line and
// the column and selecting the value at fault; and its columns show their widest values whole
// in a window that fits 1,260 pixels.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "coordtransform/datum_window.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

TEST(DatumChecks, ImplausibleTypedPointsAreRefusedAtTheirValue) {
  struct Row {
    const char* what;
    int format;  // 0..5, the boxes 3·format .. 3·format + 2
    std::array<QString, 3> typed;
    QString message;
    int box;     // the box whose value is selected
    QString selected;
  };
  const std::vector<Row> rows = {
      {"latitude of 95 on line 2", 4, {QStringLiteral("40.3\n95"), QStringLiteral("-3.3\n-3.3"), QStringLiteral("700\n0")},
       QStringLiteral(" Línea 2, columna 1: la latitud 95 no está entre -90 y 90 grados "), 12, QStringLiteral("95")},
      {"a point 2,000 km above the equator", 5,
       {QStringLiteral("4848527.184\n8378137"), QStringLiteral("-50980.563\n0"), QStringLiteral("4116958.214\n0")},
       QStringLiteral(" Línea 2, columna 1: el punto está a 8378137 m del centro de la Tierra; debe estar entre 5000 y "
                      "8000 km "),
       15, QStringLiteral("8378137")},
      {"UTM northing beyond 10,000 km", 1, {QStringLiteral("500000"), QStringLiteral("10000001"), QStringLiteral("0")},
       QStringLiteral(" Línea 1, columna 2: la coordenada Y UTM 10000001 no está entre -10000000 y 10000000 m "), 4,
       QStringLiteral("10000001")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::FakeDialogService fake;
    DatumWindow window;
    window.show();
    for (int c = 0; c < 3; ++c) window.CoordBox(3 * row.format + c)->setPlainText(row.typed[static_cast<std::size_t>(c)]);
    window.findChild<QPushButton*>(QStringLiteral("Transform%1").arg(row.format))->click();
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_EQ(fake.Log(), QStringLiteral("message | information |  | ") + row.message + QLatin1Char('\n'));
    EXPECT_EQ(window.CoordBox(row.box)->textCursor().selectedText(), row.selected);
    EXPECT_TRUE(window.Points().empty());
    // Nothing was transformed: the other formats stay empty.
    EXPECT_TRUE(window.CoordBox(3 * ((row.format + 1) % 6))->toPlainText().isEmpty());
  }
}

// Fifty points of the widest values each column shows: no value clipped or scrolled sideways,
// one vertical scroll bar per format, and the whole window within 1,260 pixels.
TEST(DatumChecks, WidestValuesFitAndTheWindowFits1260Pixels) {
  testing::FakeDialogService fake;
  DatumWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int k = 0; k < 18; ++k) {
    const bool angle = (k / 3 == 2 || k / 3 == 4) && k % 3 < 2;
    QStringList lines;
    for (int i = 0; i < 50; ++i) lines << (angle ? QStringLiteral("-179.59599999") : QStringLiteral("-1234567.890"));
    window.CoordBox(k)->setPlainText(lines.join(QLatin1Char('\n')));
  }
  window.adjustSize();
  QCoreApplication::processEvents();
  EXPECT_LE(window.width(), 1260);
  for (int k = 0; k < 18; ++k) {
    SCOPED_TRACE(k);
    QPlainTextEdit* box = window.CoordBox(k);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(box->verticalScrollBar()->isVisible(), k % 3 == 2);
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0);
  }
}

}  // namespace
}  // namespace korvo
