#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <mibolan/UserWords.h>

namespace mibolan::cli {

// The user's words in the file at `path`, or null after saying on standard error, in the voice
// of `program`, why there are none: the file could not be read ("PROGRAM: FILE: reason") or a
// line of it is wrong ("PROGRAM: FILE:LINE: reason").
std::shared_ptr<const UserWords> ReadUserWordsFile(std::string_view program, const std::string& path);

}  // namespace mibolan::cli
