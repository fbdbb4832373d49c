#pragma once

#include <string>

namespace mibolan {

// Standard output, written in large blocks. A reader that went away kills the program with
// SIGPIPE under the default signal handling (status 141 in a shell); where SIGPIPE is ignored
// the write fails with EPIPE and the program ends quietly with status 1. Any other write error
// ends it with a message and status 1.
class OutputSink {
 public:
  // The buffer that callers append to; Flush() empties it.
  std::string& Buffer() { return buffer_; }

  // Writes the buffer out once it holds a block's worth.
  void FlushIfFull() {
    if (buffer_.size() >= kBlockSize) Flush();
  }

  void Flush();

 private:
  static constexpr std::size_t kBlockSize = 1 << 16;
  std::string buffer_;
};

}  // namespace mibolan
