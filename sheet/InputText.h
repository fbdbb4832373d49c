#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QString>

#include "TextPieces.h"

namespace mibolan::cli {
class InputFile;
}  // namespace mibolan::cli

namespace mibolan::sheet {

// A text file's content, or why it could not be had.
struct InputText {
  QString text;
  std::string problem;  // empty when the text was read
};

// Reads the UTF-8 text of `path` ("-" is standard input); a byte-order mark at the start is
// skipped. Bytes that are not UTF-8 are a problem, named with their byte offset as the converter
// names them.
InputText ReadInput(const std::string& path);

// The UTF-8 text of a file or of standard input ("-") as ReadInput reads it, but as a stream, in
// pieces: a regular file is read again for each pass over it, and anything else (a pipe, a
// terminal, a device) is read ahead up to kHeldBytes, so that a text that ends within them can be
// gone through twice; a longer one is gone through once, as it comes.
class InputStream : public TextSource {
 public:
  static constexpr std::size_t kHeldBytes = 8 << 20;

  explicit InputStream(std::string path);
  ~InputStream() override;
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Opens the input; false when it cannot be, Problem() says why.
  bool Open();
  bool Rewindable() override;
  bool Walk(const PieceCutter::Take& take) override;
  std::string Problem() const override { return problem_; }
  QString FileName() const override;

 private:
  bool Fail(std::string problem);
  // Reads up to `size` bytes; 0 at the end, -1 (with errno) on an error.
  long Read(char* buffer, std::size_t size);

  std::string path_;
  std::unique_ptr<cli::InputFile> input_;
  int fd_ = -1;
  bool regular_ = false;
  long long start_ = 0;  // where a regular file's text begins (standard input may be part-read)
  std::string held_;     // the bytes read ahead from a stream
  bool heldAll_ = false;
  bool spent_ = false;  // a stream was gone through past what is held
  int walks_ = 0;
  std::uint64_t digest_ = 0;  // of a regular file's bytes in the first pass: a change shows
  std::string problem_;
};

}  // namespace mibolan::sheet
