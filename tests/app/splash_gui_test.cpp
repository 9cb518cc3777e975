// The splash window and the about box.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/about_dialog.h"
#include "app/splash_window.h"
#include "gui_support/gui_find.h"

namespace korvo {
namespace {

using testing::Find;

// The splash ends by its 5 s timer, or by a click on its picture without the main window.
TEST(Bienvenida, EndsByItsTimerOrByAClick) {
  for (const bool click : {false, true}) {
    SCOPED_TRACE(click);
    Bienvenida splash;
    auto* timer = Find<QTimer>(&splash, "Timer1");
    QSignalSpy elapsed(&splash, &Bienvenida::timeElapsed);
    QSignalSpy dismissed(&splash, &Bienvenida::dismissedByClick);
    splash.Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    if (click) {
      QTest::mouseClick(Find<QWidget>(&splash, "Image1"), Qt::LeftButton);
      QTest::qWait(50);
      EXPECT_FALSE(timer->isActive());
    } else {
      timer->start(20);  // the same timer, shortened for the test
      ASSERT_TRUE(elapsed.wait(2000));
    }
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(elapsed.count(), click ? 0 : 1);
    EXPECT_EQ(dismissed.count(), click ? 1 : 0);
  }
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
