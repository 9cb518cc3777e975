// Every window opened by its command, its texts one a line against tests/golden/captions.txt:
// "<window>[ modal] -> <title>", "<window>/<control or (Class)> -> <text>", "<window>/<tabs>[<i>] -> <text>".
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/main_window.h"
#include "app/splash_window.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "support/files.h"

namespace korvo {
namespace {

using testing::Find;
using testing::FindTopLevel;

class CaptionWalk {
 public:
  void Window(const QWidget* window) {
    const QString modal = window->windowModality() != Qt::NonModal ? QStringLiteral(" modal") : QString();
    lines_ << QStringLiteral("%1%2 -> %3").arg(window->objectName(), modal, window->windowTitle());
    std::vector<const QWidget*> owned;
    for (const QObject* child : window->children()) Control(child, window->objectName(), owned);
    std::sort(owned.begin(), owned.end(), [](auto* a, auto* b) { return a->objectName() < b->objectName(); });
    for (const QWidget* child : owned) Window(child);
  }
  QString Text() const { return lines_.join(QLatin1Char('\n')) + QLatin1Char('\n'); }

 private:
  void Line(const QString& window, const QObject* control, const QString& text) {
    QString name = control->objectName();
    if (text.isEmpty() || name.startsWith(QStringLiteral("qt_")) || name.startsWith(QStringLiteral("_q_"))) return;
    if (name.isEmpty()) name = QStringLiteral("(%1)").arg(QString::fromLatin1(control->metaObject()->className()));
    lines_ << window + QLatin1Char('/') + name + QStringLiteral(" -> ") + text;
  }
  void Control(const QObject* object, const QString& window, std::vector<const QWidget*>& owned) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    QObjectList inside = object->children();
    if (const auto* menu = qobject_cast<const QMenu*>(object)) {
      Line(window, menu, menu->title());
      inside.removeOne(menu->menuAction());
    } else if (widget != nullptr && widget->isWindow()) {
      if (!widget->objectName().isEmpty()) owned.push_back(widget);  // Qt's own pop-ups have no name
      return;
    } else if (const auto* action = qobject_cast<const QAction*>(object)) {
      Line(window, action, action->text());
    } else if (const auto* label = qobject_cast<const QLabel*>(object)) {
      Line(window, label, label->text());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(object)) {
      const auto* tool = qobject_cast<const QToolButton*>(button);  // a toolbar's show their actions
      if (tool == nullptr || tool->defaultAction() == nullptr) Line(window, button, button->text());
    } else if (const auto* box = qobject_cast<const QGroupBox*>(object)) {
      Line(window, box, box->title());
    } else if (const auto* field = qobject_cast<const QLineEdit*>(object)) {
      Line(window, field, field->placeholderText());
    } else if (const auto* tabs = qobject_cast<const QTabWidget*>(object)) {
      inside.clear();  // pages in their own order: showing one raises it above its siblings
      for (int i = 0; i < tabs->count(); ++i) {
        lines_ << QStringLiteral("%1/%2[%3] -> %4").arg(window, tabs->objectName()).arg(i).arg(tabs->tabText(i));
        inside << tabs->widget(i);
      }
    } else if (const auto* splitter = qobject_cast<const QSplitter*>(object)) {
      inside.clear();
      for (int i = 0; i < splitter->count(); ++i) inside << splitter->widget(i);
    }
    for (const QObject* child : inside) Control(child, window, owned);
  }
  QStringList lines_;
};

void Click(QWidget* parent, const char* name) { Find<QAbstractButton>(parent, name)->click(); }

TEST(Captions, EveryWindowShowsTheTextsOfItsDescription) {
  testing::FakeDialogService fake;
  CaptionWalk walk;
  // The splash, walked first; it ends by its 5 s timer, or by a click on its picture without the main window.
  for (const bool click : {false, true}) {
    SCOPED_TRACE(click);
    Bienvenida splash;
    auto* timer = Find<QTimer>(&splash, "Timer1");
    QSignalSpy elapsed(&splash, &Bienvenida::timeElapsed);
    QSignalSpy dismissed(&splash, &Bienvenida::dismissedByClick);
    if (!click) walk.Window(&splash);
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
  Principal window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  // The windows the main window owns, each opened by its menu item and closed again (the about box by its button
  // or by a click on its frame).
  for (const char* item : {"menuabrir", "menuestablecer"}) {
    Find<QAction>(&window, item)->trigger();
    QApplication::activeModalWidget()->close();
  }
  for (const char* closer : {"Aceptar", "Frame1"}) {
    Find<QAction>(&window, "menuacercade")->trigger();
    auto* about = Find<QWidget>(&window, "Acercade");
    QTest::mouseClick(Find<QWidget>(about, closer), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(about->isVisible()) << closer;
  }
  walk.Window(&window);
  // The editor from the toolbar, walked while its replace dialog is up.
  Find<QAction>(&window, "Button4")->trigger();
  QWidget* editor = FindTopLevel<QWidget>("frmEditor");
  ASSERT_NE(editor, nullptr);
  QTimer::singleShot(0, editor, [&walk, editor] {
    walk.Window(editor);
    if (auto* replace = editor->findChild<QDialog*>(QStringLiteral("frmReemplazar"))) replace->reject();
  });
  Find<QAction>(editor, "Reemplazar")->trigger();
  editor->close();
  // The datum utility with its help and about windows.
  Find<QAction>(&window, "Button5")->trigger();
  QWidget* datum = FindTopLevel<QWidget>("Main");
  ASSERT_NE(datum, nullptr);
  Click(datum, "Help");
  Click(datum, "Command1");
  walk.Window(datum);
  // The entry windows with the matrix import window and the two file choosers.
  Find<QAction>(&window, "Button1")->trigger();
  QWidget* vertices = FindTopLevel<QWidget>("NuevoI");
  ASSERT_NE(vertices, nullptr);
  Click(vertices, "Command2");
  QWidget* observations = FindTopLevel<QWidget>("NuevoII");
  ASSERT_NE(observations, nullptr);
  Click(observations, "Wave");
  Click(observations, "Command2");
  QWidget* import = FindTopLevel<QWidget>("frmImport");
  ASSERT_NE(import, nullptr);
  Click(import, "Examinar");  // the first of the three: the file of matrix A
  for (const QWidget* entry : {vertices, observations, import}) walk.Window(entry);
  EXPECT_EQ(fake.Log(), QString());
  EXPECT_EQ(walk.Text().toStdString(), testing::Golden("captions.txt"));
  for (QWidget* shown : QApplication::topLevelWidgets()) {
    if (shown != &window) shown->hide();
  }
}

}  // namespace
}  // namespace korvo
