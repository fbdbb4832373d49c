#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mibolan::cli {

// The bytes of names and arguments go to a terminal in messages, where control characters
// would act and bytes that are not UTF-8 garble the line; these make them safe to show.

// `name` as it is, unless it holds control characters or bytes that are not UTF-8; then
// quoted the way a shell reads it back, as the core utilities quote names:
// "a\nb" shows as 'a'$'\n''b', "\x1B[2J" as ''$'\033''[2J'.
std::string QuotedName(std::string_view name);

// `text` with its control characters and bytes that are not UTF-8 written as C escapes, "\033".
std::string EscapedText(std::string_view text);

// The name an input goes by in messages and page headings: "-" is "(standard input)".
std::string DisplayName(std::string_view path);

// What is wrong with bytes that are not valid in `encoding` ("UTF-8", "GBK" ...): "invalid UTF-8
// at byte offset 6", or "truncated UTF-8 sequence at byte offset 3" for a character that the end
// of the input cuts off.
std::string EncodingProblem(std::string_view encoding, bool truncated, std::uint64_t offset);

// Says on standard error what went wrong with a file: "PROGRAM: NAME: reason", the name quoted.
void Complain(std::string_view program, std::string_view path, std::string_view reason);

}  // namespace mibolan::cli
