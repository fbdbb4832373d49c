#include "MessageText.h"

#include <cstdio>

#include <utf8.h>

namespace mibolan::cli {

namespace {

// The length of the character at `at` when it can be shown as it is, or 0 for a byte to escape:
// a control character (C0, DEL, C1) or a byte that is not part of well-formed UTF-8.
std::size_t ShownLength(std::string_view text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) return byte >= 0x20 && byte != 0x7F ? 1 : 0;
  auto next = text.begin() + static_cast<std::ptrdiff_t>(at);
  try {
    const char32_t code = utf8::next(next, text.end());
    return code > 0x9F ? static_cast<std::size_t>(next - text.begin()) - at : 0;
  } catch (const utf8::exception&) {
    return 0;
  }
}

void AppendEscape(std::string& out, unsigned char byte) {
  constexpr std::string_view kLetters = "abtnvfr";  // the escapes of bytes 7 to 13
  out += '\\';
  if (byte >= 7 && byte <= 13) {
    out += kLetters[byte - 7];
    return;
  }
  out += static_cast<char>('0' + (byte >> 6));
  out += static_cast<char>('0' + ((byte >> 3) & 7));
  out += static_cast<char>('0' + (byte & 7));
}

bool IsShownAsItIs(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = ShownLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace

std::string QuotedName(std::string_view name) {
  if (IsShownAsItIs(name)) return std::string(name);
  // Shown characters go between single quotes, escaped bytes into $'...'.
  std::string out = "'";
  bool escaping = false;
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t length = ShownLength(name, at);
    if (length == 0) {
      if (!escaping) out += "'$'";
      escaping = true;
      AppendEscape(out, static_cast<unsigned char>(name[at++]));
      continue;
    }
    if (escaping) out += "''";
    escaping = false;
    if (name[at] == '\'') {
      out += "'\\''";
    } else {
      out += name.substr(at, length);
    }
    at += length;
  }
  return out + "'";
}

std::string EscapedText(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = ShownLength(text, at);
    if (length == 0) {
      AppendEscape(out, static_cast<unsigned char>(text[at++]));
    } else {
      out += text.substr(at, length);
      at += length;
    }
  }
  return out;
}

std::string DisplayName(std::string_view path) {
  return path == "-" ? std::string("(standard input)") : std::string(path);
}

std::string EncodingProblem(std::string_view encoding, bool truncated, std::uint64_t offset) {
  const std::string name(encoding);
  return (truncated ? "truncated " + name + " sequence" : "invalid " + name) + " at byte offset " +
         std::to_string(offset);
}

void Complain(std::string_view program, std::string_view path, std::string_view reason) {
  std::fprintf(stderr, "%.*s: %s: %.*s\n", static_cast<int>(program.size()), program.data(),
               QuotedName(DisplayName(path)).c_str(), static_cast<int>(reason.size()), reason.data());
}

}  // namespace mibolan::cli
