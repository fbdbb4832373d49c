#pragma once

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

// A file under the test's temporary folder, holding `content`; returns its path.
std::string WriteTempFile(const std::string& name, const std::string& content);

}  // namespace mibolan::testing_support
