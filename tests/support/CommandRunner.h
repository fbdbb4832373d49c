#pragma once

// A simpler face of RunChild for tests that only give arguments and input: run, then compare
// what came out.

#include <string>
#include <vector>

namespace mibolan::testing_support {

struct CommandResult {
  int status = -1;  // the exit status, or 128 + signal number
  std::string out;
  std::string err;
};

// Runs `program` with `arguments`, `input` on its standard input, and collects its output.
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input = {});

#ifdef MIBOLAN_CONVERT
// Runs the converter that was built with the tests.
inline CommandResult Convert(const std::vector<std::string>& arguments, const std::string& input = {}) {
  return RunCommand(MIBOLAN_CONVERT, arguments, input);
}
#endif

// The path of `name` in the test's temporary folder, made on first use.
std::string TempPath(const std::string& name);

// A file under the test's temporary folder, holding `content`; returns its path.
std::string WriteTempFile(const std::string& name, const std::string& content);

// The whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace mibolan::testing_support
