#pragma once

// MIBOLAN_API marks what the library offers other programs. The shared library is built with
// every other symbol hidden, so that its internals stay free to change within a major version;
// the static library carries the same mark, which changes nothing for a program linked with it.
#if defined(__GNUC__) || defined(__clang__)
#define MIBOLAN_API __attribute__((visibility("default")))
#else
#define MIBOLAN_API
#endif
