// The planner: what one ADIF record string means for the current log,
// decided from the record and the run's settings alone. It reads, tests and
// corrects the values and writes the SQL text; it never asks the host,
// touches the dialog or writes the error file, so that the run (import_run)
// is the one place where a record has effects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_field_index.h"
#include "engine/correction_mode.h"
#include "engine/record_fields.h"
#include "engine/target_log.h"
#include "logmodel/log_table.h"

namespace quillet {

class Dictionaries;
class EConvertError;

// What a run decides once, at its start, for all its records.
struct PlanSettings {
  TargetLog log;
  CorrectionMode mode = CorrectionMode::None;
  // Minutes within which a record that matches no stored QSO at its minute
  // may update one (0: the exact minute only).
  int matchWindow = 0;
  // How the source's data specifiers count their lengths.
  AdifLengths lengths = AdifLengths::Utf16Units;
  FieldLookup lookup = FieldLookup::Indexed;
};

enum class PlanVerdict {
  Blank,     // no QSO (blank, or a trailer after the last record): no effect at all
  Accepted,  // a QSO for the log: the run asks the host which statement applies
  Ignored,   // out of date or another operator's: copied to the error file
  Rejected,  // a value did not convert: copied to the error file
};

enum class IgnoredCause {
  OutOfDate,  // dated after the closing date (whatever its operator)
  Operator,   // not the log's operator
};

struct QsoPlan {
  PlanVerdict verdict = PlanVerdict::Blank;
  // After Ignored.
  IgnoredCause cause = IgnoredCause::OutOfDate;
  // The record's operator (OPERATOR, else STATION_CALLSIGN), blanks and
  // control characters at both ends removed, upper-cased; set for every
  // record that was read.
  std::u16string recordOperator;
  // After Rejected: the field, its value when there is one, and the
  // conversion's message ("QSO_DATE 20241302: Invalid argument to date
  // encode").
  std::u16string reason;
  // After Accepted, the rest. The working list with the corrected values.
  TLogStruct values;
  // The key condition in three forms: the stored QSOs the record's key
  // admits (NULL where a mode may have left the band or the operator
  // empty); those equal to the record on every key column it carries; and,
  // with a match window, those within it of the record's minute (empty
  // without a window, or without a date and time to centre it on).
  std::u16string keyCondition;
  std::u16string exactCondition;
  std::u16string windowCondition;
  // The statement for a new QSO.
  std::u16string insert;
  // The UPDATE statement up to its condition ("... WHERE LOGNAME='x' AND "),
  // completed by one of the conditions and ";". windowUpdate, built with the
  // window condition, leaves the stored QSO its own time.
  std::u16string update;
  std::u16string windowUpdate;
  // Whether an update raises a status flag ("Y" in one).
  bool holdsConfirmation = false;
};

// Plans the records of one working list. The entries are classified once,
// and the plan's and the planner's buffers are reused from record to
// record; the plan is nonetheless a function of the record, the list and
// the settings only.
class QsoPlanner {
 public:
  // fields (the working list, whose values are not read) must outlive the
  // planner.
  explicit QsoPlanner(const TLogStruct& fields);

  // Overwrites plan with the plan of record. dictionaries serve the
  // FillFields mode.
  void Plan(std::u16string_view record, const PlanSettings& settings, const Dictionaries& dictionaries,
            QsoPlan& plan);

 private:
  // What the planner does with an entry, by its ADIF name; a bit set.
  enum Role : std::uint8_t {
    kUpperCased = 1,      // upper-cased in the Format and FillFields modes
    kOperatorSource = 2,  // OPERATOR or STATION_CALLSIGN
    kOperator = 4,
    kBand = 8,
    kFrequency = 16,
    kCallsign = 32,
    kWritten = 64,   // has a column of its own
    kKeyTime = 128,  // the time of the key's date and time, a column of its own
  };

  void ClassifyEntries();
  bool IsTrailer(std::u16string_view record) const;
  // Names the field and value of a failed conversion, unless a nearer
  // step named them already; the caller rethrows.
  void NameFailure(std::u16string_view name, std::u16string_view value, const EConvertError& error,
                   QsoPlan& plan) const;
  // Everything that can fail to convert; false when the record is ignored.
  bool PrepareRecord(const RecordFields& record, const PlanSettings& settings,
                     const Dictionaries& dictionaries, QsoPlan& plan);
  // Reads every entry's value; true when the record is out of date.
  bool ReadPass(const RecordFields& record, TDateTime closeDate, QsoPlan& plan);
  void ApplyCorrections(CorrectionMode mode, const Dictionaries& dictionaries, QsoPlan& plan);
  void RenderLiterals(const RecordFields& record, QsoPlan& plan);
  void BuildStatements(const PlanSettings& settings, QsoPlan& plan);
  void BuildKeyConditions(const TLogStruct& values, std::u16string_view recordOperator, std::u16string& key,
                          std::u16string& exact);
  bool BuildWindowCondition(const TLogStruct& values, std::u16string_view recordOperator, int window,
                            std::u16string& condition);
  static void AppendPlainKey(const TLogField& field, std::u16string_view literal, std::u16string& condition);
  bool AppendAlternatives(const TLogField& field, std::uint8_t role, std::u16string_view recordOperator,
                          std::u16string& term);
  void AddKeyAlternative(std::u16string_view value);
  void BuildInsert(const TLogStruct& values, std::u16string& statement);
  void BuildUpdate(const TLogStruct& values, CorrectionMode mode, bool keepsStoredTime,
                   std::u16string& statement, bool& holdsConfirmation) const;

  const TLogStruct& fields_;
  std::vector<std::uint8_t> roles_;
  // Per record: the operator, band and frequency as read, and the SQL
  // literal of every entry (hasLiteral_ false: the entry gets no assignment).
  std::u16string rawOperator_;
  std::u16string rawBand_;
  std::u16string rawFrequency_;
  std::vector<std::u16string> literals_;
  std::vector<std::uint8_t> hasLiteral_;
  std::vector<std::u16string_view> keyAlternatives_;
  std::u16string term_;
  std::u16string filledBand_;
  std::u16string logName_;
  std::u16string quotedLogName_;
  // The INSERT up to its values depends only on which entries render, which
  // rarely changes between records, so the last one is kept.
  std::u16string insertHead_;
  std::vector<std::uint8_t> insertHeadFor_;
  std::u16string insertHeadName_;
};

// The plan of record for the working list fields under settings.
QsoPlan PlanRecord(std::u16string_view record, const TLogStruct& fields, const PlanSettings& settings,
                   const Dictionaries& dictionaries);

// Sets Value of the first entry whose ADIFName is adifName exactly; does
// nothing when none is.
void SetFieldValue(TLogStruct& fields, std::u16string_view adifName, std::u16string_view value);

}  // namespace quillet
