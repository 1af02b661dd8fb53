#include "shell/panels/HistoryPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QToolTip>

#include "history/SavedCastCheck.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/QrBitmap.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {
const QString kShowQr = QStringLiteral("用手机查看");

// As large as the winner mark, and empty.
const QIcon& BlankIcon() {
  static const QIcon* icon = [] {
    QPixmap blank(64, 64);
    blank.fill(Qt::transparent);
    return new QIcon(blank);
  }();
  return *icon;
}
const QString kHideQr = QStringLiteral("隐藏二维码");
// Enough of a note for a tooltip; a longer one is cut with an ellipsis.
constexpr int kTooltipNoteChars = 2000;
}  // namespace

void rg_HistoryModel::BeginFill() {
  beginResetModel();
  // The shown items step aside rather than go; resize keeps the capacity,
  // so refilling after a save allocates little.
  ids_.swap(previousIds_);
  names_.swap(previousNames_);
  checked_.swap(previousChecked_);
  ids_.resize(0);
  names_.resize(0);
  checked_.resize(0);
  notes_.clear();
}

void rg_HistoryModel::Append(std::int64_t id, std::u16string_view name) {
  ids_.append(id);
  names_.append(
      QString(reinterpret_cast<const QChar*>(name.data()), static_cast<qsizetype>(name.size())));
  checked_.append(0);
}

void rg_HistoryModel::EndFill(bool keepPrevious) {
  if (keepPrevious) {
    ids_.swap(previousIds_);
    names_.swap(previousNames_);
    checked_.swap(previousChecked_);
  }
  endResetModel();
}

int rg_HistoryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

QVariant rg_HistoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= ids_.size()) return {};
  switch (role) {
    case Qt::DisplayRole: return names_[index.row()];
    case Qt::UserRole: return QVariant::fromValue<qint64>(ids_[index.row()]);
    case Qt::CheckStateRole: return checked_[index.row()] ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
      // Every row keeps the mark's room, so a mark never shifts its text.
      return winners_.contains(ids_[index.row()]) ? WinnerIcon() : BlankIcon();
    case Qt::ToolTipRole: return ToolTip(index.row());
    default: return {};
  }
}

QString rg_HistoryModel::ToolTip(int row) const {
  if (row < 0 || row >= ids_.size()) return {};
  const std::int64_t id = ids_[row];
  auto note = notes_.find(id);
  if (note == notes_.end() && noteSource_) {
    if (const auto text = noteSource_(id)) {
      QString shown = QString::fromStdU16String(*text);
      if (shown.size() > kTooltipNoteChars) shown = shown.left(kTooltipNoteChars) + QChar(u'…');
      note = notes_.insert(id, shown);
    }
  }
  // Rich text only to keep the lines; names and notes are escaped, so a
  // title like "<b>" shows as typed.
  const auto lines = [](const QString& text) {
    QString html = text.toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return html;
  };
  // The name stays on one line (its time is never cut in two) as long as
  // the screen is wide enough for it; the note wraps as notes do.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int room = screen != nullptr ? screen->availableGeometry().width() - 40 : 0;
  const bool fits = QFontMetrics(QToolTip::font()).horizontalAdvance(names_[row]) <= room;
  QString tip = QStringLiteral("<p style='margin:0; white-space:%1'>")
                    .arg(fits ? QStringLiteral("pre") : QStringLiteral("pre-wrap")) +
                lines(names_[row]) +
                QStringLiteral("</p><p style='margin:0; white-space:pre-wrap'>");
  if (note != notes_.end() && !note->trimmed().isEmpty())
    tip += lines(*note) + QStringLiteral("<br>");
  if (const int plays = playCounts_.value(id, 0); plays != 0)
    tip += lines(PlayCountTooltip(plays)) + QStringLiteral("<br>");
  if (const int tier = winners_.value(id, 0); tier != 0)
    tip += lines(WinnerTooltip(tier)) + QStringLiteral("<br>");
  tip += QStringLiteral("双击复盘查看</p>");
  return tip;
}

bool rg_HistoryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= ids_.size()) return false;
  checked_[index.row()] = value.value<Qt::CheckState>() == Qt::Checked ? 1 : 0;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit checkToggled(index.row());
  return true;
}

Qt::ItemFlags rg_HistoryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool rg_HistoryModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || row < 0 || count < 1 || row + count > ids_.size()) return false;
  beginRemoveRows(parent, row, row + count - 1);
  ids_.remove(row, count);
  names_.remove(row, count);
  checked_.remove(row, count);
  endRemoveRows();
  return true;
}

