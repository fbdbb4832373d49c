#include "FrameWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <utility>

#include "QtStrings.h"

#ifdef MIBOLAN_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace mibolan::ui {

#ifdef MIBOLAN_HAVE_XCB
namespace {

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Sees the property changes of one window before the toolkit handles them.
class FrameExtentsFilter final : public QObject, public QAbstractNativeEventFilter {
 public:
  FrameExtentsFilter(QWidget& window, xcb_atom_t frameExtents, std::function<void()> changed)
      : QObject(&window), window_(window), frameExtents_(frameExtents), changed_(std::move(changed)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~FrameExtentsFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
    if (property->atom == frameExtents_ && property->window == window_.internalWinId()) {
      // The toolkit marks its frame stale only after this filter: answer once it has.
      QMetaObject::invokeMethod(this, changed_, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  QWidget& window_;
  const xcb_atom_t frameExtents_;
  const std::function<void()> changed_;
};

}  // namespace

void WatchFrameChanges(QWidget& window, std::function<void()> changed) {
  // Other platforms may offer an X11 connection of their own (offscreen, for OpenGL), or none.
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (QGuiApplication::platformName() != u"xcb"_qs || x11 == nullptr || x11->connection() == nullptr) {
    return;
  }
  const xcb_atom_t frameExtents = InternAtom(x11->connection(), "_NET_FRAME_EXTENTS");
  if (frameExtents == XCB_ATOM_NONE) return;
  new FrameExtentsFilter(window, frameExtents, std::move(changed));
}

#else

void WatchFrameChanges(QWidget& /*window*/, std::function<void()> /*changed*/) {}

#endif

}  // namespace mibolan::ui
