#pragma once
// Word of a win: when a new draw (or a prize amount) makes saved casts win,
// the player is told once on the desktop, naming the cast, the issue, the
// best tier and the prize. Each cast and draw is told once, remembered in
// the store across restarts; [sys] notify=0 in config.ini turns it off.
// Without a tray or notification service the status bar's word of the win
// (有N个已保存的演算中奖) stands, with the details on its tooltip.
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

#include "history/SavedCast.h"
#include "shell/Notifier.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_EasyDb;
class rg_Settings;

inline constexpr std::u16string_view kNotifyKey = u"notify";

class rg_WinNotice : public QObject {
  Q_OBJECT
 public:
  rg_WinNotice(rg_EasyDb& store, const rg_Settings& settings, const Clock& clock,
               std::unique_ptr<rg_Notifier> notifier, QObject* parent = nullptr);

  // Tells of the wins not told before, against the draws of index; how
  // many it told of (0 also when notify=0).
  int Announce(const std::vector<rg_CastTier>& wins, const rg_DrawIndex& index);
  // Tests put a stand-in for the tray here.
  void SetNotifier(std::unique_ptr<rg_Notifier> notifier) { notifier_ = std::move(notifier); }
  // Whether config.ini lets it speak: notify is 1 or missing; any other
  // value than 0 or 1 is no setting and keeps the default.
  bool Enabled() const;
  // One line of a message: "《甲》第2026140期 一等奖, 奖金5,000,000元".
  QString WinLine(const rg_CastTier& win, const rg_DrawIndex& index);

 signals:
  // No tray or notification service showed it: the lines it would have
  // shown. The status bar's own word of the win stands; these go beside it.
  void notShown(const QString& lines);

 private:
  rg_EasyDb& store_;
  const rg_Settings& settings_;
  const Clock& clock_;
  std::unique_ptr<rg_Notifier> notifier_;
};

}  // namespace rg_com_ptl_xyh
