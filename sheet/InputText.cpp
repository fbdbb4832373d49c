#include "InputText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include <utf8.h>
#include <QFileInfo>

#include "InputFile.h"
#include "MessageText.h"

namespace mibolan::sheet {
namespace {

constexpr std::size_t kChunk = 1 << 16;  // bytes read, or replayed, at a time

// All the bytes of an open file; false with errno set when reading fails.
bool ReadAll(int fd, std::string& bytes) {
  char buffer[kChunk];
  for (;;) {
    const ssize_t got = cli::ReadSome(fd, buffer, sizeof buffer);
    if (got <= 0) return got == 0;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// Why `bytes` are not UTF-8; empty when they are. Offsets count from `base`.
std::string Utf8Problem(std::string_view bytes, std::uint64_t base = 0) {
  const auto bad = utf8::find_invalid(bytes.begin(), bytes.end());
  if (bad == bytes.end()) return {};
  const std::uint64_t offset = base + static_cast<std::uint64_t>(bad - bytes.begin());
  auto next = bad;
  bool truncated = false;
  try {
    utf8::next(next, bytes.end());
  } catch (const utf8::not_enough_room&) {
    truncated = true;
  } catch (const utf8::exception&) {
  }
  return cli::EncodingProblem("UTF-8", truncated, offset);
}

// Turns UTF-8 that comes in parts into text for a PieceCutter: a sequence cut between two parts
// waits for the rest, a byte-order mark at the start is skipped, and the first bytes that are not
// UTF-8 are named as ReadInput names them.
class Utf8Pieces {
 public:
  explicit Utf8Pieces(PieceCutter& cutter) : cutter_(cutter) {}

  // False when the cutter wants no more or the bytes are not UTF-8 (then `problem` says so).
  bool Add(std::string_view more, std::string& problem) {
    carried_.append(more);
    const std::size_t whole = CompleteLength(carried_);
    std::string_view bytes = std::string_view(carried_).substr(0, whole);
    if (problem = Utf8Problem(bytes, offset_); !problem.empty()) return false;
    if (offset_ == 0 && utf8::starts_with_bom(bytes.begin(), bytes.end())) bytes.remove_prefix(3);
    const bool wanted = cutter_.Add(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
    offset_ += whole;
    carried_.erase(0, whole);
    return wanted;
  }

  bool Finish(std::string& problem) {
    if (problem = Utf8Problem(carried_, offset_); !problem.empty()) return false;
    return cutter_.Finish();
  }

 private:
  // The bytes up to the last sequence that more bytes may complete.
  static std::size_t CompleteLength(std::string_view bytes) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(4, bytes.size()); ++back) {
      const auto lead = static_cast<unsigned char>(bytes[bytes.size() - back]);
      if ((lead & 0xC0) == 0x80) continue;  // a continuation byte
      const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      return length > back && lead < 0xF8 ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
  }

  PieceCutter& cutter_;
  std::string carried_;
  std::uint64_t offset_ = 0;  // of carried_'s first byte in the input
};

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;

std::uint64_t Digest(std::uint64_t digest, std::string_view bytes) {
  for (const char byte : bytes) digest = (digest ^ static_cast<unsigned char>(byte)) * 1099511628211ULL;
  return digest;
}

}  // namespace

InputText ReadInput(const std::string& path) {
  const cli::InputFile input(path);
  if (input.Descriptor() < 0) return {{}, input.Problem()};
  std::string bytes;
  if (!ReadAll(input.Descriptor(), bytes)) return {{}, std::strerror(errno)};
  if (std::string problem = Utf8Problem(bytes); !problem.empty()) return {{}, problem};
  const std::size_t start = utf8::starts_with_bom(bytes.begin(), bytes.end()) ? 3 : 0;
  return {QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(bytes.size() - start)), {}};
}

InputStream::InputStream(std::string path) : path_(std::move(path)) {}

InputStream::~InputStream() = default;

bool InputStream::Fail(std::string problem) {
  problem_ = std::move(problem);
  return false;
}

bool InputStream::Open() {
  input_ = std::make_unique<cli::InputFile>(path_);
  fd_ = input_->Descriptor();
  if (fd_ < 0) return Fail(input_->Problem());
  if (S_ISDIR(input_->Status().st_mode)) return Fail(std::strerror(EISDIR));
  regular_ = S_ISREG(input_->Status().st_mode);
  if (regular_) {
    start_ = ::lseek(fd_, 0, SEEK_CUR);
    regular_ = start_ >= 0;
  }
  return true;
}

QString InputStream::FileName() const {
  return path_ == "-" ? QString() : QFileInfo(QString::fromLocal8Bit(path_)).fileName();
}

long InputStream::Read(char* buffer, std::size_t size) { return static_cast<long>(cli::ReadSome(fd_, buffer, size)); }

bool InputStream::Rewindable() {
  if (regular_) return true;
  char buffer[kChunk];
  while (!heldAll_ && held_.size() < kHeldBytes) {
    const long got = Read(buffer, sizeof buffer);
    if (got < 0) return Fail(std::strerror(errno));
    heldAll_ = got == 0;
    held_.append(buffer, static_cast<std::size_t>(got));
  }
  return heldAll_;
}

bool InputStream::Walk(const PieceCutter::Take& take) {
  if (spent_) return Fail("the input cannot be read a second time");
  if (regular_ && ::lseek(fd_, start_, SEEK_SET) < 0) return Fail(std::strerror(errno));
  PieceCutter cutter(take);
  Utf8Pieces text(cutter);
  std::string problem;
  bool wanted = true;
  for (std::size_t at = 0; !regular_ && wanted && problem.empty() && at < held_.size(); at += kChunk) {
    wanted = text.Add(std::string_view(held_).substr(at, kChunk), problem);
  }
  std::uint64_t digest = kFnvOffset;
  std::vector<char> buffer(kChunk);
  while (wanted && problem.empty() && (regular_ || !heldAll_)) {
    spent_ = !regular_;
    const long got = Read(buffer.data(), buffer.size());
    if (got < 0) return Fail(std::strerror(errno));
    if (got == 0) break;
    const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
    if (regular_) digest = Digest(digest, bytes);
    wanted = text.Add(bytes, problem);
  }
  if (wanted && problem.empty()) {
    wanted = text.Finish(problem);
    // A file that changed between two passes would get page numbers that do not add up.
    if (regular_ && ++walks_ > 1 && digest != digest_) return Fail("the file changed while it was being read");
    digest_ = digest;
  }
  return problem.empty() ? true : Fail(problem);
}

}  // namespace mibolan::sheet
