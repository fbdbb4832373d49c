#pragma once

// The program's one way out to other programs: asking the system to open a document or web
// address with the program the user has chosen for it. No toolkit types, so that the Windows
// implementation stays free of them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace mibolan {

// Show command for a normal window.
inline constexpr std::int32_t kShowNormal = 1;

// Asks the system shell to carry out `operation` ("open") on `target`. `parameters` and
// `directory` matter only when a program is started; none stays none. The outcome is not
// reported: the call returns normally whether or not anything opened.
void OpenWebPage(std::u16string_view operation, std::u16string_view target,
                 std::optional<std::u16string_view> parameters, std::optional<std::u16string_view> directory,
                 std::int32_t showCommand);

// Anything callable like OpenWebPage; the main window takes one so tests can record the calls.
using WebPageOpener = std::function<void(std::u16string_view operation, std::u16string_view target,
                                         std::optional<std::u16string_view> parameters,
                                         std::optional<std::u16string_view> directory, std::int32_t showCommand)>;

}  // namespace mibolan
