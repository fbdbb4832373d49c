#include "FileConverter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <system_error>

#include <mibolan/DecodingConverter.h>
#include <mibolan/Utf8Converter.h>

#include "HtmlPage.h"
#include "InputFile.h"
#include "LegacyDecoder.h"
#include "MessageText.h"
#include "ParallelConverter.h"
#include "Processors.h"

namespace mibolan::cli {

namespace {

constexpr std::size_t kReadSize = 1 << 16;

// Regular files from this size on are converted on two threads, when there are two cores.
constexpr off_t kParallelFrom = off_t{1} << 21;

void Complain(const std::string& path, const std::string& reason) { cli::Complain("mibolan-convert", path, reason); }

// The encoding's name in messages, which is also iconv's name for it.
const char* NameOf(Encoding encoding) {
  switch (encoding) {
    case Encoding::Gbk: return "GBK";
    case Encoding::Gb18030: return "GB18030";
    case Encoding::Utf8: break;
  }
  return "UTF-8";
}

// A converter that takes bytes, with a buffer to read them into: it offers what
// ParallelConverter offers, so that one loop drives every converter.
template <class Converter>
class ReadingConverter : public Converter {
 public:
  using Converter::Converter;

  std::span<char> Room() { return {buffer_.get(), kReadSize}; }
  bool Feed(std::size_t size, OutputSink& output) {
    return Converter::Feed(std::string_view(buffer_.get(), size), output.Buffer());
  }
  bool Finish(OutputSink& output) { return Converter::Finish(output.Buffer()); }

 private:
  std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kReadSize);
};

// Streams one open file through `converter`; `page` is null unless the output is a page.
template <class Converter>
bool ConvertStream(int fd, Converter& converter, const std::string& path, const ConvertOptions& options, HtmlPage* page,
                   OutputSink& output) {
  const std::string encoding = NameOf(options.encoding);
  bool readable = false;  // a file that cannot be read at all writes nothing
  bool finished = false;
  std::string problem;
  for (;;) {
    const std::span<char> room = converter.Room();
    const ssize_t got = ReadSome(fd, room.data(), room.size());
    if (got < 0) {
      problem = std::strerror(errno);
      break;
    }
    if (!readable && page) page->BeginSection(path, output.Buffer());
    readable = true;
    if (got == 0) {
      finished = true;
      if (!converter.Finish(output)) {
        problem = EncodingProblem(encoding, converter.Truncated(), converter.ErrorOffset());
      }
      break;
    }
    const bool ok = converter.Feed(static_cast<std::size_t>(got), output);
    output.WriteReady();
    if (!ok) {
      problem = EncodingProblem(encoding, false, converter.ErrorOffset());
      break;
    }
  }
  if (readable) {
    // After a problem, what came before it is still converted.
    if (!finished) converter.Finish(output);
    if (page) {
      page->EndSection(output.Buffer());
    } else if (options.conversion.lineBreaks == LineBreaks::Drop || !converter.EndsWithLineFeed()) {
      // With kept line breaks, a text that ends with its own line break needs no other.
      output.Buffer() += '\n';
    }
    output.WriteReady();
  }
  if (problem.empty()) return true;
  output.Flush();  // what was converted before the problem comes before its message
  Complain(path, problem);
  return false;
}

// Whether a second thread is worth starting: a regular file large enough, and a second core that
// this process may run on and the options allow. Pipes and terminals stay on one thread, line
// after line as it comes.
bool WorthTwoThreads(const struct stat& file, const ConversionOptions& options) {
  return S_ISREG(file.st_mode) && file.st_size >= kParallelFrom && ThreadsFor(options) > 1;
}

// `file` is what fstat says of `fd`.
bool ConvertOpenFile(int fd, const struct stat& file, const std::string& path, const ConvertOptions& options,
                     HtmlPage* page, OutputSink& output) {
  if (options.encoding == Encoding::Utf8) {
    if (WorthTwoThreads(file, options.conversion)) {
      ParallelConverter converter(options.conversion);
      return ConvertStream(fd, converter, path, options, page, output);
    }
    ReadingConverter<Utf8Converter> converter(options.conversion);
    return ConvertStream(fd, converter, path, options, page, output);
  }
  std::optional<ReadingConverter<DecodingConverter<LegacyDecoder>>> converter;
  try {
    converter.emplace(options.conversion, false, NameOf(options.encoding));
  } catch (const std::system_error& error) {
    Complain(path, error.what());
    return false;
  }
  return ConvertStream(fd, *converter, path, options, page, output);
}

bool ConvertOneFile(const std::string& path, const ConvertOptions& options, HtmlPage* page, OutputSink& output) {
  const InputFile input(path);
  if (input.Descriptor() < 0) {
    Complain(path, input.Problem());
    return false;
  }
  if (output.IsOutputFile(input.Status())) {
    // Like cat, a run never reads the file that it writes to, which would grow without end.
    Complain(path, "input file is output file");
    return false;
  }
  return ConvertOpenFile(input.Descriptor(), input.Status(), path, options, page, output);
}

}  // namespace

bool ConvertFiles(const std::vector<std::string>& paths, const ConvertOptions& options, OutputSink& output) {
  std::optional<HtmlPage> page;
  if (options.conversion.style == Style::Html) page.emplace(paths);
  bool allConverted = true;
  for (const std::string& path : paths) {
    allConverted = ConvertOneFile(path, options, page ? &*page : nullptr, output) && allConverted;
  }
  if (page) page->End(output.Buffer());
  return allConverted;
}

}  // namespace mibolan::cli
