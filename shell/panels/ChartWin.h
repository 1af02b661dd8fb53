#pragma once
// The detailed chart of the cast on screen: month and day with the void
// branches, the grid with the hidden spirits beside their lines, each
// line's strength and what the month, the day and its change do to it, the
// 用神 of a question, and the 卦辞爻辞 the cast points to. The chart itself
// is worked out and laid out in the engine; this only draws it (in a
// scroll area, so the window keeps a readable size), copies its text and
// saves its picture.
#include <QDialog>
#include <QImage>

#include "engine/Chart.h"

class QComboBox;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace rg_com_ptl_xyh {

class rg_ChartView : public QWidget {
  Q_OBJECT
 public:
  explicit rg_ChartView(QWidget* parent = nullptr);
  void SetSheet(const rg_ChartSheet& sheet);
  const rg_ChartSheet& Sheet() const { return sheet_; }
  void SetOptions(const rg_ChartOptions& options);
  const rg_ChartOptions& Options() const { return options_; }
  QSize sizeHint() const override { return size_; }
  // The whole chart, scrolled out of sight or not.
  QImage Picture();
  // Where the judgement below the grid begins; 0 without one.
  int JudgementTop() const { return judgementTop_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Draws onto p (or only measures, when p is null) at the given width;
  // the height used.
  int Draw(QPainter* p, int width) const;
  QSize Layout() const;

  rg_ChartSheet sheet_;
  rg_ChartOptions options_;
  QSize size_{400, 300};
  mutable int judgementTop_ = 0;
};

class rg_ChartWin : public QDialog {
  Q_OBJECT
 public:
  explicit rg_ChartWin(QWidget* parent = nullptr);
  void SetSheet(const rg_ChartSheet& sheet);
  rg_ChartView* View() const { return view_; }
  QPushButton* CopyButton() const { return copy_; }
  QPushButton* ExportButton() const { return export_; }
  QComboBox* TopicChoice() const { return topic_; }
  QRadioButton* ByPrimaryButton() const { return byPrimary_; }
  QRadioButton* ByChangedButton() const { return byChanged_; }
  QScrollArea* Scroll() const { return scroll_; }

  // The chart as plain text onto the clipboard, as the window shows it.
  void CopyText();
  // The chart as a PNG picture; false when it cannot be written.
  // *message: where it was saved, or why it was not.
  bool ExportPng(const QString& path, QString* message = nullptr);

 private:
  void AskAndExport();
  void OptionsChanged();

  rg_ChartView* view_;
  QScrollArea* scroll_;
  QComboBox* topic_;
  QRadioButton* byPrimary_;
  QRadioButton* byChanged_;
  QPushButton* copy_;
  QPushButton* export_;
};

}  // namespace rg_com_ptl_xyh
