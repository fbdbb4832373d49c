#include "CommandRunner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace mibolan::testing_support {

namespace {

std::string TempFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "mibolan-cli-test-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  return folder;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted.append("'\\''");
    } else {
      quoted.push_back(c);
    }
  }
  quoted.push_back('\'');
  return quoted;
}

}  // namespace

std::string WriteTempFile(const std::string& name, const std::string& content) {
  const std::string path = TempFolder() + "/" + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
  const std::string in = WriteTempFile("stdin", input);
  const std::string out = TempFolder() + "/stdout";
  const std::string err = TempFolder() + "/stderr";
  std::string command = Quoted(program);
  for (const std::string& argument : arguments) command.append(" ").append(Quoted(argument));
  command.append(" <").append(Quoted(in)).append(" >").append(Quoted(out)).append(" 2>").append(Quoted(err));
  const int raw = std::system(command.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

}  // namespace mibolan::testing_support
