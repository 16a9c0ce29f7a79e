// The record step: one ADIF record string becomes one INSERT or UPDATE
// statement for the current log, or is counted and copied to the error file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/correction_mode.h"
#include "engine/record_fields.h"
#include "engine/target_log.h"
#include "logmodel/log_table.h"

namespace quillet {

class Dictionaries;
class EConvertError;
class ErrorFile;
class ImportDialogPort;
struct IHostServer;

struct ImportCounters {
  std::int32_t inserted = 0;
  std::int32_t updated = 0;
  std::int32_t ignored = 0;
  std::int32_t errors = 0;
};

enum class RecordOutcome {
  Blank,    // no QSO (blank, or a trailer after the last record): nothing counted, nothing written
  Ignored,  // out of date or foreign operator: ignored counted, record copied
  Failed,   // a value did not convert: errors counted, record copied
  Insert,   // an INSERT statement set: inserted counted
  Update,   // an UPDATE statement set: updated counted
};

class RecordStep {
 public:
  // All references must outlive the step. dictionaries serve the
  // corrections of FillFields.
  RecordStep(ImportDialogPort& dialog, IHostServer* server, ErrorFile& errorFile,
             const Dictionaries& dictionaries, FieldLookup lookup = FieldLookup::Indexed);

  // How the source's data specifiers count their lengths; Utf16Units
  // until set.
  void SetSourceLengths(AdifLengths lengths) { lengths_ = lengths; }

  // Processes one record string with the shared working list, whose
  // entries keep their ADIF names between the records of a run. Only
  // EConvertError raised by a value of the record makes it Failed, with
  // the reason kept in ConversionMessage(); host failures and error-file
  // write failures raise. Insert and Update say which statement was built.
  RecordOutcome ImportRecord(std::u16string_view record, TLogStruct& fields, const TargetLog& log,
                             ImportCounters& counters, std::u16string& statement);

  // After Failed: the field, its value when there is one, and the
  // conversion's message ("QSO_DATE 20241302: Invalid argument to date encode").
  const std::u16string& ConversionMessage() const { return conversionMessage_; }
  // After Ignored: whether the record was dated after the closing date
  // (else its operator was not the log's), and the record operator, blanks
  // and control characters at both ends removed, upper-cased.
  bool IgnoredAsOutOfDate() const { return outOfDate_; }
  const std::u16string& RecordOperator() const { return recordOperator_; }

 private:
  enum class Verdict { Accepted, Ignored };
  // What the record step does with an entry, by its ADIF name; a bit set.
  enum Role : std::uint8_t {
    kUpperCased = 1,      // upper-cased in the Format and FillFields modes
    kOperatorSource = 2,  // OPERATOR or STATION_CALLSIGN
    kOperator = 4,
    kBand = 8,
    kFrequency = 16,
    kCallsign = 32,
    kWritten = 64,  // has a column of its own
  };

  // Classifies the working list's entries once per list: only the values
  // change between the records of a run.
  void ClassifyEntries(const TLogStruct& fields);

  RecordOutcome Reject(std::u16string_view record, std::int32_t& counter, RecordOutcome outcome);
  // Names the field and value of a failed conversion, unless a nearer
  // step named them already; the caller rethrows.
  void NameFailure(std::u16string_view name, std::u16string_view value, const EConvertError& error);
  bool IsTrailer(std::u16string_view record, const TLogStruct& fields) const;
  RecordOutcome BuildStatement(const TLogStruct& fields, std::u16string_view logName,
                               ImportCounters& counters, std::u16string& statement);
  Verdict PrepareRecord(const RecordFields& record, TLogStruct& fields, const TargetLog& log);
  // Reads every entry's value; true when the record is out of date.
  bool ReadPass(const RecordFields& record, TLogStruct& fields, TDateTime closeDate);
  void ApplyCorrections(TLogStruct& fields, CorrectionMode mode);
  void FillFromCallsign(TLogStruct& fields, const std::u16string& callsign) const;
  void RenderLiterals(const RecordFields& record, const TLogStruct& fields);
  void BuildKeyCondition(const TLogStruct& fields);
  void AppendFillableKey(const TLogField& field, std::uint8_t role);
  void AddKeyAlternative(std::u16string_view value);
  bool StoredQsoExists(std::u16string_view quotedLogName);
  void BuildInsert(const TLogStruct& fields, std::u16string_view quotedLogName, std::u16string& statement);
  void BuildUpdate(const TLogStruct& fields, std::u16string_view quotedLogName,
                   std::u16string& statement) const;

  ImportDialogPort& dialog_;
  IHostServer* server_;
  ErrorFile& errorFile_;
  const Dictionaries& dictionaries_;
  FieldLookup lookup_;
  AdifLengths lengths_ = AdifLengths::Utf16Units;
  std::u16string conversionMessage_;
  bool outOfDate_ = false;
  // Per record: the operator, the operator, band and frequency as read, and the SQL
  // literal of every entry (hasLiteral_ false: the entry gets no assignment).
  std::u16string recordOperator_;
  std::u16string rawOperator_;
  std::u16string rawBand_;
  std::u16string rawFrequency_;
  std::vector<std::u16string> literals_;
  std::vector<std::uint8_t> hasLiteral_;
  std::u16string keyCondition_;
  std::vector<std::u16string_view> keyAlternatives_;
  std::u16string filledBand_;
  std::u16string logName_;
  std::u16string quotedLogName_;
  std::u16string insertHead_;
  std::vector<std::uint8_t> insertHeadFor_;
  std::u16string insertHeadName_;
  const TLogField* classified_ = nullptr;
  std::vector<std::uint8_t> roles_;
  std::u16string countCondition_;
};

// Sets Value of the first entry whose ADIFName is adifName exactly; does
// nothing when none is.
void SetFieldValue(TLogStruct& fields, std::u16string_view adifName, std::u16string_view value);

}  // namespace quillet
