#include "engine/record_step.h"

#include <algorithm>

#include "adif/adif_date.h"
#include "adif/adif_field_value.h"
#include "engine/error_file.h"
#include "engine/import_dialog_port.h"
#include "engine/match_window.h"
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
  failureReason_.clear();
  if (IsBlank(record) || IsTrailer(record, fields)) return RecordOutcome::Blank;
  Verdict verdict = Verdict::Accepted;
  try {
    const RecordFields values(record, lookup_, lengths_);
    verdict = PrepareRecord(values, fields, log);
  } catch (const EConvertError& error) {
    if (failureReason_.empty()) failureReason_ = error.Message;
    return Reject(record, counters.errors, RecordOutcome::Failed);
  }
  if (verdict == Verdict::Ignored) return Reject(record, counters.ignored, RecordOutcome::Ignored);
  return BuildStatement(record, fields, log.name, counters, statement);
}

RecordOutcome RecordStep::Reject(std::u16string_view record, std::int32_t& counter, RecordOutcome outcome) {
  ++counter;
  errorFile_.AppendErrorRecord(record);
  return outcome;
}

void RecordStep::NameFailure(std::u16string_view name, std::u16string_view value,
                             const EConvertError& error) {
  if (!failureReason_.empty()) return;
  failureReason_.assign(name);
  if (!value.empty()) failureReason_.append(u" "sv).append(value);
  failureReason_.append(u": "sv).append(error.Message);
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
  mode_ = dialog_.SelectedCorrectionMode();
  ApplyCorrections(fields, mode_);
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
    if (roles_[i] & kOperator) {
      // Stored trimmed in every mode; the value as read still matches QSOs
      // stored before.
      rawOperator_ = field.Value;
      field.Value = Trim(field.Value);
    }
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
RecordOutcome RecordStep::BuildStatement(std::u16string_view record, const TLogStruct& fields,
                                         std::u16string_view logName, ImportCounters& counters,
                                         std::u16string& statement) {
  if (quotedLogName_.empty() || logName_ != logName) {
    logName_ = logName;
    quotedLogName_ = QuoteSqlString(logName);
  }
  holdsConfirmation_ = false;
  matchedWindow_ = 0;
  const std::u16string* where = nullptr;
  if (!ChooseStoredQsos(fields, quotedLogName_, where)) {
    return Reject(record, counters.errors, RecordOutcome::Failed);
  }
  if (where != nullptr) {
    BuildUpdate(fields, quotedLogName_, *where, statement);
    ++counters.updated;
    if (holdsConfirmation_) ++counters.withConfirmation;
    if (matchedWindow_ > 0) ++counters.matchedWithin[MatchWindowIndex(matchedWindow_)];
    return RecordOutcome::Update;
  }
  BuildInsert(fields, quotedLogName_, statement);
  ++counters.inserted;
  return RecordOutcome::Insert;
}

// Where the key admits several stored QSOs, only those equal to the
// record on every key column it carries are its own; QSOs that differ from
// it only by an empty band or operator are distinct QSOs, and which one
// the record means is not guessed. Neither is the nearest of several
// within the window.
bool RecordStep::ChooseStoredQsos(const TLogStruct& fields, std::u16string_view quotedLogName,
                                  const std::u16string*& where) {
  where = nullptr;
  BuildKeyCondition(fields, KeyForm::AdmitNull, 0, keyCondition_);
  const std::int32_t matched = CountStoredQsos(quotedLogName, keyCondition_);
  if (matched == 1) {
    where = &keyCondition_;
    return true;
  }
  if (matched > 1) {
    BuildKeyCondition(fields, KeyForm::Exact, 0, narrowCondition_);
    if (CountStoredQsos(quotedLogName, narrowCondition_) < 1) {
      failureReason_ = FormatText(u"matches %d stored QSOs", {matched});
      return false;
    }
    where = &narrowCondition_;
    return true;
  }
  const int window = dialog_.SelectedMatchWindow();
  if (window <= 0 || !BuildKeyCondition(fields, KeyForm::Window, window, narrowCondition_)) return true;
  const std::int32_t nearby = CountStoredQsos(quotedLogName, narrowCondition_);
  if (nearby > 1) {
    failureReason_ = FormatText(u"matches %d stored QSOs within %s", {nearby, MinutesText(window)});
    return false;
  }
  if (nearby == 1) {
    where = &narrowCondition_;
    matchedWindow_ = window;
  }
  return true;
}

// The key columns of the corrected values; an empty key value matches a
// stored NULL.
bool RecordStep::BuildKeyCondition(const TLogStruct& fields, KeyForm form, int window,
                                   std::u16string& condition) {
  condition.clear();
  bool windowed = false;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TLogField& field = fields[i];
    if (!field.IsKey || !hasLiteral_[i]) continue;
    if (!condition.empty()) condition += u" AND"sv;
    condition.append(kPartBreak).append(u"("sv);
    if (roles_[i] & (kBand | kOperator)) {
      AppendFillableKey(field, roles_[i], form, condition);
    } else if (literals_[i] == u"NULL"sv) {
      condition.append(field.Column).append(u" IS NULL"sv);
    } else if (form == KeyForm::Window && field.Kind == ValueKind::DateTime) {
      const std::u16string range = WindowRange(field.Column, literals_[i], window);
      if (range.empty()) return false;
      condition += range;
      windowed = true;
    } else {
      condition.append(field.Column).append(u"="sv).append(literals_[i]);
    }
    condition += u')';
  }
  return form != KeyForm::Window || windowed;
}

