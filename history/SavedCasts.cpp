#include "history/SavedCasts.h"

#include <sqlite3.h>

#include "history/EasyDb.h"
#include "history/SqlStatement.h"

namespace rg_com_ptl_xyh {

std::vector<rg_YsModel> LoadAllCasts(rg_EasyDb& store) {
  std::vector<rg_YsModel> out;
  if (store.Ready(false) != rg_StoreStatus::Ok) return out;
  rg_SqlStatement s(store.Handle(), u"SELECT " + std::u16string(rg_EasyDb::kRecordColumns) +
                                        u" FROM xyh_table ORDER BY ysday DESC,_id DESC;");
  if (!s.Valid()) {
    store.Record(s.PrepareCode());
    return out;
  }
  std::u16string scratch;
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    rg_EasyDb::RecordFromRow(s, out.emplace_back(), scratch);
  }
  store.Record(rc);
  return out;
}

std::vector<std::pair<std::int64_t, double>> ListCastTimes(rg_EasyDb& store) {
  std::vector<std::pair<std::int64_t, double>> out;
  if (store.Ready(false) != rg_StoreStatus::Ok) return out;
  rg_SqlStatement s(store.Handle(), u"SELECT _id,ysday FROM xyh_table;");
  if (!s.Valid()) {
    store.Record(s.PrepareCode());
    return out;
  }
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) out.emplace_back(s.ColumnInt(0), s.ColumnDouble(1));
  store.Record(rc);
  return out;
}

Result<std::optional<std::int64_t>> FindSavedCast(rg_EasyDb& store, const rg_YsModel& record) {
  if (const rg_StoreStatus ready = store.Ready(false); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  rg_SqlStatement s(store.Handle(),
                    u"SELECT _id FROM xyh_table WHERE ysindex=? AND ysnumber=? AND ysday=? AND "
                    u"gzsxid=? AND IFNULL(upstr,'')=? AND IFNULL(downstr,'')=? AND dong=? AND "
                    u"rot=? ORDER BY _id DESC LIMIT 1;");
  if (!s.Valid()) return Fail(store.Record(s.PrepareCode()));
  s.BindInt(1, record.ysindex);
  s.BindText(2, record.ysnumber);
  s.BindDouble(3, record.ysday);
  s.BindInt(4, record.gzsxid);
  s.BindText(5, record.upstr);
  s.BindText(6, record.downstr);
  s.BindText(7, record.DongText());
  s.BindInt(8, record.rot);
  const int rc = s.Step();
  const rg_StoreStatus status = store.Record(rc);
  if (rc == SQLITE_ROW) return s.ColumnInt(0);
  if (rc == SQLITE_DONE) return std::nullopt;
  return Fail(status);
}

}  // namespace rg_com_ptl_xyh
