#include "OutputSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mibolan {

OutputSink::OutputSink(Pace pace) : pace_(pace) {
  outputIsFile_ = ::fstat(STDOUT_FILENO, &output_) == 0 && S_ISREG(output_.st_mode);
}

bool OutputSink::ReaderMayWait() {
  struct stat output {};
  return ::isatty(STDOUT_FILENO) ||
         (::fstat(STDOUT_FILENO, &output) == 0 && (S_ISFIFO(output.st_mode) || S_ISSOCK(output.st_mode)));
}

void OutputSink::WriteReady() {
  if (buffer_.size() >= kBlockSize) {
    Flush();
  } else if (pace_ == Pace::Lines) {
    const std::size_t lineEnd = buffer_.rfind('\n');
    if (lineEnd != std::string::npos) Write(lineEnd + 1);
  }
}

void OutputSink::Flush() { Write(buffer_.size()); }

// Writes the first `size` bytes of the buffer and takes them out of it.
void OutputSink::Write(std::size_t size) {
  const char* data = buffer_.data();
  std::size_t left = size;
  while (left > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      if (errno != EPIPE) std::fprintf(stderr, "mibolan-convert: write error: %s\n", std::strerror(errno));
      std::_Exit(1);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  buffer_.erase(0, size);
}

}  // namespace mibolan
