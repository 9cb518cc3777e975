// The splash window and the about box.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/about_dialog.h"
#include "gui_support/gui_find.h"
#include "app/splash_window.h"

namespace korvo {
namespace {

using testing::Find;

TEST(Bienvenida, ClosesAfterItsInterval) {
  Bienvenida splash;
  auto* timer = Find<QTimer>(&splash, "Timer1");
  EXPECT_EQ(timer->interval(), 5000);

  QSignalSpy elapsed(&splash, &Bienvenida::timeElapsed);
  QSignalSpy dismissed(&splash, &Bienvenida::dismissedByClick);
  splash.Start();
  EXPECT_TRUE(splash.isVisible());
  timer->start(20);  // the same timer, shortened for the test
  ASSERT_TRUE(elapsed.wait(2000));
  EXPECT_FALSE(splash.isVisible());
  EXPECT_EQ(dismissed.count(), 0);
}

TEST(Bienvenida, ClickOnTheFrameEndsWithoutTheMainWindow) {
  Bienvenida splash;
  QSignalSpy elapsed(&splash, &Bienvenida::timeElapsed);
  QSignalSpy dismissed(&splash, &Bienvenida::dismissedByClick);
  splash.Start();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
  // A click on the picture inside the frame counts as a click on the frame.
  QWidget* picture = Find<QWidget>(&splash, "Image1");
  QTest::mouseClick(picture, Qt::LeftButton);
  EXPECT_EQ(dismissed.count(), 1);
  EXPECT_FALSE(splash.isVisible());
  QTest::qWait(50);
  EXPECT_EQ(elapsed.count(), 0);
  EXPECT_FALSE(Find<QTimer>(&splash, "Timer1")->isActive());
}

TEST(Acercade, ClosesByButtonOrFrame) {
  for (const char* closer : {"Aceptar", "Frame1"}) {
    SCOPED_TRACE(closer);
    Acercade about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(Find<QWidget>(&about, closer), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(about.isVisible());
  }
}

}  // namespace
}  // namespace korvo
