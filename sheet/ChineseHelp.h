#pragma once

#include <CLI/CLI.hpp>

namespace mibolan::sheet {

// Whether the user's messages are in Chinese: the first of LC_ALL, LC_MESSAGES and LANG that is
// set names a Chinese locale ("zh_CN.UTF-8", "zh_TW").
bool ChineseLocale();

// Puts the description, the options' help, the examples and the help's own words of `app`, the
// sheet's command line with all its options, in Chinese.
void PutHelpInChinese(CLI::App& app);

}  // namespace mibolan::sheet