// The band and the operator are filled in mode 2 only (from the frequency,
// from STATION_CALLSIGN), and an operator may be stored as read or trimmed
// and upper-cased. So the same QSO can be stored with any of the values the
// three modes give, or with NULL where a mode left the column empty: all of
// them match, whatever mode the record is imported in now. The exact form
// leaves NULL out when the record has a value.
void RecordStep::AppendFillableKey(const TLogField& field, std::uint8_t role, KeyForm form,
                                   std::u16string& condition) {
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
  for (std::size_t i = 0; i < keyAlternatives_.size(); ++i) {
    if (i > 0) condition.append(u" OR "sv);
    condition.append(field.Column).append(u"="sv);
    AppendQuotedSqlString(condition, keyAlternatives_[i]);
  }
  if (form == KeyForm::Exact && !keyAlternatives_.empty()) return;
  if (!keyAlternatives_.empty()) condition.append(u" OR "sv);
  condition.append(field.Column).append(u" IS NULL"sv);
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

std::int32_t RecordStep::CountStoredQsos(std::u16string_view quotedLogName, std::u16string_view condition) {
  if (condition.empty()) return 0;
  countCondition_.assign(u"LOGNAME="sv).append(quotedLogName).append(u" AND "sv).append(condition);
  return host_calls::GetRecordCountWhere(server_, u"LOGS"sv, countCondition_);
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
// values of the columns it lacks. A status flag only goes up: a record
// whose logger had not yet heard of a confirmation must not clear it. The
// band and operator, where the corrections read or filled them, are set:
// the key admits only them (in any letter case) or NULL, so this fills
// what an earlier import left empty. Within a window the stored QSO keeps
// its own time.
void RecordStep::BuildUpdate(const TLogStruct& fields, std::u16string_view quotedLogName,
                             std::u16string_view where, std::u16string& statement) {
  const bool setsFilledKeys = mode_ != CorrectionMode::None;
  statement.assign(u"UPDATE LOGS SET\r\n"sv);
  const std::size_t setStart = statement.size();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TLogField& field = fields[i];
    const std::uint8_t role = roles_[i];
    if (!(role & kWritten) || field.Value.empty() || !hasLiteral_[i]) continue;
    if (field.IsKey && !(setsFilledKeys && (role & (kBand | kOperator)))) continue;
    if (matchedWindow_ > 0 && (role & kKeyTime)) continue;
    if (field.Kind == ValueKind::Boolean) {
      if (field.Value != u"Y"sv) continue;
      holdsConfirmation_ = true;
    }
    if (statement.size() > setStart) statement.append(u","sv).append(kPartBreak);
    statement.append(field.Column).append(u"="sv).append(literals_[i]);
  }
  if (statement.size() == setStart) statement.append(u"LOGNAME="sv).append(quotedLogName);
  statement.append(u"\r\nWHERE LOGNAME="sv).append(quotedLogName);
  statement.append(u" AND "sv).append(where).append(u";"sv);
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
