#include "engine/record_step.h"

#include <algorithm>

#include "adif/adif_date.h"
#include "adif/adif_field_value.h"
#include "engine/error_file.h"
#include "engine/import_dialog_port.h"
#include "engine/sql_rendering.h"
#include "engine/sql_text.h"
#include "hostcalls/host_calls.h"
#include "logmodel/band_lookup.h"
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

// Searched from the end, where a record string holds its terminator.
bool HoldsEndOfRecord(std::u16string_view record) {
  constexpr std::u16string_view kEndOfRecord = u"<EOR>";
  for (std::size_t at = record.rfind(u'<'); at != std::u16string_view::npos;
       at = record.rfind(u'<', at - 1)) {
    const std::u16string_view tag = record.substr(at, kEndOfRecord.size());
    if (tag.size() == kEndOfRecord.size() && UpperAscii(tag[1]) == u'E' && UpperAscii(tag[2]) == u'O' &&
        UpperAscii(tag[3]) == u'R' && tag[4] == u'>') {
      return true;
    }
    if (at == 0) break;
  }
  return false;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

RecordStep::RecordStep(ImportDialogPort& dialog, IHostServer* server, ErrorFile& errorFile,
                       const Dictionaries& dictionaries, FieldLookup lookup)
    : dialog_(dialog), server_(server), errorFile_(errorFile), dictionaries_(dictionaries), lookup_(lookup) {}

RecordOutcome RecordStep::ImportRecord(std::u16string_view record, TLogStruct& fields, const TargetLog& log,
                                       ImportCounters& counters, std::u16string& statement) {
  statement.clear();
  conversionMessage_.clear();
  if (IsBlank(record) || IsTrailer(record, fields)) return RecordOutcome::Blank;
  Verdict verdict = Verdict::Accepted;
  try {
    const RecordFields values(record, lookup_, lengths_);
    verdict = PrepareRecord(values, fields, log);
  } catch (const EConvertError& error) {
    if (conversionMessage_.empty()) conversionMessage_ = error.Message;
    return Reject(record, counters.errors, RecordOutcome::Failed);
  }
  if (verdict == Verdict::Ignored) return Reject(record, counters.ignored, RecordOutcome::Ignored);
  return BuildStatement(fields, log.name, counters, statement);
}

RecordOutcome RecordStep::Reject(std::u16string_view record, std::int32_t& counter, RecordOutcome outcome) {
  ++counter;
  errorFile_.AppendErrorRecord(record);
  return outcome;
}

void RecordStep::NameFailure(std::u16string_view name, std::u16string_view value,
                             const EConvertError& error) {
  if (!conversionMessage_.empty()) return;
  conversionMessage_.assign(name);
  if (!value.empty()) conversionMessage_.append(u" "sv).append(value);
  conversionMessage_.append(u": "sv).append(error.Message);
}

// What follows the last "<EOR>" without a field the log reads is an
// end-of-file marker or a trailer line, not a QSO.
bool RecordStep::IsTrailer(std::u16string_view record, const TLogStruct& fields) const {
  if (HoldsEndOfRecord(record)) return false;
  const auto holds = [record](std::u16string_view name) {
    return !name.empty() && adif::ContainsUpper(record, u"<" + UpperAscii(name) + u":");
  };
  return std::none_of(fields.begin(), fields.end(), [&holds](const TLogField& field) {
    return holds(field.ADIFName) || holds(field.LinkedADIFName);
  });
}

// Everything that can fail to convert happens here, before the host is asked.
RecordStep::Verdict RecordStep::PrepareRecord(const RecordFields& record, TLogStruct& fields,
                                              const TargetLog& log) {
  ClassifyEntries(fields);
  outOfDate_ = ReadPass(record, fields, log.closeDate);
  if (outOfDate_) return Verdict::Ignored;
  if (recordOperator_ != log.logOperator) return Verdict::Ignored;
  ApplyCorrections(fields, dialog_.SelectedCorrectionMode());
  RenderLiterals(record, fields);
  return Verdict::Accepted;
}

bool RecordStep::ReadPass(const RecordFields& record, TLogStruct& fields, TDateTime closeDate) {
  recordOperator_.clear();
  rawOperator_.clear();
  rawBand_.clear();
  rawFrequency_.clear();
  bool outOfDate = false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TLogField& field = fields[i];
    try {
      field.Value = record.Get(field.ADIFName, field.Size);
    } catch (const EConvertError& error) {
      NameFailure(field.ADIFName, {}, error);
      throw;
    }
    if ((roles_[i] & kOperatorSource) && recordOperator_.empty()) {
      // Compared without the blanks and control characters that programs
      // leave around values.
      recordOperator_ = UpperAscii(TrimmedView(field.Value));
    }
    if (roles_[i] & kOperator) rawOperator_ = field.Value;
    if (roles_[i] & kBand) rawBand_ = field.Value;
    if (roles_[i] & kFrequency) rawFrequency_ = field.Value;
    if (field.Kind != ValueKind::DateTime) continue;
    try {
      if (IsOutOfDate(field, closeDate)) outOfDate = true;
    } catch (const EConvertError& error) {
      NameFailure(field.ADIFName, field.Value, error);
      throw;
    }
  }
  return outOfDate;
}

