#pragma once

// Shared helpers of the window tests.

#include <QApplication>
#include <QString>
#include <QWidget>
#include <QtTest>

#include <string_view>
#include <vector>

#include <mibolan/ConvertText.h>

#include "QtStrings.h"
#include "shell/OpenWebPage.h"

namespace mibolan::ui::testing {

// An opener that keeps the address of every call instead of starting a browser.
inline WebPageOpener RecordingOpener(std::vector<QString>& addresses) {
  return [&addresses](std::u16string_view address) { addresses.push_back(ToQString(address)); };
}

// The control called `name` in `window`; fails the test when there is none.
template <typename Control>
Control* Find(const QWidget& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("no control %s of the expected kind", name);
  return control;
}

// What the conversion engine makes of `text`: the reference for the window's output.
inline QString Converted(const QString& text, Style style) { return ToQString(ConvertText(ToU16View(text), style)); }

// The visible top-level windows called `name`.
inline int VisibleWindowsNamed(const char* name) {
  int count = 0;
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->objectName() == QLatin1String(name)) ++count;
  }
  return count;
}

inline QWidget* TopLevelNamed(const char* name) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QLatin1String(name)) return window;
  }
  return nullptr;
}

// Deletes what deleteLater left, so each test starts without windows of the previous one.
inline void FlushDeletions() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

}  // namespace mibolan::ui::testing
