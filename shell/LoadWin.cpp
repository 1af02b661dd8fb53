#include "shell/LoadWin.h"

#include <QEvent>
#include <QPainter>

#include "ui/ScreenFit.h"

namespace rg_com_ptl_xyh {

rg_LoadWin::rg_LoadWin(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      picture_(QStringLiteral(":/images/splash.jpg")) {
  setModal(true);
  resize(488, 288);
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    timer_.stop();
    accept();
  });
  ui::OpenWithinScreen(this, size());
}

void rg_LoadWin::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), picture_);
}

// The timer starts when the window first becomes active; being shown is
// taken as the same, so a window manager that never activates it cannot
// leave the program waiting behind it.
void rg_LoadWin::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activateWindow();
  StartOnce();
}

void rg_LoadWin::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) StartOnce();
}

void rg_LoadWin::mousePressEvent(QMouseEvent*) {
  timer_.stop();
  accept();
}

void rg_LoadWin::StartOnce() {
  if (started_) return;
  started_ = true;
  timer_.start(kShowMs);
}

}  // namespace rg_com_ptl_xyh
