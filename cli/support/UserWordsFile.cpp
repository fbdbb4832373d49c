#include "UserWordsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "MessageText.h"

namespace mibolan::cli {

std::shared_ptr<const UserWords> ReadUserWordsFile(std::string_view program, const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  std::string text;
  if (file) {
    char buffer[1 << 14];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) text.append(buffer, got);
  }
  if (!file || std::ferror(file.get())) {
    Complain(program, path, std::strerror(errno));
    return nullptr;
  }
  try {
    return std::make_shared<const UserWords>(UserWords::Parse(text));
  } catch (const UserWordsError& error) {
    std::fprintf(stderr, "%.*s: %s:%zu: %s\n", static_cast<int>(program.size()), program.data(),
                 QuotedName(path).c_str(), error.line(), EscapedText(error.what()).c_str());
    return nullptr;
  }
}

}  // namespace mibolan::cli
