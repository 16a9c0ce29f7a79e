#include "engine/qso_plan.h"

#include <algorithm>

#include "adif/adif_date.h"
#include "adif/adif_field_value.h"
#include "engine/match_window.h"
#include "engine/sql_rendering.h"
#include "engine/sql_text.h"
#include "logmodel/band_lookup.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

// Each condition and each SET item on a line of its own, as the host's
// journal shows statements.
constexpr std::u16string_view kPartBreak = u"\r\n\t";

// Blanks and control characters only.
bool IsBlank(std::u16string_view record) {
  return std::all_of(record.begin(), record.end(), [](char16_t c) { return c <= u' '; });
}

// A QSO dated on the closing date or the day after passes (the closing day
// ends at midnight, and a date without a time is that midnight); there is
// no lower bound.
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

QsoPlanner::QsoPlanner(const TLogStruct& fields) : fields_(fields) { ClassifyEntries(); }

void QsoPlanner::Plan(std::u16string_view record, const PlanSettings& settings,
                      const Dictionaries& dictionaries, QsoPlan& plan) {
  plan.verdict = PlanVerdict::Blank;
  plan.reason.clear();
  plan.recordOperator.clear();
  plan.holdsConfirmation = false;
  plan.insert.clear();
  plan.update.clear();
  plan.windowUpdate.clear();
  plan.keyCondition.clear();
  plan.exactCondition.clear();
  plan.windowCondition.clear();
  if (IsBlank(record) || IsTrailer(record)) return;
  // The list's description is copied once; only the values change between
  // records.
  if (plan.values.size() != fields_.size()) plan.values = fields_;
  try {
    const RecordFields values(record, settings.lookup, settings.lengths);
    if (!PrepareRecord(values, settings, dictionaries, plan)) {
      plan.verdict = PlanVerdict::Ignored;
      return;
    }
  } catch (const EConvertError& error) {
    if (plan.reason.empty()) plan.reason = error.Message;
    plan.verdict = PlanVerdict::Rejected;
    return;
  }
  BuildStatements(settings, plan);
  plan.verdict = PlanVerdict::Accepted;
}

void QsoPlanner::NameFailure(std::u16string_view name, std::u16string_view value, const EConvertError& error,
                             QsoPlan& plan) const {
  if (!plan.reason.empty()) return;
  plan.reason.assign(name);
  if (!value.empty()) plan.reason.append(u" "sv).append(value);
  plan.reason.append(u": "sv).append(error.Message);
}

// What follows the last "<EOR>" without a field the log reads is an
// end-of-file marker or a trailer line, not a QSO.
bool QsoPlanner::IsTrailer(std::u16string_view record) const {
  if (HoldsEndOfRecord(record)) return false;
  const auto holds = [record](std::u16string_view name) {
    return !name.empty() && adif::ContainsUpper(record, u"<" + UpperAscii(name) + u":");
  };
  return std::none_of(fields_.begin(), fields_.end(), [&holds](const TLogField& field) {
    return holds(field.ADIFName) || holds(field.LinkedADIFName);
  });
}

// Everything that can fail to convert happens here, before the host is
// asked: a record either fails whole or is planned whole. A value that does
// not convert fails the record even when its date or operator would have
// ignored it.
bool QsoPlanner::PrepareRecord(const RecordFields& record, const PlanSettings& settings,
                               const Dictionaries& dictionaries, QsoPlan& plan) {
  const bool outOfDate = ReadPass(record, settings.log.closeDate, plan);
  if (outOfDate) {
    plan.cause = IgnoredCause::OutOfDate;
    return false;
  }
  if (plan.recordOperator != settings.log.logOperator) {
    plan.cause = IgnoredCause::Operator;
    return false;
  }
  ApplyCorrections(settings.mode, dictionaries, plan);
  RenderLiterals(record, plan);
  return true;
}

bool QsoPlanner::ReadPass(const RecordFields& record, TDateTime closeDate, QsoPlan& plan) {
  rawOperator_.clear();
  rawBand_.clear();
  rawFrequency_.clear();
  bool outOfDate = false;
  for (std::size_t i = 0; i < plan.values.size(); ++i) {
    TLogField& field = plan.values[i];
    try {
      field.Value = record.Get(field.ADIFName, field.Size);
    } catch (const EConvertError& error) {
      NameFailure(field.ADIFName, {}, error, plan);
      throw;
    }
    if ((roles_[i] & kOperatorSource) && plan.recordOperator.empty()) {
      // Compared without the blanks and control characters that programs
      // leave around values.
      plan.recordOperator = UpperAscii(TrimmedView(field.Value));
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
      NameFailure(field.ADIFName, field.Value, error, plan);
      throw;
    }
  }
  return outOfDate;
}

