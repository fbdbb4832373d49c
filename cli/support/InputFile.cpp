#include "InputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mibolan::cli {

InputFile::InputFile(const std::string& path) : standardInput_(path == "-") {
  fd_ = standardInput_ ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    problem_ = std::strerror(errno);
    return;
  }
  if (::fstat(fd_, &status_) != 0) status_ = {};
}

InputFile::~InputFile() {
  if (fd_ >= 0 && !standardInput_) ::close(fd_);
}

ssize_t ReadSome(int fd, char* data, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(fd, data, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

}  // namespace mibolan::cli
