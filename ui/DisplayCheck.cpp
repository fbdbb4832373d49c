#include "DisplayCheck.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace mibolan::ui {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// How the user starts the converter: by its name where it is installed beside this program,
// through the script that builds it where this program runs from a source tree's build.
std::string ConverterCommand() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && !std::filesystem::exists(program.parent_path() / "mibolan-convert", error)) {
    return "./run.sh convert";
  }
  return "mibolan-convert";
}

}  // namespace

std::optional<std::string> MissingDisplay() {
  if (!Variable("DISPLAY").empty() || !Variable("WAYLAND_DISPLAY").empty() || !Variable("QT_QPA_PLATFORM").empty()) {
    return std::nullopt;
  }
  return "DISPLAY is not set";
}

void ReportNoDisplay(const std::string& reason) {
  std::fprintf(stderr,
               "mibolan: no display found (%s); the window needs a desktop, "
               "use %s for the command-line converter\n",
               reason.c_str(), ConverterCommand().c_str());
}

void ReportUnreachableDisplay(QtMsgType type, const QMessageLogContext& /*context*/, const QString& /*message*/) {
  if (type != QtFatalMsg) return;
  std::string display = Variable("DISPLAY");
  if (display.empty()) display = Variable("WAYLAND_DISPLAY");
  ReportNoDisplay("cannot open the display \"" + display + "\"");
  std::_Exit(1);
}

}  // namespace mibolan::ui
