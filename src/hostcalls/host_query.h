// One query of the host's database, read row by row. The handle is created
// on construction; from then on the query is closed and then freed however
// the reading ends. Every host call goes through Check.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/date_time.h"

namespace quillet {

class HostQuery {
 public:
  explicit HostQuery(IHostServer* server);
  // Closes and frees the query when End() did not; failures are then
  // dropped, as an exception is already on its way.
  ~HostQuery();
  HostQuery(const HostQuery&) = delete;
  HostQuery& operator=(const HostQuery&) = delete;

  // Sets the statement and runs it; the number of rows the host reports.
  std::int32_t Open(std::u16string_view sql);
  void First();
  bool Eof();
  void Next();

  // Columns of the current row.
  std::u16string String(std::u16string_view field);
  std::int32_t Integer(std::u16string_view field);
  // The date and time of the column; fallback when it holds no value.
  TDateTime DateTime(std::u16string_view field, TDateTime fallback);

  // Closes and frees the query, raising on failure; FreeQuery follows a
  // failed CloseQuery all the same.
  void End();

 private:
  IHostServer* server_;
  QueryHandle handle_ = 0;
  bool ended_ = false;
};

}  // namespace quillet
