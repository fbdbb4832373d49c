#include "FileConverter.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Utf8Decoder.h"

namespace mibolan {

namespace {

constexpr std::size_t kReadSize = 1 << 16;

std::string DisplayName(const std::string& path) { return path == "-" ? "(standard input)" : path; }

void Complain(const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "mibolan-convert: %s: %s\n", DisplayName(path).c_str(), reason.c_str());
}

// Reads up to `size` bytes; -1 with errno set on failure.
ssize_t ReadSome(int fd, char* data, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(fd, data, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

// Streams one open file through the decoder and the converter.
bool ConvertOpenFile(int fd, const std::string& path, const ConvertOptions& options, OutputSink& output) {
  const CharDictionary& dictionary = CharDictionary::Embedded();
  StreamConverter converter(dictionary, options.style, options.lineBreaks);
  Utf8Decoder decoder;
  std::array<char, kReadSize> bytes{};
  std::u16string text;
  bool readable = false;  // a file that cannot be read at all writes nothing
  char16_t lastUnit = 0;
  bool ok = true;
  std::string problem;
  for (;;) {
    const ssize_t got = ReadSome(fd, bytes.data(), bytes.size());
    if (got < 0) {
      problem = std::strerror(errno);
      break;
    }
    readable = true;
    if (got == 0) {
      if (!decoder.Finish()) {
        problem = "truncated UTF-8 sequence at byte offset " + std::to_string(decoder.ErrorOffset());
      }
      break;
    }
    text.clear();
    ok = decoder.Decode(std::string_view(bytes.data(), static_cast<std::size_t>(got)), text);
    if (!text.empty()) lastUnit = text.back();
    converter.Feed(text, output.Buffer());
    output.FlushIfFull();
    if (!ok) {
      problem = "invalid UTF-8 at byte offset " + std::to_string(decoder.ErrorOffset());
      break;
    }
  }
  if (readable) {
    converter.Finish(output.Buffer());
    // With kept line breaks, a text that ends with its own line break needs no other.
    if (options.lineBreaks == LineBreaks::Drop || lastUnit != u'\n') output.Buffer() += '\n';
  }
  if (problem.empty()) return true;
  output.Flush();  // what was converted before the problem comes before its message
  Complain(path, problem);
  return false;
}

}  // namespace

bool ConvertFile(const std::string& path, const ConvertOptions& options, OutputSink& output) {
  if (path == "-") return ConvertOpenFile(STDIN_FILENO, path, options, output);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Complain(path, std::strerror(errno));
    return false;
  }
  const bool ok = ConvertOpenFile(fd, path, options, output);
  ::close(fd);
  return ok;
}

}  // namespace mibolan
