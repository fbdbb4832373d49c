#include "CommandLine.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "MessageText.h"

namespace mibolan::cli {

std::string VersionLine(std::string_view program) { return std::string(program) + " (Mibolan) " MIBOLAN_VERSION; }

void Configure(CLI::App& app) {
  app.set_version_flag("--version", VersionLine(app.get_name()));
  // The arguments a usage error quotes may hold anything.
  app.failure_message([](const CLI::App* failed, const CLI::Error& error) {
    return failed->get_name() + ": " + EscapedText(error.what()) + "\nRun with --help for more information.\n";
  });
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int EndParse(const CLI::App& app, const CLI::ParseError& error) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = app.exit(error, out, err);
  std::fputs(err.str().c_str(), stderr);
  if (!WriteAll(STDOUT_FILENO, out.str())) {
    if (errno != EPIPE) std::fprintf(stderr, "%s: write error: %s\n", app.get_name().c_str(), std::strerror(errno));
    return 1;
  }
  return status;
}

}  // namespace mibolan::cli
