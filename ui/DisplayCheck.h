#pragma once

// Without a display the toolkit aborts with a core dump and several lines of advice about
// platform plugins. The program says instead, in one line, that it needs a display.

#include <optional>
#include <string>

#include <QtGlobal>

namespace mibolan::ui {

// Why no display can be reached, judged from the environment before the toolkit starts:
// no X11 or Wayland display and no platform chosen by hand. None when one may be there.
std::optional<std::string> MissingDisplay();

// Prints the one line on standard error.
void ReportNoDisplay(const std::string& reason);

// A message handler for the toolkit's start: it keeps the platform plugins' warnings off the
// terminal and turns the fatal failure to open a named display into the one line and exit
// status 1. Install it just around the construction of the application object.
void ReportUnreachableDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message);

}  // namespace mibolan::ui
