#include "LegacyDecoder.h"

#include <bit>
#include <cerrno>
#include <string>
#include <system_error>

namespace mibolan::cli {

namespace {

// iconv's name for UTF-16 in this machine's byte order, without byte-order mark.
constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

LegacyDecoder::LegacyDecoder(const char* encoding) : converter_(::iconv_open(kNativeUtf16, encoding)) {
  if (converter_ == kNoConverter) {
    throw std::system_error(errno, std::generic_category(), std::string("no converter from ") + encoding);
  }
}

LegacyDecoder::~LegacyDecoder() { ::iconv_close(converter_); }

bool LegacyDecoder::Decode(std::string_view bytes, std::u16string& out) {
  const std::uint64_t start = offset_ - carried_.size();
  offset_ += bytes.size();
  std::string joined;
  if (!carried_.empty()) {
    joined = carried_;
    joined.append(bytes);
    bytes = joined;
    carried_.clear();
  }
  const std::size_t firstOut = out.size();
  std::size_t produced = firstOut;
  char* in = const_cast<char*>(bytes.data());  // iconv takes char** but does not write the input
  std::size_t inLeft = bytes.size();
  int error = 0;
  do {
    // One unit per byte is room enough for these encodings; E2BIG would ask for more.
    out.resize(produced + inLeft + 2);
    char* to = reinterpret_cast<char*>(out.data() + produced);
    const std::size_t room = (out.size() - produced) * sizeof(char16_t);
    std::size_t toLeft = room;
    error = ::iconv(converter_, &in, &inLeft, &to, &toLeft) == static_cast<std::size_t>(-1) ? errno : 0;
    produced += (room - toLeft) / sizeof(char16_t);
  } while (error == E2BIG);
  out.resize(produced);
  if (atStart_ && produced > firstOut) {
    atStart_ = false;
    if (out[firstOut] == u'\uFEFF') out.erase(firstOut, 1);
  }
  if (error == 0) return true;
  if (error == EINVAL) {  // the piece ends inside a character
    carried_.assign(in, inLeft);
    return true;
  }
  errorOffset_ = start + static_cast<std::uint64_t>(in - bytes.data());
  return false;
}

bool LegacyDecoder::Finish() {
  if (carried_.empty()) return true;
  errorOffset_ = offset_ - carried_.size();
  return false;
}

}  // namespace mibolan::cli
