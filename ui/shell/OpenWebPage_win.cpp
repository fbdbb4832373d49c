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

// Keeps an optional argument's converted text alive for the call; none stays null.
class AnsiArgument {
 public:
  explicit AnsiArgument(std::optional<std::u16string_view> text)
      : present_(text.has_value()), ansi_(present_ ? ToAnsi(*text) : std::string()) {}
  const char* Pointer() const { return present_ ? ansi_.c_str() : nullptr; }

 private:
  bool present_;
  std::string ansi_;
};

}  // namespace

void OpenWebPage(std::u16string_view operation, std::u16string_view target,
                 std::optional<std::u16string_view> parameters, std::optional<std::u16string_view> directory,
                 std::int32_t showCommand) {
  HWND owner = GetDesktopWindow();
  const AnsiArgument ansiOperation(operation);
  const AnsiArgument ansiTarget(target);
  const AnsiArgument ansiParameters(parameters);
  const AnsiArgument ansiDirectory(directory);
  // The shell's answer is deliberately dropped: a page that does not open is not reported.
  static_cast<void>(ShellExecuteA(owner, ansiOperation.Pointer(), ansiTarget.Pointer(), ansiParameters.Pointer(),
                                  ansiDirectory.Pointer(), static_cast<INT>(showCommand)));
}

}  // namespace mibolan
