#include "SplashWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "Controls.h"
#include "MainWindow.h"
#include "QtStrings.h"
#include "WindowDefinitions.h"

namespace mibolan::ui {

SplashWindow::SplashWindow() : splashTimer_(new QTimer(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // A splash-screen window has neither frame nor task-bar button.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  ApplyWindowDesign(*this, splash_window::kWindow);
  setFixedSize(size());
  CentreOnScreen(*this, ScreenArea::Whole);
  for (const ControlDesign* label : {&splash_window::kTitle, &splash_window::kAuthor, &splash_window::kEmail,
                                     &splash_window::kWebsite, &splash_window::kDescription}) {
    MakeLabel(*this, *label);
  }
  splashTimer_->setObjectName(ToQString(splash_window::kTimerName));
  splashTimer_->setInterval(splash_window::kTimerIntervalMs);
  // The default coarse timer may fire a few milliseconds early.
  splashTimer_->setTimerType(Qt::PreciseTimer);
  connect(splashTimer_, &QTimer::timeout, this, &SplashWindow::OpenMainWindow);
}

void SplashWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  StartSplashTimer();
}

void SplashWindow::mousePressEvent(QMouseEvent* event) { event->accept(); }
void SplashWindow::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void SplashWindow::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void SplashWindow::keyPressEvent(QKeyEvent* event) { event->accept(); }

void SplashWindow::StartSplashTimer() {
  // Enabling an enabled timer leaves its count running, as the first resize started it.
  if (!splashTimer_->isActive()) splashTimer_->start();
}

void SplashWindow::OpenMainWindow() {
  splashTimer_->stop();
  // Without an owner and not modal: this handler does not wait for the main window.
  if (!mainWindow_) mainWindow_ = new MainWindow(this);
  mainWindow_->showMaximized();
}

}  // namespace mibolan::ui
