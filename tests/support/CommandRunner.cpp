#include "CommandRunner.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "ChildProcess.h"

namespace mibolan::testing_support {

namespace {

// One folder for the test process, removed with everything in it when the process ends.
class TempFolderOfProcess {
 public:
  TempFolderOfProcess() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mibolan-cli-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = std::move(pattern);
  }
  ~TempFolderOfProcess() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolderOfProcess(const TempFolderOfProcess&) = delete;
  TempFolderOfProcess& operator=(const TempFolderOfProcess&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& TempFolder() {
  static const TempFolderOfProcess folder;
  return folder.path();
}

}  // namespace

std::string TempPath(const std::string& name) { return TempFolder() + "/" + name; }

std::string WriteTempFile(const std::string& name, const std::string& content) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input) {
  testing::ChildSetup setup;
  setup.arguments = arguments;
  setup.input = input;
  testing::ChildResult child = testing::RunChild(program, setup);
  return {child.exited ? child.exitCode : 128 + child.signal, std::move(child.out), std::move(child.err)};
}

}  // namespace mibolan::testing_support
