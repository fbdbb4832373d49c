#include "DisplayCheck.h"

#include <cstdio>
#include <cstdlib>

namespace mibolan::ui {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::optional<std::string> MissingDisplay() {
  if (!Variable("DISPLAY").empty() || !Variable("WAYLAND_DISPLAY").empty() ||
      !Variable("QT_QPA_PLATFORM").empty()) {
    return std::nullopt;
  }
  return "DISPLAY is not set";
}

void ReportNoDisplay(const std::string& reason) {
  std::fprintf(stderr,
               "mibolan: no display found (%s); the window needs a desktop, "
               "use ./run.sh convert for the command-line converter\n",
               reason.c_str());
}

void ReportUnreachableDisplay(QtMsgType type, const QMessageLogContext& /*context*/,
                              const QString& /*message*/) {
  if (type != QtFatalMsg) return;
  std::string display = Variable("DISPLAY");
  if (display.empty()) display = Variable("WAYLAND_DISPLAY");
  ReportNoDisplay("cannot open the display \"" + display + "\"");
  std::_Exit(1);
}

}  // namespace mibolan::ui
