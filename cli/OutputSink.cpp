#include "OutputSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mibolan::cli {

// A pipe's own buffer of 64 KiB makes a writer wait for the reader at every block; a larger one
// lets both run. Where the system refuses (a limit on pipe memory), the pipe stays as it is.
constexpr int kPipeSize = 1 << 20;

OutputSink::OutputSink(Pace pace, int fd) : pace_(pace), fd_(fd) {
  if (::fstat(fd_, &output_) != 0) return;
  outputIsFile_ = S_ISREG(output_.st_mode);
  if (S_ISFIFO(output_.st_mode)) ::fcntl(fd_, F_SETPIPE_SZ, kPipeSize);
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
    if (lineEnd != std::string::npos) WriteFromBuffer(lineEnd + 1);
  }
}

void OutputSink::Flush() { WriteFromBuffer(buffer_.size()); }

void OutputSink::Write(std::string_view text) {
  Flush();
  WriteAll(text.data(), text.size());
}

// Writes the first `size` bytes of the buffer and takes them out of it.
void OutputSink::WriteFromBuffer(std::size_t size) {
  WriteAll(buffer_.data(), size);
  buffer_.erase(0, size);
}

void OutputSink::WriteAll(const char* data, std::size_t size) {
  if (cli::WriteAll(fd_, std::string_view(data, size))) return;
  if (errno != EPIPE) std::fprintf(stderr, "mibolan-convert: write error: %s\n", std::strerror(errno));
  std::_Exit(1);
}

}  // namespace mibolan::cli
