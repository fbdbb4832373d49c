#pragma once

// Runs a program as a child process with piped standard streams, for tests of the converter
// as a user runs it.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mibolan::testing {

enum class StandardOutput {
  Captured,    // read by the test
  ReaderGone,  // a pipe whose reading end is closed before the child starts
  Closed,      // no file descriptor 1 at all
  File,        // appended to ChildSetup::outputFile
};

struct ChildSetup {
  std::vector<std::string> arguments;
  std::string input;      // standard input, unless inputSource or inputFile is set
  std::string inputFile;  // a file to read standard input from
  // Gives the next piece of standard input; an empty piece ends it.
  std::function<std::string_view()> inputSource;
  // Takes standard output piece by piece instead of collecting it in ChildResult::out.
  std::function<void(std::string_view)> outputSink;
  StandardOutput standardOutput = StandardOutput::Captured;
  std::string outputFile;      // with StandardOutput::File
  bool ignoreSigpipe = false;  // start the child with SIGPIPE ignored, so writes fail with EPIPE
  std::chrono::seconds timeout{120};
};

struct ChildResult {
  bool exited = false;  // ended by exit() or return from main
  int exitCode = -1;
  int signal = 0;  // the signal that ended it, when it did not exit
  bool timedOut = false;
  std::string out;
  std::string err;
  long maxResidentKiB = 0;
};

// Runs `program` with `setup.arguments` to its end (or kills it at the timeout).
ChildResult RunChild(const std::string& program, const ChildSetup& setup);

}  // namespace mibolan::testing
