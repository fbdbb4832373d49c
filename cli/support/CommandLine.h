#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

namespace mibolan::cli {

// What both programs' command lines share: the version line, usage errors in the program's own
// voice, and help and version text written with the same care as any other output.

// "PROGRAM (Mibolan) VERSION", the version being the project's.
std::string VersionLine(std::string_view program);

// Sets up `app` as every program of the project is: the version flag, and usage errors that
// quote what the user typed safely.
void Configure(CLI::App& app);

// Ends a parse that did not lead to any work: writes the help or the version to standard output,
// or reports a usage error. The status to exit with: CLI11's, or 1 when the text could not be
// written (with a message, unless the reader went away).
int EndParse(const CLI::App& app, const CLI::ParseError& error);

// Writes all of `text` to `fd`, retrying after interruptions; false with errno set on failure.
bool WriteAll(int fd, std::string_view text);

// Whether `a` and `b` describe the same file (through links too).
inline bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace mibolan::cli