std::vector<std::int64_t> rg_HistoryModel::CheckedIds() const {
  std::vector<std::int64_t> ids;
  for (qsizetype i = 0; i < ids_.size(); ++i) {
    if (checked_[i] != 0) ids.push_back(ids_[i]);
  }
  return ids;
}

void rg_HistoryModel::RemoveIds(const std::vector<std::int64_t>& ids) {
  const QSet<std::int64_t> gone(ids.begin(), ids.end());
  // From the bottom up, a run of neighbours at a time: ticking all and
  // deleting is one removal, not thousands.
  int end = static_cast<int>(ids_.size());
  while (end > 0) {
    if (!gone.contains(ids_[end - 1])) {
      --end;
      continue;
    }
    int begin = end - 1;
    while (begin > 0 && gone.contains(ids_[begin - 1])) --begin;
    removeRows(begin, end - begin);
    end = begin;
  }
}

void rg_HistoryModel::SetWinners(const QHash<std::int64_t, int>& bestTiers) {
  winners_ = bestTiers;
  if (!ids_.isEmpty()) {
    emit dataChanged(index(0), index(static_cast<int>(ids_.size()) - 1),
                     {Qt::DecorationRole, Qt::ToolTipRole});
  }
}

void rg_HistoryModel::SetPlayCounts(const QHash<std::int64_t, int>& counts) {
  if (counts == playCounts_) return;
  playCounts_ = counts;
  if (!ids_.isEmpty())
    emit dataChanged(index(0), index(static_cast<int>(ids_.size()) - 1), {Qt::ToolTipRole});
}

void rg_HistoryModel::SetAllChecked(bool checked) {
  checked_.fill(checked ? 1 : 0);
  if (!ids_.isEmpty())
    emit dataChanged(index(0), index(static_cast<int>(ids_.size()) - 1), {Qt::CheckStateRole});
}

rg_HistoryPanel::rg_HistoryPanel(QWidget* parent)
    : QWidget(parent),
      list_(new QListView(this)),
      selectAll_(new QCheckBox(QStringLiteral("全选"), this)),
      delete_(new QPushButton(QStringLiteral("删除"), this)) {
  list_->setModel(&model_);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);  // keeps a long history quick to show
  list_->setToolTip(QStringLiteral("双击复盘查看"));
  // Moving the history in and out: the list's context menu.
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* exportAction = new QAction(QStringLiteral("导出历史…"), list_);
  auto* importAction = new QAction(QStringLiteral("导入历史…"), list_);
  // A draw the refresh never saw is typed in from here too.
  auto* enterAction = new QAction(QStringLiteral("录入开奖…"), list_);
  list_->addActions({exportAction, importAction, enterAction});
  connect(exportAction, &QAction::triggered, this, [this] { Press(Button::ExportHistory); });
  connect(importAction, &QAction::triggered, this, [this] { Press(Button::ImportHistory); });
  connect(enterAction, &QAction::triggered, this, [this] { Press(Button::EnterDraw); });
  delete_->setEnabled(false);

  // 删除 acts on the ticked items, so it follows the ticks, never the
  // highlight; 全选 shows whether every item is ticked.
  connect(selectAll_, &QCheckBox::clicked, this, [this](bool checked) {
    model_.SetAllChecked(checked);
    FollowList();
  });
  connect(&model_, &rg_HistoryModel::checkToggled, this, &rg_HistoryPanel::FollowList);
  // A refill brings every item back unticked.
  connect(&model_, &QAbstractItemModel::modelReset, this, &rg_HistoryPanel::FollowList);
  connect(list_, &QListView::doubleClicked, this, [this] {
    const QModelIndex current = list_->currentIndex();
    if (current.isValid()) emit review(model_.Id(current.row()));
  });
  connect(delete_, &QPushButton::clicked, this, [this] { Press(Button::Delete); });
}