void RecordStep::RenderLiterals(const RecordFields& record, const TLogStruct& fields) {
  literals_.resize(fields.size());
  hasLiteral_.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TLogField& field = fields[i];
    literals_[i].clear();
    try {
      hasLiteral_[i] = AppendLiteral(literals_[i], field, record);
    } catch (const EConvertError& error) {
      // A date and time entry's date converted in the read pass already, so
      // what failed here is its linked time.
      if (field.Kind == ValueKind::DateTime && !field.LinkedADIFName.empty()) {
        NameFailure(field.LinkedADIFName, record.Get(field.LinkedADIFName, 6), error);
      } else {
        NameFailure(field.ADIFName, field.Value, error);
      }
      throw;
    }
  }
}

// INSERT when the log holds no QSO with the record's key, else UPDATE.
RecordOutcome RecordStep::BuildStatement(const TLogStruct& fields, std::u16string_view logName,
                                         ImportCounters& counters, std::u16string& statement) {
  if (quotedLogName_.empty() || logName_ != logName) {
    logName_ = logName;
    quotedLogName_ = QuoteSqlString(logName);
  }
  BuildKeyCondition(fields);
  if (StoredQsoExists(quotedLogName_)) {
    BuildUpdate(fields, quotedLogName_, statement);
    ++counters.updated;
    return RecordOutcome::Update;
  }
  BuildInsert(fields, quotedLogName_, statement);
  ++counters.inserted;
  return RecordOutcome::Insert;
}

// The key columns of the corrected values; an empty key value matches a
// stored NULL.
void RecordStep::BuildKeyCondition(const TLogStruct& fields) {
  keyCondition_.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].IsKey || !hasLiteral_[i]) continue;
    if (!keyCondition_.empty()) keyCondition_ += u" AND"sv;
    keyCondition_.append(kPartBreak).append(u"("sv);
    if (roles_[i] & (kBand | kOperator)) {
      AppendFillableKey(fields[i], roles_[i]);
    } else if (literals_[i] == u"NULL"sv) {
      keyCondition_.append(fields[i].Column).append(u" IS NULL"sv);
    } else {
      keyCondition_.append(fields[i].Column).append(u"="sv).append(literals_[i]);
    }
    keyCondition_ += u')';
  }
}

// The band and the operator are filled in mode 2 only (from the frequency,
// from STATION_CALLSIGN), and an operator may be stored as read or trimmed
// and upper-cased. So the same QSO can be stored with any of the values the
// three modes give, or with NULL where a mode left the column empty: all of
// them match, whatever mode the record is imported in now.
void RecordStep::AppendFillableKey(const TLogField& field, std::uint8_t role) {
  keyAlternatives_.clear();
  AddKeyAlternative(field.Value);
  if (role & kOperator) {
    AddKeyAlternative(rawOperator_);
    AddKeyAlternative(recordOperator_);
  } else {
    AddKeyAlternative(rawBand_);
    if (TrimmedView(rawBand_).empty() && !rawFrequency_.empty()) {
      try {
        filledBand_ = FrequencyToBand(rawFrequency_);
        AddKeyAlternative(filledBand_);
      } catch (const EConvertError&) {
        // No mode can store a band for a frequency that does not convert.
      }
    }
  }
  for (std::u16string_view value : keyAlternatives_) {
    keyCondition_.append(field.Column).append(u"="sv);
    AppendQuotedSqlString(keyCondition_, value);
    keyCondition_.append(u" OR "sv);
  }
  keyCondition_.append(field.Column).append(u" IS NULL"sv);
}

// Text columns compare without regard to letter case, so values that
// differ only in case are one alternative; an empty value is NULL.
void RecordStep::AddKeyAlternative(std::u16string_view value) {
  if (value.empty()) return;
  for (std::u16string_view known : keyAlternatives_) {
    if (SameIgnoringCase(known, value)) return;
  }
  keyAlternatives_.push_back(value);
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
