#include "Form2.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "Controls.h"
#include "Form1.h"
#include "QtStrings.h"
#include "WindowDefinitions.h"

namespace mibolan::ui {

Form2::Form2() : Timer1(new QTimer(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // A splash-screen window has neither frame nor task-bar button.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  ApplyWindowDesign(*this, form2::Window);
  setFixedSize(size());
  CentreOnScreen(*this, ScreenArea::Whole);
  for (const ControlDesign* label :
       {&form2::lblTitle, &form2::lblVersion, &form2::Label2, &form2::Label3, &form2::lblDescription}) {
    MakeLabel(*this, *label);
  }
  Timer1->setObjectName(ToQString(form2::kTimerName));
  Timer1->setInterval(form2::kTimerIntervalMs);
  // The default coarse timer may fire a few milliseconds early.
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
}

void Form2::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void Form2::mousePressEvent(QMouseEvent* event) { event->accept(); }
void Form2::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void Form2::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void Form2::keyPressEvent(QKeyEvent* event) { event->accept(); }

void Form2::Form_Resize() {
  // Enabling an enabled timer leaves its count running, as the first resize started it.
  if (!Timer1->isActive()) Timer1->start();
}

void Form2::Timer1_Timer() {
  Timer1->stop();
  // Without an owner and not modal: this handler does not wait for the main window.
  if (!mainWindow_) mainWindow_ = new Form1(this);
  mainWindow_->showMaximized();
}

}  // namespace mibolan::ui
