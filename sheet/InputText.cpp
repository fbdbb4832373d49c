#include "InputText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <utf8.h>

namespace mibolan::sheet {
namespace {

// All the bytes of an open file; false with errno set when reading fails.
bool ReadAll(int fd, std::string& bytes) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

// Why `bytes` are not UTF-8; empty when they are.
std::string Utf8Problem(const std::string& bytes) {
  const auto bad = utf8::find_invalid(bytes.begin(), bytes.end());
  if (bad == bytes.end()) return {};
  const std::string offset = std::to_string(bad - bytes.begin());
  auto next = bad;
  try {
    utf8::next(next, bytes.end());
  } catch (const utf8::not_enough_room&) {
    return "truncated UTF-8 sequence at byte offset " + offset;
  } catch (const utf8::exception&) {
  }
  return "invalid UTF-8 at byte offset " + offset;
}

}  // namespace

InputText ReadInput(const std::string& path) {
  const bool standardInput = path == "-";
  const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {{}, std::strerror(errno)};
  std::string bytes;
  const bool read = ReadAll(fd, bytes);
  const int error = errno;
  if (!standardInput) ::close(fd);
  if (!read) return {{}, std::strerror(error)};
  if (std::string problem = Utf8Problem(bytes); !problem.empty()) return {{}, problem};
  const std::size_t start = utf8::starts_with_bom(bytes.begin(), bytes.end()) ? 3 : 0;
  return {QString::fromUtf8(bytes.data() + start, static_cast<qsizetype>(bytes.size() - start)), {}};
}

}  // namespace mibolan::sheet
