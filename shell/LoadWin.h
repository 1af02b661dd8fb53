#pragma once
// The splash window: the program's picture for three seconds at start.
#include <QDialog>
#include <QPixmap>
#include <QTimer>

namespace rg_com_ptl_xyh {

class rg_LoadWin : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kShowMs = 3000;
  explicit rg_LoadWin(QWidget* owner = nullptr);
  QTimer& Timer() { return timer_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  // A click closes it at once.
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void StartOnce();

  QPixmap picture_;
  QTimer timer_;
  bool started_ = false;
};

}  // namespace rg_com_ptl_xyh
