// Desktops other than Windows: the address goes to the desktop's own opener (xdg-open on X11
// and Wayland desktops), which starts the user's browser as a process of its own.
#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "OpenWebPage.h"

namespace mibolan {

void OpenWebPage(std::u16string_view operation, std::u16string_view target,
                 std::optional<std::u16string_view> /*parameters*/, std::optional<std::u16string_view> /*directory*/,
                 std::int32_t /*showCommand*/) {
  // Only opening has a meaning here; the desktop decides how the browser's window shows.
  if (operation != u"open") return;
  const QUrl address = QUrl::fromUserInput(QString::fromUtf16(target.data(), static_cast<qsizetype>(target.size())));
  if (!address.isValid()) return;
  // Returns at once without waiting for the browser; a missing browser is not reported.
  static_cast<void>(QDesktopServices::openUrl(address));
}

}  // namespace mibolan