void QsoPlanner::RenderLiterals(const RecordFields& record, QsoPlan& plan) {
  const TLogStruct& values = plan.values;
  literals_.resize(values.size());
  hasLiteral_.resize(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TLogField& field = values[i];
    literals_[i].clear();
    try {
      hasLiteral_[i] = AppendLiteral(literals_[i], field, record);
    } catch (const EConvertError& error) {
      // A date and time entry's date converted in the read pass already, so
      // what failed here is its linked time.
      if (field.Kind == ValueKind::DateTime && !field.LinkedADIFName.empty()) {
        NameFailure(field.LinkedADIFName, record.Get(field.LinkedADIFName, 6), error, plan);
      } else {
        NameFailure(field.ADIFName, field.Value, error, plan);
      }
      throw;
    }
  }
}

// Every text the run may choose between: which applies depends on what the
// host holds, which only the run asks.
void QsoPlanner::BuildStatements(const PlanSettings& settings, QsoPlan& plan) {
  if (quotedLogName_.empty() || logName_ != settings.log.name) {
    logName_ = settings.log.name;
    quotedLogName_ = QuoteSqlString(settings.log.name);
  }
  BuildKeyConditions(plan.values, plan.recordOperator, plan.keyCondition, plan.exactCondition);
  BuildInsert(plan.values, plan.insert);
  BuildUpdate(plan.values, settings.mode, false, plan.update, plan.holdsConfirmation);
  if (settings.matchWindow <= 0) return;
  if (!BuildWindowCondition(plan.values, plan.recordOperator, settings.matchWindow, plan.windowCondition)) {
    plan.windowCondition.clear();
    return;
  }
  bool holdsConfirmation = false;
  BuildUpdate(plan.values, settings.mode, true, plan.windowUpdate, holdsConfirmation);
}

// The key columns of the corrected values in the two forms the existence
// queries ask, built in one pass as they differ only in the band and the
// operator. An empty key value matches a stored NULL.
void QsoPlanner::BuildKeyConditions(const TLogStruct& values, std::u16string_view recordOperator,
                                    std::u16string& key, std::u16string& exact) {
  key.clear();
  exact.clear();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TLogField& field = values[i];
    if (!field.IsKey || !hasLiteral_[i]) continue;
    if (!key.empty()) {
      key += u" AND"sv;
      exact += u" AND"sv;
    }
    key.append(kPartBreak).append(u"("sv);
    exact.append(kPartBreak).append(u"("sv);
    if (roles_[i] & (kBand | kOperator)) {
      // The exact form leaves NULL out when the record has a value.
      const bool any = AppendAlternatives(field, roles_[i], recordOperator, term_);
      key += term_;
      if (any) key += u" OR "sv;
      key.append(field.Column).append(u" IS NULL"sv);
      if (any) {
        exact += term_;
      } else {
        exact.append(field.Column).append(u" IS NULL"sv);
      }
    } else {
      const std::size_t start = key.size();
      AppendPlainKey(field, literals_[i], key);
      exact.append(key, start);
    }
    key += u')';
    exact += u')';
  }
}

// The stored QSOs the key admits with a time within window minutes of the
// record's; false without a date and time to centre the window on.
bool QsoPlanner::BuildWindowCondition(const TLogStruct& values, std::u16string_view recordOperator,
                                      int window, std::u16string& condition) {
  condition.clear();
  bool windowed = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TLogField& field = values[i];
    if (!field.IsKey || !hasLiteral_[i]) continue;
    if (!condition.empty()) condition += u" AND"sv;
    condition.append(kPartBreak).append(u"("sv);
    if (roles_[i] & (kBand | kOperator)) {
      if (AppendAlternatives(field, roles_[i], recordOperator, term_))
        condition.append(term_).append(u" OR "sv);
      condition.append(field.Column).append(u" IS NULL"sv);
    } else if (field.Kind == ValueKind::DateTime && literals_[i] != u"NULL"sv) {
      const std::u16string range = WindowRange(field.Column, literals_[i], window);
      if (range.empty()) return false;
      condition += range;
      windowed = true;
    } else {
      AppendPlainKey(field, literals_[i], condition);
    }
    condition += u')';
  }
  return windowed;
}

