#include "history/Announced.h"

#include <sqlite3.h>

#include "history/EasyDb.h"
#include "history/SqlStatement.h"

namespace rg_com_ptl_xyh {

Result<bool> rg_Announced::Was(std::int64_t castId, std::u16string_view issue) const {
  if (const rg_StoreStatus ready = store_->Ready(false); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  {
    rg_SqlStatement has(store_->Handle(),
                        u"SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                        u"name='xyh_announced';");
    const int rc = has.Valid() ? has.Step() : has.PrepareCode();
    store_->Record(rc);
    if (rc != SQLITE_ROW) return Fail(store_->LastStatus());
    if (has.ColumnInt(0) == 0) return false;
  }
  rg_SqlStatement s(store_->Handle(), u"SELECT 1 FROM xyh_announced WHERE castid=? AND issue=?;");
  if (!s.Valid()) return Fail(store_->Record(s.PrepareCode()));
  s.BindInt(1, castId);
  s.BindText(2, issue);
  const int rc = s.Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Fail(store_->Record(rc));
  store_->Record(SQLITE_DONE);
  return rc == SQLITE_ROW;
}

Result<void> rg_Announced::Mark(std::int64_t castId, std::u16string_view issue, double now) {
  if (const rg_StoreStatus ready = store_->Ready(true); ready != rg_StoreStatus::Ok)
    return Fail(ready);
  {
    rg_SqlStatement create(store_->Handle(),
                           u"CREATE TABLE IF NOT EXISTS xyh_announced (castid INTEGER NOT NULL,"
                           u"issue VARCHAR(32) NOT NULL,announced DOUBLE DEFAULT 0,"
                           u"PRIMARY KEY (castid,issue));");
    const int rc = create.Valid() ? create.Step() : create.PrepareCode();
    if (rc != SQLITE_DONE) return Fail(store_->Record(rc));
  }
  rg_SqlStatement s(
      store_->Handle(),
      u"INSERT OR IGNORE INTO xyh_announced (castid,issue,announced) VALUES (?,?,?);");
  if (!s.Valid()) return Fail(store_->Record(s.PrepareCode()));
  s.BindInt(1, castId);
  s.BindText(2, issue);
  s.BindDouble(3, now);
  const int rc = s.Step();
  store_->Record(rc);
  if (rc != SQLITE_DONE) return Fail(store_->LastStatus());
  return {};
}

}  // namespace rg_com_ptl_xyh
