#include "PagePreview.h"

#include <algorithm>

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
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

void PagePreview::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton) {
    if (const Square* square = ReadingAt(event->position())) {
      emit readingClicked(*square, event->globalPosition().toPoint());
      event->accept();
      return;
    }
  }
  QWidget::mousePressEvent(event);
}

const Square* PagePreview::ReadingAt(QPointF point) const {
  const QRectF page = PageRect();
  if (!painter_ || page.isEmpty()) return nullptr;
  const double scale = geometry_.paper.width() / page.width();
  const QPointF dots = (point - page.topLeft()) * scale;
  const Page& shown = pages_[static_cast<std::size_t>(shown_)];
  for (std::size_t index = 0; index < shown.rows.size(); ++index) {
    const int row = static_cast<int>(index);
    if (dots.y() < geometry_.StaffTop(row) || dots.y() > geometry_.SquareTop(row) + geometry_.square) continue;
    const Row& found = shown.rows[index];
    const double column = std::floor((dots.x() - geometry_.Left(0)) / geometry_.square - found.shift);
    for (const Slot& slot : found.placed) {
      if (slot.column == column && slot.strokes == 0 && slot.square.reading) return &slot.square;
    }
    return nullptr;
  }
  return nullptr;
}

QPointF PagePreview::StaffCentre(int row, int column) const {
  const QRectF page = PageRect();
  const Page& shown = pages_[static_cast<std::size_t>(shown_)];
  const double shift =
      static_cast<std::size_t>(row) < shown.rows.size() ? shown.rows[static_cast<std::size_t>(row)].shift : 0;
  const QPointF dots = geometry_.Staff(row, column + shift).center();
  return page.topLeft() + dots * (page.width() / geometry_.paper.width());
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
