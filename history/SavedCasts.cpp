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

}  // namespace rg_com_ptl_xyh