void QsoPlanner::AppendPlainKey(const TLogField& field, std::u16string_view literal,
                                std::u16string& condition) {
  if (literal == u"NULL"sv) {
    condition.append(field.Column).append(u" IS NULL"sv);
  } else {
    condition.append(field.Column).append(u"="sv).append(literal);
  }
}

// The band and the operator are filled in mode 2 only (from the frequency,
// from STATION_CALLSIGN), and an operator may be stored as read or trimmed
// and upper-cased. So the same QSO can be stored with any of the values the
// three modes give, or with NULL where a mode left the column empty: all of
// them match, whatever mode the record is imported in now. Sets term to
// "column='a' OR column='b'"; false (term empty) when there is no value.
bool QsoPlanner::AppendAlternatives(const TLogField& field, std::uint8_t role,
                                    std::u16string_view recordOperator, std::u16string& term) {
  term.clear();
  keyAlternatives_.clear();
  AddKeyAlternative(field.Value);
  if (role & kOperator) {
    AddKeyAlternative(rawOperator_);
    AddKeyAlternative(recordOperator);
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
    if (i > 0) term.append(u" OR "sv);
    term.append(field.Column).append(u"="sv);
    AppendQuotedSqlString(term, keyAlternatives_[i]);
  }
  return !keyAlternatives_.empty();
}

// Text columns compare without regard to letter case, so values that
// differ only in case are one alternative; an empty value is NULL.
void QsoPlanner::AddKeyAlternative(std::u16string_view value) {
  if (value.empty()) return;
  for (std::u16string_view known : keyAlternatives_) {
    if (SameIgnoringCase(known, value)) return;
  }
  keyAlternatives_.push_back(value);
}

void QsoPlanner::BuildInsert(const TLogStruct& values, std::u16string& statement) {
  if (insertHeadFor_ != hasLiteral_ || insertHeadName_ != quotedLogName_) {
    insertHead_.assign(u"INSERT INTO LOGS (LOGNAME"sv);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (hasLiteral_[i] && (roles_[i] & kWritten)) insertHead_.append(u","sv).append(values[i].Column);
    }
    insertHead_.append(u")"sv).append(kPartBreak).append(u"VALUES("sv).append(quotedLogName_);
    insertHeadFor_ = hasLiteral_;
    insertHeadName_ = quotedLogName_;
  }
  statement.assign(insertHead_);
  for (std::size_t i = 0; i < values.size(); ++i) {
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
// its own time. A record that sets nothing still needs a SET item: LOGNAME
// is set to what it is.
void QsoPlanner::BuildUpdate(const TLogStruct& values, CorrectionMode mode, bool keepsStoredTime,
                             std::u16string& statement, bool& holdsConfirmation) const {
  const bool setsFilledKeys = mode != CorrectionMode::None;
  statement.assign(u"UPDATE LOGS SET\r\n"sv);
  const std::size_t setStart = statement.size();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TLogField& field = values[i];
    const std::uint8_t role = roles_[i];
    if (!(role & kWritten) || field.Value.empty() || !hasLiteral_[i]) continue;
    if (field.IsKey && !(setsFilledKeys && (role & (kBand | kOperator)))) continue;
    if (keepsStoredTime && (role & kKeyTime)) continue;
    if (field.Kind == ValueKind::Boolean) {
      if (field.Value != u"Y"sv) continue;
      holdsConfirmation = true;
    }
    if (statement.size() > setStart) statement.append(u","sv).append(kPartBreak);
    statement.append(field.Column).append(u"="sv).append(literals_[i]);
  }
  if (statement.size() == setStart) statement.append(u"LOGNAME="sv).append(quotedLogName_);
  statement.append(u"\r\nWHERE LOGNAME="sv).append(quotedLogName_).append(u" AND "sv);
}

QsoPlan PlanRecord(std::u16string_view record, const TLogStruct& fields, const PlanSettings& settings,
                   const Dictionaries& dictionaries) {
  QsoPlanner planner(fields);
  QsoPlan plan;
  planner.Plan(record, settings, dictionaries, plan);
  return plan;
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
