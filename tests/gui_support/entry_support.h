#pragma once
// Shared steps of the entry window tests: finding widgets by name, typing, clicking a list at
// a byte offset of its section text, and the fixture with the three windows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_text.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "network/entry_text.h"
#include "network/entry/entry_widgets.h"
#include "network/entry/entry_windows.h"
#include "network/entry/nuevo1_window.h"
#include "network/entry/nuevo2_window.h"
#include "network/project_state.h"

namespace korvo::testing {

// Replaces the text of a field or editable box by typing it, key by key.
inline void Type(QWidget* field, const QString& text) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    line->clear();
    QTest::keyClicks(line, text);
  } else if (auto* box = qobject_cast<QComboBox*>(field)) {
    ASSERT_TRUE(box->isEditable());
    box->clearEditText();
    QTest::keyClicks(box->lineEdit(), text);
  } else {
    FAIL() << "cannot type into " << field->objectName().toStdString();
  }
}

// Chooses a listed word of a box that accepts only its list.
inline void Choose(QComboBox* box, const QString& word) {
  const int index = box->findText(word);
  ASSERT_GE(index, 0) << word.toStdString();
  box->setCurrentIndex(index);
}

inline void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Clicks the list where byte `byteOffset` of its section text is shown (the caret lands at
// that character or the next one).
inline void ClickListAt(EntryListView* list, std::size_t byteOffset) {
  const int shown = static_cast<int>(DisplayPositionOfByteOffset(list->Section(), byteOffset));
  QTextCursor target(list->document());
  target.setPosition(shown);
  list->setTextCursor(target);
  list->ensureCursorVisible();
  const int horizontal = list->horizontalScrollBar()->value();
  const int vertical = list->verticalScrollBar()->value();
  // Move the caret away first, so that only the click can put it back; keep the scrolling.
  list->setTextCursor(QTextCursor(list->document()));
  list->horizontalScrollBar()->setValue(horizontal);
  list->verticalScrollBar()->setValue(vertical);
  const QRect left = list->cursorRect(target);
  QTextCursor next = target;
  next.setPosition(shown + 1);
  const QRect right = list->cursorRect(next);
  QPoint point = left.center();
  if (right.top() == left.top() && right.left() > left.left()) point.setX((left.left() + right.left()) / 2);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    EntryHooks hooks;
    hooks.loadProject = [this](const std::string& path) { loadedPaths.push_back(path); };
    hooks.installImportedMatrices = [this](ImportedMatrices&& imported) { installed.push_back(std::move(imported)); };
    hooks.showProjectText = [this](const std::string& text) { shownProjectTexts.push_back(text); };
    windows = std::make_unique<EntryWindows>(state, hooks);
    windows->StartNewNetwork();
    one = windows->NuevoI();
    two = windows->NuevoII();
  }

  std::string Path(const char* name) const { return (folder.path() + QLatin1Char('/') + QLatin1String(name)).toStdString(); }

  EntryListView* VertexList() { return Find<EntryListView>(one, "Text6"); }
  EntryListView* ClassicalList() {
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
    return Find<EntryListView>(two, "Text6");
  }
  EntryListView* GpsList() {
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
    return Find<EntryListView>(two, "Text16");
  }

  // Types one vertex and presses Introducir. Empty deflections mean "unknown" (Check1).
  void EnterVertex(const QString& number, const QString& kind, const QString& x, const QString& y,
                   const QString& z, const QString& ns = {}, const QString& ew = {}) {
    Type(Find<QComboBox>(one, "Combo1"), number);
    Choose(Find<QComboBox>(one, "Combo2"), kind);
    Type(Find<QLineEdit>(one, "Text1"), x);
    Type(Find<QLineEdit>(one, "Text2"), y);
    Type(Find<QLineEdit>(one, "Text3"), z);
    auto* check = Find<QCheckBox>(one, "Check1");
    check->setChecked(ns.isEmpty());
    if (!ns.isEmpty()) {
      Type(Find<QLineEdit>(one, "Text4"), ns);
      Type(Find<QLineEdit>(one, "Text5"), ew);
    }
    Click(Find<QPushButton>(one, "Command1"));
  }

  void EnterObservation(const QString& type, const QString& from, const QString& to, const QString& value,
                        const QString& stdDev) {
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
    Choose(Find<QComboBox>(two, "Combo1"), type);
    Type(Find<QComboBox>(two, "Combo2"), from);
    Type(Find<QComboBox>(two, "Combo3"), to);
    Type(Find<QLineEdit>(two, "Text1"), value);
    Type(Find<QLineEdit>(two, "Text2"), stdDev);
    Click(Find<QPushButton>(two, "Command4"));
  }

  // Types one baseline and presses Introducir; values in the order from, to, dx, dy, dz, cxx, cxy, cxz, cyy, cyz, czz.
  void EnterBaseline(const std::vector<QString>& v) {
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
    const char* names[] = {"Combo12", "Combo13", "Text11", "Text12", "Text13", "Text31",
                           "Text34",  "Text37",  "Text35", "Text38", "Text39"};
    for (std::size_t i = 0; i < 11; ++i) Type(two->findChild<QWidget*>(QString::fromLatin1(names[i])), v[i]);
    Click(Find<QPushButton>(two, "Command24"));
  }

  FakeDialogService dialogs;
  ProjectState state;
  QTemporaryDir folder;
  std::unique_ptr<EntryWindows> windows;
  NuevoIWindow* one = nullptr;
  NuevoIIWindow* two = nullptr;
  std::vector<std::string> loadedPaths;
  std::vector<ImportedMatrices> installed;
  std::vector<std::string> shownProjectTexts;
};

}  // namespace korvo::testing
