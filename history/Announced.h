#pragma once
// Which wins the player has been told of: one row per saved cast and the
// draw it won on, in a table of its own (xyh_announced), so that a win is
// announced once, also across restarts. The other tables are never
// touched from here.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace rg_com_ptl_xyh {

class rg_EasyDb;

class rg_Announced {
 public:
  explicit rg_Announced(rg_EasyDb& store) : store_(&store) {}

  static constexpr std::u16string_view kTable = u"xyh_announced";

  // False also while the table does not exist yet; a failure carries the
  // store's status.
  Result<bool> Was(std::int64_t castId, std::u16string_view issue) const;
  // Remembers the win (once; a second call changes nothing).
  Result<void> Mark(std::int64_t castId, std::u16string_view issue, double now);

 private:
  rg_EasyDb* store_;
};

}  // namespace rg_com_ptl_xyh
