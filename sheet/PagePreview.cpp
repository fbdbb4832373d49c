#include "PagePreview.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

namespace mibolan::sheet {
namespace {

constexpr int kBorder = 12;  // pixels around the page
const QColor kDesk(0x8a, 0x8f, 0x96);
constexpr int kWheelStep = 120;  // a notch of the wheel, in eighths of a degree: a page

}  // namespace

PagePreview::PagePreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(260, 360);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::StrongFocus);
}

void PagePreview::Show(const PageGeometry& geometry, std::vector<Page> pages, int pageCount) {
  geometry_ = geometry;
  painter_.emplace(geometry_);
  pages_ = std::move(pages);
  if (pages_.empty()) pages_.emplace_back();
  pageCount_ = pageCount;
  const int shown = std::min(shown_, Pages() - 1);
  const bool moved = shown != shown_;
  shown_ = shown;
  picture_ = QPixmap();
  update();
  if (moved) emit pageChanged(shown_);
}

void PagePreview::ShowPage(int index) {
  index = std::clamp(index, 0, std::max(Pages() - 1, 0));
  if (index == shown_) return;
  shown_ = index;
  picture_ = QPixmap();
  update();
  emit pageChanged(shown_);
}

QRectF PagePreview::PageRect() const {
  if (geometry_.paper.isEmpty()) return {};
  const QSizeF room = QSizeF(size()) - QSizeF(2 * kBorder, 2 * kBorder);
  const QSizeF page = geometry_.paper.scaled(room, Qt::KeepAspectRatio);
  return QRectF(QPointF((width() - page.width()) / 2, (height() - page.height()) / 2), page);
}

void PagePreview::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), kDesk);
  if (!painter_) return;
  if (picture_.isNull()) picture_ = Render();
  const QRectF page = PageRect();
  painter.fillRect(page.translated(3, 3), QColor(0, 0, 0, 60));
  painter.drawPixmap(page.topLeft(), picture_);
}

void PagePreview::resizeEvent(QResizeEvent* /*event*/) { picture_ = QPixmap(); }

void PagePreview::wheelEvent(QWheelEvent* event) {
  // A touchpad turns in small steps: they add up to a page.
  wheel_ += event->angleDelta().y();
  const int steps = wheel_ / kWheelStep;
  wheel_ -= steps * kWheelStep;
  if (steps != 0) ShowPage(shown_ - steps);
  event->accept();
}

void PagePreview::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Down: ShowPage(shown_ + 1); break;
    case Qt::Key_PageUp:
    case Qt::Key_Up: ShowPage(shown_ - 1); break;
    case Qt::Key_Home: ShowPage(0); break;
    case Qt::Key_End: ShowPage(Pages() - 1); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

QPixmap PagePreview::Render() const {
  const QRectF page = PageRect();
  const qreal ratio = devicePixelRatioF();
  QPixmap picture((page.size() * ratio).toSize());
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(page.width() / geometry_.paper.width(), page.height() / geometry_.paper.height());
  painter_->Paint(painter, pages_[static_cast<std::size_t>(shown_)], shown_ + 1, pageCount_);
  return picture;
}

}  // namespace mibolan::sheet
