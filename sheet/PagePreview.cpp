#include "PagePreview.h"

#include <QPainter>

namespace mibolan::sheet {
namespace {

constexpr int kBorder = 12;  // pixels around the page
const QColor kDesk(0x8a, 0x8f, 0x96);

}  // namespace

PagePreview::PagePreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(260, 360);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PagePreview::Show(const PageGeometry& geometry, Page page, int pageCount) {
  geometry_ = geometry;
  painter_.emplace(geometry_);
  page_ = std::move(page);
  pageCount_ = pageCount;
  picture_ = QPixmap();
  update();
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
  painter_->Paint(painter, page_, 1, pageCount_);
  return picture;
}

}  // namespace mibolan::sheet
