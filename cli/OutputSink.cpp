#include "OutputSink.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mibolan {

void OutputSink::Flush() {
  const char* data = buffer_.data();
  std::size_t left = buffer_.size();
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
  buffer_.clear();
}

}  // namespace mibolan
