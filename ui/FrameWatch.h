#pragma once

// Under X11 the window manager publishes the size of a window's frame (_NET_FRAME_EXTENTS) on its
// own schedule: after maximizing it may do so only after the last resize and move events the
// window got, and the toolkit sends the window no event for it. Until the next resize the
// window's outer size as the widget caches it is that of the old frame.

#include <functional>

class QWidget;

namespace mibolan::ui {

// Calls `changed` whenever the window manager gives the top-level `window` a new frame, once the
// toolkit has taken the new frame in: QWindow::frameGeometry() then tells the new outer size.
// Where the frame comes with the geometry (other platforms), geometry events suffice and this
// does nothing. Lives as long as `window`.
void WatchFrameChanges(QWidget& window, std::function<void()> changed);

}  // namespace mibolan::ui
