// Windows: the shell opens the page. Texts go to the ANSI entry point in the system's code page.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs what windows.h declares.
#include <shellapi.h>

#include <string>

#include "OpenWebPage.h"

namespace mibolan {
namespace {

// The text in the system's ANSI code page; characters it lacks become the code page's default.
std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

}  // namespace

void OpenWebPage(std::u16string_view address) {
  const std::string ansiAddress = ToAnsi(address);
  // No parameters and no directory: they matter only when a program is started. The shell's
  // answer is deliberately dropped: a page that does not open is not reported.
  static_cast<void>(ShellExecuteA(GetDesktopWindow(), "open", ansiAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace mibolan
