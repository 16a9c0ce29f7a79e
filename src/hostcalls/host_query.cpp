#include "hostcalls/host_query.h"

#include "runtime/bstr.h"
#include "runtime/safe_call.h"

namespace quillet {
namespace {

// For the destructor: a failure there has nowhere to go, and an exception
// would end the process while another one unwinds.
void CheckQuietly(HRESULT status) noexcept {
  try {
    Check(status);
  } catch (...) {
  }
}

}  // namespace

HostQuery::HostQuery(IHostServer* server) : server_(server) { Check(server_->CreateQuery(&handle_)); }

// Close, then free, as the protocol asks; End has done both when it ran.
HostQuery::~HostQuery() {
  if (ended_) return;
  CheckQuietly(server_->CloseQuery(handle_));
  CheckQuietly(server_->FreeQuery(handle_));
}

std::int32_t HostQuery::Open(std::u16string_view sql) {
  const BString statement(sql);
  Check(server_->SetQuerySQL(handle_, statement.get()));
  std::int32_t count = 0;
  Check(server_->OpenQuery(handle_, &count));
  return count;
}

void HostQuery::First() { Check(server_->QueryFirst(handle_)); }

bool HostQuery::Eof() {
  Flag eof = kFalse;
  Check(server_->QueryEof(handle_, &eof));
  return eof != kFalse;
}

void HostQuery::Next() { Check(server_->QueryNext(handle_)); }

std::u16string HostQuery::String(std::u16string_view field) {
  const BString name(field);
  BString value;
  Flag hasValue = kFalse;
  // By reference: the host frees what the variable held and puts its own
  // string there.
  Check(server_->GetFieldString(handle_, name.get(), value.inOut(), &hasValue));
  return value.Text();
}

std::int32_t HostQuery::Integer(std::u16string_view field) {
  const BString name(field);
  std::int32_t value = 0;
  Flag hasValue = kFalse;
  Check(server_->GetFieldInteger(handle_, name.get(), &value, &hasValue));
  return value;
}

TDateTime HostQuery::DateTime(std::u16string_view field, TDateTime fallback) {
  const BString name(field);
  std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  Flag hasValue = kFalse;
  Check(server_->GetFieldDateTime(handle_, name.get(), &year, &month, &day, &hour, &minute, &second,
                                  &hasValue));
  // A NULL date is not 1899-12-30: the caller says what stands for it.
  if (hasValue == kFalse) return fallback;
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

// Marked ended before the calls: whatever they raise, the destructor must
// not close or free the handle a second time. When closing fails, the
// handle is still freed, and the close failure is the one reported.
void HostQuery::End() {
  ended_ = true;
  try {
    Check(server_->CloseQuery(handle_));
  } catch (...) {
    CheckQuietly(server_->FreeQuery(handle_));
    throw;
  }
  Check(server_->FreeQuery(handle_));
}

}  // namespace quillet
