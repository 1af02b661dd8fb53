#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace rg_com_ptl_xyh::ui {

QRect FitWithin(const QRect& room, const QMargins& frame, QSize wanted, QPoint centre) {
  const int roomWidth = room.width() - frame.left() - frame.right();
  const int roomHeight = room.height() - frame.top() - frame.bottom();
  const QSize size(std::clamp(wanted.width(), 1, std::max(1, roomWidth)),
                   std::clamp(wanted.height(), 1, std::max(1, roomHeight)));
  // The frame's top left, centred, then pulled in from the right and the
  // bottom before the left and the top, so the title bar is never lost.
  const QSize outer = size.grownBy(frame);
  int x = centre.x() - outer.width() / 2;
  int y = centre.y() - outer.height() / 2;
  x = std::max(room.left(), std::min(x, room.left() + room.width() - outer.width()));
  y = std::max(room.top(), std::min(y, room.top() + room.height() - outer.height()));
  return {QPoint(x + frame.left(), y + frame.top()), size};
}

void OpenWithinScreen(QWidget* window, QSize wanted) {
  QWidget* owner = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
  QScreen* screen = owner != nullptr ? owner->screen() : window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  if (!wanted.isValid()) wanted = window->sizeHint();
  wanted = wanted.expandedTo(window->minimumSizeHint()).boundedTo(window->maximumSize());
  QMargins frame = kFrameGuess;
  if (window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
    frame = QMargins();
  } else if (owner != nullptr && owner->isVisible()) {
    const QRect outer = owner->frameGeometry();
    const QRect inner = owner->geometry();
    const QMargins drawn(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // A frame not known yet reads as none at all.
    if (drawn.top() > 0) frame = drawn;
  }
  const QPoint centre =
      owner != nullptr && owner->isVisible() ? owner->frameGeometry().center() : room.center();
  const QRect fitted = FitWithin(room, frame, wanted, centre);
  // Whatever the layout's minimum, the window stays within the screen; what
  // does not fit scrolls or is squeezed.
  const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
  if (least.width() > fitted.width() || least.height() > fitted.height())
    window->setMinimumSize(least.boundedTo(fitted.size()));
  window->setGeometry(fitted);
}

}  // namespace rg_com_ptl_xyh::ui
