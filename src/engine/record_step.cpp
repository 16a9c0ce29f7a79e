#include "engine/record_step.h"

#include <algorithm>

#include "adif/value_conversion.h"
#include "engine/error_file.h"
#include "engine/host_calls.h"
#include "engine/import_dialog_port.h"
#include "engine/import_engine.h"
#include "engine/sql_rendering.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

constexpr std::u16string_view kPartBreak = u"\r\n\t";

// Blanks and control characters only.
bool IsBlank(std::u16string_view record) {
  return std::all_of(record.begin(), record.end(), [](char16_t c) { return c <= u' '; });
}

// A QSO dated on the closing date or the day after passes; there is no
// lower bound.
bool IsOutOfDate(const TLogField& field, TDateTime closeDate) {
  return AdifDateValue(field.Value) > closeDate + 1.0;
}

}  // namespace

RecordStep::RecordStep(ImportDialogPort& dialog, IHostServer* server, ErrorFile& errorFile,
                       FieldLookup lookup)
    : dialog_(dialog), server_(server), errorFile_(errorFile), lookup_(lookup) {}

RecordOutcome RecordStep::ImportRecord(std::u16string_view record, TLogStruct& fields, const TargetLog& log,
                                       ImportCounters& counters, std::u16string& statement) {
  statement.clear();
  conversionMessage_.clear();
  if (IsBlank(record)) return RecordOutcome::Blank;
  Verdict verdict = Verdict::Accepted;
  try {
    const RecordFields values(record, lookup_);
    verdict = PrepareRecord(values, fields, log);
  } catch (const EConvertError& error) {
    conversionMessage_ = error.Message;
    return Reject(record, counters.errors, RecordOutcome::Failed);
  }
  if (verdict == Verdict::Ignored) return Reject(record, counters.ignored, RecordOutcome::Ignored);
  BuildStatement(fields, log.name, counters, statement);
  return RecordOutcome::Statement;
}

RecordOutcome RecordStep::Reject(std::u16string_view record, std::int32_t& counter, RecordOutcome outcome) {
  ++counter;
  errorFile_.AppendErrorRecord(ErrorFilePath, record);
  return outcome;
}

// Everything that can fail to convert happens here, before the host is asked.
RecordStep::Verdict RecordStep::PrepareRecord(const RecordFields& record, TLogStruct& fields,
                                              const TargetLog& log) {
  ClassifyEntries(fields);
  if (ReadPass(record, fields, log.closeDate)) return Verdict::Ignored;
  if (recordOperator_ != log.logOperator) return Verdict::Ignored;
  ApplyCorrections(fields, dialog_.CorrectionMode());
  RenderLiterals(record, fields);
  return Verdict::Accepted;
}

bool RecordStep::ReadPass(const RecordFields& record, TLogStruct& fields, TDateTime closeDate) {
  recordOperator_.clear();
  rawBand_.clear();
  rawFrequency_.clear();
  bool outOfDate = false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TLogField& field = fields[i];
    field.Value = record.Get(field.ADIFName, field.Size);
    if ((roles_[i] & kOperatorSource) && recordOperator_.empty()) recordOperator_ = UpperAscii(field.Value);
    if (roles_[i] & kBand) rawBand_ = field.Value;
    if (roles_[i] & kFrequency) rawFrequency_ = field.Value;
    if (field.Kind == 7 && IsOutOfDate(field, closeDate)) outOfDate = true;
  }
  return outOfDate;
}

void RecordStep::RenderLiterals(const RecordFields& record, const TLogStruct& fields) {
  literals_.resize(fields.size());
  hasLiteral_.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    literals_[i].clear();
    hasLiteral_[i] = AppendLiteral(literals_[i], fields[i], record);
  }
}

// INSERT when the log holds no QSO with the record's key, else UPDATE.
void RecordStep::BuildStatement(const TLogStruct& fields, std::u16string_view logName,
                                ImportCounters& counters, std::u16string& statement) {
  if (quotedLogName_.empty() || logName_ != logName) {
    logName_ = logName;
    quotedLogName_ = QuoteSqlString(logName);
  }
  BuildKeyCondition(fields);
  if (StoredQsoExists(quotedLogName_)) {
    BuildUpdate(fields, quotedLogName_, statement);
    ++counters.updated;
  } else {
    BuildInsert(fields, quotedLogName_, statement);
    ++counters.inserted;
  }
}

// The key columns of the corrected values; an empty key value matches a
// stored NULL.
void RecordStep::BuildKeyCondition(const TLogStruct& fields) {
  keyCondition_.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].IsKey || !hasLiteral_[i]) continue;
    if (!keyCondition_.empty()) keyCondition_ += u" AND"sv;
    keyCondition_.append(kPartBreak).append(u"("sv).append(fields[i].Column);
    if (literals_[i] == u"NULL"sv) {
      keyCondition_ += u" IS NULL)"sv;
    } else {
      keyCondition_.append(u"="sv).append(literals_[i]).append(u")"sv);
    }
  }
}

bool RecordStep::StoredQsoExists(std::u16string_view quotedLogName) {
  if (keyCondition_.empty()) return false;
  countCondition_.assign(u"LOGNAME="sv).append(quotedLogName).append(u" AND "sv).append(keyCondition_);
  return host_calls::GetRecordCountWhere(server_, u"LOGS"sv, countCondition_) >= 1;
}

// The part up to the values depends only on which entries render, which
// rarely changes between records, so the last one is kept.
void RecordStep::BuildInsert(const TLogStruct& fields, std::u16string_view quotedLogName,
                             std::u16string& statement) {
  if (insertHeadFor_ != hasLiteral_ || insertHeadName_ != quotedLogName) {
    insertHead_.assign(u"INSERT INTO LOGS (LOGNAME"sv);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (hasLiteral_[i] && (roles_[i] & kWritten)) insertHead_.append(u","sv).append(fields[i].Column);
    }
    insertHead_.append(u")"sv).append(kPartBreak).append(u"VALUES("sv).append(quotedLogName);
    insertHeadFor_ = hasLiteral_;
    insertHeadName_ = quotedLogName;
  }
  statement.assign(insertHead_);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (hasLiteral_[i] && (roles_[i] & kWritten)) statement.append(u","sv).append(literals_[i]);
  }
  statement += u')';
}

// Sets only what the record carries, so a partial record keeps the stored
// values of the columns it lacks.
void RecordStep::BuildUpdate(const TLogStruct& fields, std::u16string_view quotedLogName,
                             std::u16string& statement) const {
  statement.assign(u"UPDATE LOGS SET\r\n"sv);
  const std::size_t setStart = statement.size();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TLogField& field = fields[i];
    if (field.IsKey || !(roles_[i] & kWritten) || field.Value.empty() || !hasLiteral_[i]) continue;
    if (statement.size() > setStart) statement.append(u","sv).append(kPartBreak);
    statement.append(field.Column).append(u"="sv).append(literals_[i]);
  }
  if (statement.size() == setStart) statement.append(u"LOGNAME="sv).append(quotedLogName);
  statement.append(u"\r\nWHERE LOGNAME="sv).append(quotedLogName);
  statement.append(u" AND "sv).append(keyCondition_).append(u";"sv);
}

void SetFieldValue(TLogStruct& fields, std::u16string_view adifName, std::u16string_view value) {
  for (TLogField& field : fields) {
    if (field.ADIFName == adifName) {
      field.Value = value;
      return;
    }
  }
}

}  // namespace quillet
