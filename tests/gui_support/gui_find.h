#pragma once
// Finding the windows' controls by their names in the offscreen tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <ostream>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvo::testing {

// The child of `parent` named `name` (UTF-8), of type T; fails the test when there is none.
template <class T>
T* Find(const QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromUtf8(name));
  EXPECT_NE(child, nullptr) << "no control named " << name;
  return child;
}

// The visible top-level widget named `name`, if any (for windows opened by commands).
template <class T>
T* FindTopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QString::fromLatin1(name) && widget->isVisible()) {
      if (auto* typed = qobject_cast<T*>(widget)) return typed;
    }
  }
  return nullptr;
}

}  // namespace korvo::testing
