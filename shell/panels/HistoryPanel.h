#pragma once
// The right-hand side of the main window: the history list with "全选" and
// "删除", then the result box, the QR view, the note, the name, "保存" and
// "帮助".
#include <QAbstractListModel>
#include <QHash>
#include <QVector>
#include <QWidget>

#include <QHash>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QLabel;
class QListView;
class QPushButton;

namespace rg_com_ptl_xyh {

class rg_LabeledText;

// The saved casts, newest first, each with a check box; filled in one go so
// that a long history appears at once.
class rg_HistoryModel : public QAbstractListModel {
  Q_OBJECT
 public:
  using QAbstractListModel::QAbstractListModel;

  void BeginFill();
  void Append(std::int64_t id, std::u16string_view name);
  // keepPrevious: the fill failed before it began (a locked file); the
  // items shown before come back, ticks included.
  void EndFill(bool keepPrevious = false);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

  std::int64_t Id(int row) const { return ids_.value(row); }
  bool Checked(int row) const { return checked_.value(row) != 0; }
  void SetAllChecked(bool checked);
  bool AnyChecked() const { return checked_.contains(1); }
  bool AllChecked() const { return !checked_.isEmpty() && !checked_.contains(0); }
  // The ids of the ticked items, top to bottom.
  std::vector<std::int64_t> CheckedIds() const;
  // Takes out the items of these ids wherever they stand now (the list may
  // have been refilled meanwhile), the others keeping their ticks.
  void RemoveIds(const std::vector<std::int64_t>& ids);

  // Where an item's tooltip gets the saved note from: asked when the
  // pointer rests on the item, nullopt when it cannot be read now.
  using NoteSource = std::function<std::optional<std::u16string>(std::int64_t id)>;
  void SetNoteSource(NoteSource source) { noteSource_ = std::move(source); }
  // The whole saved name, the note, for a winning cast its best tier, then
  // "双击复盘查看"; plain text shown as such.
  QString ToolTip(int row) const;
  // Saved casts that won carry a mark and name their best tier in their
  // tooltip; the item text stays the saved name.
  void SetWinners(const QHash<std::int64_t, int>& bestTiers);
  int BestTier(int row) const { return winners_.value(ids_.value(row), 0); }
  // How many plays each saved cast has; the tooltip says so.
  void SetPlayCounts(const QHash<std::int64_t, int>& counts);

 signals:
  void checkToggled(int row);

 private:
  QVector<std::int64_t> ids_;
  QVector<QString> names_;
  QVector<char> checked_;
  // The items before the running fill, kept until it ends.
  QVector<std::int64_t> previousIds_;
  QVector<QString> previousNames_;
  QVector<char> previousChecked_;
  NoteSource noteSource_;
  mutable QHash<std::int64_t, QString> notes_;
  QHash<std::int64_t, int> winners_;
  QHash<std::int64_t, int> playCounts_;
};

class rg_HistoryPanel : public QWidget {
  Q_OBJECT
 public:
  // The button event's codes. Typed, so a command reaches the window only
  // as one of these, never as a stray number; Save and Qr stay in the
  // panels, the others are the window's commands.
  enum class Button {
    Delete = 1,
    Save = 2,
    Help = 5,
    ExportHistory = 6,
    ImportHistory = 7,
    Check = 8,
    Trend = 9,
    EnterDraw = 10,
    Ledger = 11,
    Qr = 100
  };
  // Emptiness event codes of the three text fields.
  enum Field { ResultField = 1, NoteField = 2, NameField = 3 };

  explicit rg_HistoryPanel(QWidget* parent = nullptr);
  // Lays out the list part, then the result area, within the panel's size.
  void Build(const QFont& font);

  rg_HistoryModel& Model() { return model_; }
  QListView* List() const { return list_; }
  QCheckBox* SelectAll() const { return selectAll_; }
  QPushButton* DeleteButton() const { return delete_; }
  rg_LabeledText* ResultBox() const { return result_; }
  QPushButton* QrButton() const { return qr_; }
  rg_LabeledText* Note() const { return note_; }
  rg_LabeledText* Name() const { return name_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* HelpButton() const { return help_; }
  QPushButton* CheckButton() const { return check_; }
  // A button of the owner's that stands right after 对奖 in the button row.
  void PlaceAfterCheck(QPushButton* button);
  QPushButton* TrendButton() const { return trend_; }
  QPushButton* LedgerButton() const { return ledger_; }
  // The id of the highlighted history item, 0 when none is.
  std::int64_t SelectedId() const;
  // The QR picture while it is shown, else null.
  QLabel* Picture() const { return picture_; }

  // A new result is on screen: 对奖 acts on it, not on an item the user
  // clicked before.
  void ClearHighlight();
  void ClearResult();  // result box and note (the casting panel's reset)
  void ClearEntry();   // note and name (after a successful save)

 public slots:
  void Press(rg_HistoryPanel::Button code);
  // "全选" and "删除" follow what the list holds now (after a delete or a
  // refill): ticked when every item is, enabled when any is and no delete
  // is running.
  void FollowList();
  // A delete runs off the window's thread: "删除" waits for it to end.
  void SetDeleting(bool deleting);
  bool Deleting() const { return deleting_; }

 signals:
  void button(rg_HistoryPanel::Button code);
  void review(qint64 id);

 private:
  // Whether the QR picture is up; the QR button's caption says it.
  enum class QrView { Hidden, Shown };

  void resizeEvent(QResizeEvent* event) override;
  void LayOut();
  void ShowQr();
  void HideQr();
  void OnEmptiness(int field, int flag);
  void UpdateSave();

  rg_HistoryModel model_;
  QListView* list_;
  QCheckBox* selectAll_;
  QPushButton* delete_;
  rg_LabeledText* result_ = nullptr;
  QPushButton* qr_ = nullptr;
  rg_LabeledText* note_ = nullptr;
  rg_LabeledText* name_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* help_ = nullptr;
  QPushButton* check_ = nullptr;
  QPushButton* trend_ = nullptr;
  QPushButton* ledger_ = nullptr;
  QPushButton* afterCheck_ = nullptr;
  QLabel* picture_ = nullptr;
  QrView qrView_ = QrView::Hidden;
  bool deleting_ = false;
  QSize unit_;
  int designHeight_ = 0;  // the height at Build: the layout's design size
};

}  // namespace rg_com_ptl_xyh