void rg_HistoryPanel::Build(const QFont& font) {
  setFont(font);
  unit_ = ui::CharExtent(font, QStringLiteral("框"));
  designHeight_ = height();

  list_->setFont(font);
  // The mark of a winning cast fits the line, so every row keeps its height.
  list_->setIconSize(QSize(unit_.height() - 2, unit_.height() - 2));

  result_ = new rg_LabeledText(this);
  result_->Build(QStringLiteral("演算结果:"), font, true, true);
  result_->BreakOnlyBetweenNumbers();
  qr_ = new QPushButton(kShowQr, this);
  qr_->setEnabled(false);
  note_ = new rg_LabeledText(this);
  note_->Build(QStringLiteral("用户备注:"), font, false, true);
  name_ = new rg_LabeledText(this);
  name_->Build(QStringLiteral("名称:"), font, false, false);
  // Title, date and brackets stay within what a saved name may hold.
  if (auto* box = qobject_cast<QLineEdit*>(name_->Box()))
    box->setMaxLength(static_cast<int>(kSavedTitleLimit));

  save_ = new QPushButton(QStringLiteral("保存"), this);
  save_->setEnabled(false);
  help_ = new QPushButton(QStringLiteral("帮助"), this);
  check_ = new QPushButton(QStringLiteral("对奖"), this);
  check_->setToolTip(QStringLiteral("当前演算结果(或历史列表中选中的记录)与开奖号码对奖"));
  trend_ = new QPushButton(QStringLiteral("走势"), this);
  trend_->setToolTip(QStringLiteral("已保存的双色球开奖的走势图、出现次数与遗漏"));
  ledger_ = new QPushButton(QStringLiteral("账本"), this);
  ledger_->setToolTip(QStringLiteral("已保存投注的花费与中奖,按期、按月或按年"));
  LayOut();

  connect(result_, &rg_LabeledText::emptiness, this,
          [this](int flag) { OnEmptiness(ResultField, flag); });
  connect(note_, &rg_LabeledText::emptiness, this,
          [this](int flag) { OnEmptiness(NoteField, flag); });
  connect(name_, &rg_LabeledText::emptiness, this,
          [this](int flag) { OnEmptiness(NameField, flag); });
  connect(qr_, &QPushButton::clicked, this, [this] { Press(Button::Qr); });
  connect(save_, &QPushButton::clicked, this, [this] { Press(Button::Save); });
  connect(help_, &QPushButton::clicked, this, [this] { Press(Button::Help); });
  connect(check_, &QPushButton::clicked, this, [this] { Press(Button::Check); });
  connect(trend_, &QPushButton::clicked, this, [this] { Press(Button::Trend); });
  connect(ledger_, &QPushButton::clicked, this, [this] { Press(Button::Ledger); });
}

// The design layout at the size the panel was built with; a taller panel
// gives a third of the extra height each to the list and the result box,
// and the rest to the note; a wider one widens all three.
void rg_HistoryPanel::LayOut() {
  const int w = unit_.width();
  const int h = unit_.height();
  const int width = this->width();
  const int extra = std::max(0, height() - designHeight_);

  list_->setGeometry(0, 0, width, 8 * h + extra / 3);
  selectAll_->setGeometry(0, list_->geometry().bottom() + 1 + 10, 4 * w, 2 * h);
  delete_->setGeometry(selectAll_->geometry().right() + 1 + 10, selectAll_->y(), 3 * w, 2 * h);

  result_->setGeometry(0, selectAll_->geometry().bottom() + 1 + 10, width, 16 * h + extra / 3);
  result_->Arrange(true, result_->height());
  if (picture_ != nullptr) picture_->setGeometry(result_->geometry());
  qr_->setGeometry(result_->geometry().right() + 1 - 6 * w - 10,
                   result_->geometry().bottom() + 1 + 10, 6 * w, 2 * h);

  // The note takes what is left once the name and the button row fit.
  const int noteTop = qr_->geometry().bottom() + 1 + 10;
  const int nameHeight = h + 8;
  const int noteHeight = std::max(3 * h, height() - noteTop - 10 - nameHeight - 10 - 2 * h);
  note_->setGeometry(0, noteTop, width, noteHeight);
  note_->Arrange(true, noteHeight);
  name_->setGeometry(0, note_->geometry().bottom() + 1 + 10, width, nameHeight);
  name_->Arrange(false, nameHeight);

  // The button row shares the panel's width once a button joins it.
  std::vector<QPushButton*> row = {save_, help_, check_};
  if (afterCheck_ != nullptr) row.push_back(afterCheck_);
  row.push_back(trend_);
  row.push_back(ledger_);
  const int gap = 10;
  const int count = static_cast<int>(row.size());
  const int buttonWidth = std::min(5 * w, (width - gap * (count - 1)) / count);
  int x = 0;
  for (QPushButton* b : row) {
    b->setGeometry(x, name_->geometry().bottom() + 1 + 10, buttonWidth, 2 * h);
    x += buttonWidth + gap;
  }
}

