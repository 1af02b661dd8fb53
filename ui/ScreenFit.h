#pragma once
// Every window of the program opens within the screen that shows it, its
// frame included: one rule for the size and the place of each window as it
// opens, whatever size it asks for.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace rg_com_ptl_xyh::ui {

// The window manager's frame around a window that has none on screen yet to
// measure: a title bar and thin edges.
inline constexpr QMargins kFrameGuess{4, 30, 4, 4};

// The geometry (frame excluded, as QWidget::setGeometry takes it) of a
// window of size `wanted` on a screen whose free area is `room`, with
// `frame` around it: no larger than room leaves once the frame is in, and
// centred on `centre` but moved as little as needed to lie wholly within
// room. A room too small even for the frame gives the window 1 × 1 at its
// top left.
QRect FitWithin(const QRect& room, const QMargins& frame, QSize wanted, QPoint centre);

// Sizes and places a window as it opens, by FitWithin: `wanted` (its size
// hint when empty) on the screen that shows its owner (the window it
// belongs to), centred over the owner, or on its own screen, centred there,
// when it has none. The frame is the owner's as the window manager drew it,
// else kFrameGuess; a frameless window has none.
void OpenWithinScreen(QWidget* window, QSize wanted = QSize());

}  // namespace rg_com_ptl_xyh::ui
