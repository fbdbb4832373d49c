#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace mibolan::cli {

// An input that the command line names, open for reading: a file, or standard input for "-",
// which stays open when this ends. Where fstat fails, the input is taken for nothing in
// particular: its status is all zero.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // The file descriptor, or -1 when the input could not be opened (Problem() says why).
  int Descriptor() const { return fd_; }
  const struct stat& Status() const { return status_; }
  const std::string& Problem() const { return problem_; }

 private:
  bool standardInput_;
  int fd_ = -1;
  struct stat status_ {};
  std::string problem_;
};

// Reads up to `size` bytes of `fd`, again after an interruption; -1 with errno set on failure.
ssize_t ReadSome(int fd, char* data, std::size_t size);

}  // namespace mibolan::cli