void rg_HistoryPanel::PlaceAfterCheck(QPushButton* button) {
  afterCheck_ = button;
  if (result_ != nullptr) LayOut();
}

void rg_HistoryPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (result_ != nullptr) LayOut();
}

void rg_HistoryPanel::OnEmptiness(int field, int flag) {
  if (field == ResultField) {
    // A QR code of an earlier result must never stay on screen.
    HideQr();
    qr_->setEnabled(flag == 0);
    UpdateSave();
  } else if (field == NameField) {
    UpdateSave();
  }
}

// Whenever a result is shown and the name is not blank, whichever of the
// two came first.
void rg_HistoryPanel::UpdateSave() {
  save_->setEnabled(!result_->Text().trimmed().isEmpty() && !name_->Text().trimmed().isEmpty());
}

void rg_HistoryPanel::HideQr() {
  delete picture_;
  picture_ = nullptr;
  qrView_ = QrView::Hidden;
  qr_->setText(kShowQr);
}

void rg_HistoryPanel::FollowList() {
  selectAll_->setChecked(model_.AllChecked());
  delete_->setEnabled(model_.AnyChecked() && !deleting_);
}

void rg_HistoryPanel::SetDeleting(bool deleting) {
  deleting_ = deleting;
  FollowList();
}

std::int64_t rg_HistoryPanel::SelectedId() const {
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid() || !list_->selectionModel()->isSelected(current)) return 0;
  return model_.Id(current.row());
}

void rg_HistoryPanel::ClearHighlight() {
  list_->selectionModel()->clearSelection();
  list_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void rg_HistoryPanel::ClearResult() {
  if (result_ == nullptr) return;  // a reset before the panel is built
  result_->SetText(QString());
  note_->SetText(QString());
}

void rg_HistoryPanel::ClearEntry() {
  if (note_ == nullptr) return;
  note_->SetText(QString());
  name_->SetText(QString());
}

void rg_HistoryPanel::Press(Button code) {
  switch (code) {
    case Button::Qr:
      if (qrView_ == QrView::Hidden) {
        if (result_->Text().isEmpty()) return;
        qrView_ = QrView::Shown;
        qr_->setText(kHideQr);
        ShowQr();
      } else {
        HideQr();
      }
      return;
    case Button::Save:
      if (name_->Text().trimmed().isEmpty()) {
        name_->ShowHint(QStringLiteral("请输入保存的标题,标题将自动加上日期"));
        return;
      }
      if (static_cast<std::size_t>(note_->Text().size()) > kSavedNoteLimit) {
        note_->ShowHint(QStringLiteral("备注太长,最多%1个字").arg(kSavedNoteLimit));
        return;
      }
      emit button(Button::Save);
      return;
    default: emit button(code); return;
  }
}

void rg_HistoryPanel::ShowQr() {
  delete picture_;
  picture_ = new QLabel(this);
  picture_->setGeometry(result_->geometry());
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setAutoFillBackground(true);
  // Words from the loader are shown as they are, never as markup.
  picture_->setTextFormat(Qt::PlainText);
  std::string why;
  const std::vector<unsigned char> bmp =
      QrAvailable(&why) ? QrBitmap(result_->Text().toStdString()) : std::vector<unsigned char>();
  QPixmap pixmap;
  if (!why.empty()) {
    picture_->setWordWrap(true);
    picture_->setText(QStringLiteral("二维码组件无法加载,无法生成二维码。\n原因:") +
                      QString::fromLocal8Bit(why.c_str()));
  } else if (bmp.empty() ||
             !pixmap.loadFromData(bmp.data(), static_cast<uint>(bmp.size()), "BMP")) {
    picture_->setWordWrap(true);
    picture_->setText(QStringLiteral("结果文字太长,无法生成二维码"));
  } else {
    // Centred, as large as a whole number of pixels per module allows, so
    // a phone can read it and every module stays crisp; shrunk only when
    // even one pixel per module does not fit.
    if (const int factor = QrScale(pixmap.size(), picture_->size()); factor > 1) {
      pixmap = pixmap.scaled(pixmap.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
    } else if (factor == 0) {
      pixmap = pixmap.scaled(picture_->size(), Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    picture_->setPixmap(pixmap);
  }
  picture_->show();
  picture_->raise();
}

}  // namespace rg_com_ptl_xyh
