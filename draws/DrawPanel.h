#pragma once
// The latest-draws strip: a title with date and issue, the drawn numbers as
// coloured cells, and a refresh button.
#include <QAbstractButton>
#include <QList>
#include <QPixmap>
#include <QWidget>

class QLabel;

namespace rg_com_ptl_xyh {

// The 32 x 32 refresh button: blue arrows normally, pink to violet under
// the pointer or pressed, grey while disabled.
class rg_RefreshButton : public QAbstractButton {
  Q_OBJECT
 public:
  explicit rg_RefreshButton(QWidget* parent = nullptr);
  // 0 normal, 1 hovered or pressed, 3 disabled.
  int PictureState() const;
  QSize sizeHint() const override { return {32, 32}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPixmap pictures_[4];
  bool hovered_ = false;
};

class rg_DrawPanel : public QWidget {
  Q_OBJECT
 public:
  explicit rg_DrawPanel(QWidget* parent = nullptr);

  // Rebuilds the strip; initial 1 shows the placeholder layout.
  void layoutDraw(int typeIndex, const QString& numbers, const QString& date, const QString& issue,
                  const QString& fontDescription, int initial);

  rg_RefreshButton* RefreshButton() const { return refresh_; }
  const QList<QLabel*>& Captions() const { return captions_; }
  const QList<QLabel*>& Balls() const { return balls_; }

  static QString Title(int typeIndex);

 signals:
  void refresh(int trigger);

 private:
  QLabel* AddCaption(const QString& text, int x, int y, const QSize& unit);
  QLabel* AddBall(const QString& text, int x, int y, const QSize& unit, const QColor& color);

  QList<QLabel*> captions_;
  QList<QLabel*> balls_;
  rg_RefreshButton* refresh_;
};

}  // namespace rg_com_ptl_xyh
