// Desktops other than Windows: the address goes to the desktop's own opener (xdg-open on X11
// and Wayland desktops), which starts the user's browser as a process of its own.
#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "OpenWebPage.h"

namespace mibolan {

void OpenWebPage(std::u16string_view address) {
  const QUrl url = QUrl::fromUserInput(QString::fromUtf16(address.data(), static_cast<qsizetype>(address.size())));
  if (!url.isValid()) return;
  // Returns at once without waiting for the browser; the desktop decides how its window shows,
  // and a missing browser is not reported.
  static_cast<void>(QDesktopServices::openUrl(url));
}

}  // namespace mibolan
