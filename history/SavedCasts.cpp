#include "history/SavedCasts.h"

#include <sqlite3.h>

#include "history/EasyDb.h"
#include "history/SqlStatement.h"

namespace rg_com_ptl_xyh {

std::vector<rg_YsModel> LoadAllCasts(const rg_EasyDb& store) {
  std::vector<rg_YsModel> out;
  rg_SqlStatement s(store.Connection(),
                    u"SELECT _id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo "
                    u"FROM xyh_table ORDER BY ysday DESC,_id DESC;");
  std::u16string scratch;
  while (s.Step() == SQLITE_ROW) {
    rg_YsModel& r = out.emplace_back();
    r._id = static_cast<std::int32_t>(s.ColumnInt(0));
    r.ysname = s.ColumnText(1);
    r.ysindex = static_cast<std::int32_t>(s.ColumnInt(2));
    r.ysnumber = s.ColumnText(3);
    r.ysday = s.ColumnDouble(4);
    r.gzsxid = static_cast<std::int32_t>(s.ColumnInt(5));
    r.upstr = s.ColumnText(6);
    r.downstr = s.ColumnText(7);
    r.AppendDongFromText(s.ColumnText(8, scratch));
    r.rot = static_cast<std::int32_t>(s.ColumnInt(9));
    r.uinfo = s.ColumnText(10);
  }
  return out;
}

std::vector<std::pair<std::int32_t, double>> ListCastTimes(const rg_EasyDb& store) {
  std::vector<std::pair<std::int32_t, double>> out;
  rg_SqlStatement s(store.Connection(), u"SELECT _id,ysday FROM xyh_table;");
  while (s.Step() == SQLITE_ROW) out.emplace_back(static_cast<std::int32_t>(s.ColumnInt(0)), s.ColumnDouble(1));
  return out;
}

}  // namespace rg_com_ptl_xyh
