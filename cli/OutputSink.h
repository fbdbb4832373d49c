#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "CommandLine.h"

namespace mibolan::cli {

// Standard output (or another file descriptor), written in large blocks, or line by line for a
// reader who waits for each line. A reader that went away kills the program with SIGPIPE under
// the default signal handling (status 141 in a shell); where SIGPIPE is ignored the write fails
// with EPIPE and the program ends quietly with status 1. Any other write error ends it with a
// message and status 1.
class OutputSink {
 public:
  enum class Pace {
    Blocks,  // large writes, for files
    Lines,   // every finished line as soon as it is there
  };

  explicit OutputSink(Pace pace = Pace::Blocks, int fd = STDOUT_FILENO);

  // Whether standard output is a terminal, a pipe or a socket: someone may be reading it as it
  // comes.
  static bool ReaderMayWait();

  // The buffer that callers append to; Flush() empties it.
  std::string& Buffer() { return buffer_; }

  // Writes out what is ready: a block's worth, and at the pace of lines every finished line.
  void WriteReady();

  void Flush();

  // Writes what the buffer holds, then `text`, which is not copied.
  void Write(std::string_view text);

  // Whether `file` is the regular file that standard output writes to.
  bool IsOutputFile(const struct stat& file) const { return outputIsFile_ && cli::SameFile(file, output_); }

 private:
  void WriteFromBuffer(std::size_t size);
  void WriteAll(const char* data, std::size_t size);

  static constexpr std::size_t kBlockSize = 1 << 16;
  Pace pace_;
  int fd_;
  std::string buffer_;
  struct stat output_ {};
  bool outputIsFile_ = false;
};

}  // namespace mibolan::cli
