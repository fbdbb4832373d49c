#pragma once

// The program's one way out to other programs: asking the system to open a web address with the
// browser the user has chosen. No toolkit types, so that the Windows implementation stays free
// of them.

#include <functional>
#include <string_view>

namespace mibolan {

// Asks the system to open `address` in the user's browser, in a normal window. The outcome is
// not reported: the call returns normally whether or not anything opened.
void OpenWebPage(std::u16string_view address);

// Anything callable like OpenWebPage; the main window takes one so tests can record the calls.
using WebPageOpener = std::function<void(std::u16string_view address)>;

}  // namespace mibolan
