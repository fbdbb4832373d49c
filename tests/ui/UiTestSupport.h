#pragma once

// Shared helpers of the window tests.

#include <QApplication>
#include <QString>
#include <QWidget>
#include <QtTest>

#include <optional>
#include <string_view>
#include <vector>

#include <mibolan/ConvertText.h>

#include "QtStrings.h"
#include "shell/OpenWebPage.h"

namespace mibolan::ui::testing {

// One call of the web page opener, as recorded by RecordingOpener.
struct OpenerCall {
  QString operation;
  QString target;
  std::optional<QString> parameters;
  std::optional<QString> directory;
  int showCommand;

  bool operator==(const OpenerCall&) const = default;
};

// An opener that keeps every call instead of starting a browser.
inline WebPageOpener RecordingOpener(std::vector<OpenerCall>& calls) {
  return
      [&calls](std::u16string_view operation, std::u16string_view target, std::optional<std::u16string_view> parameters,
               std::optional<std::u16string_view> directory, std::int32_t showCommand) {
        auto optionalText = [](std::optional<std::u16string_view> text) -> std::optional<QString> {
          if (!text) return std::nullopt;
          return ToQString(*text);
        };
        calls.push_back(
            {ToQString(operation), ToQString(target), optionalText(parameters), optionalText(directory), showCommand});
      };
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

// Lets QCOMPARE print the calls it compares.
namespace QTest {
template <>
inline char* toString(const mibolan::ui::testing::OpenerCall& call) {
  auto optionalText = [](const std::optional<QString>& text) {
    return text ? QStringLiteral("\"%1\"").arg(*text) : QStringLiteral("none");
  };
  return qstrdup(QStringLiteral("(\"%1\", \"%2\", %3, %4, %5)")
                     .arg(call.operation, call.target, optionalText(call.parameters), optionalText(call.directory))
                     .arg(call.showCommand)
                     .toUtf8()
                     .constData());
}
}  // namespace QTest
