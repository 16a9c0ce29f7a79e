// The record step: one ADIF record string becomes one INSERT or UPDATE
// statement for the current log, or is counted and copied to the error file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/correction_mode.h"
#include "engine/match_window.h"
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
  // Of the updates: those whose record holds "Y" in a status flag, and
  // those that matched a stored QSO within a window, by the window's index
  // in kMatchWindows (index 0, the exact minute, stays 0).
  std::int32_t withConfirmation = 0;
  std::array<std::int32_t, kMatchWindows.size()> matchedWithin{};
};

enum class RecordOutcome {
  Blank,    // no QSO (blank, or a trailer after the last record): nothing counted, nothing written
  Ignored,  // out of date or foreign operator: ignored counted, record copied
  Failed,   // a value did not convert, or the stored QSOs it matches cannot be told
            // apart: errors counted, record copied
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
  // entries keep their ADIF names between the records of a run. An
  // EConvertError raised by a value of the record, or a key that matches
  // several stored QSOs none of which is the record's, makes it Failed,
  // with the reason kept in FailureReason(); host failures and error-file
  // write failures raise. Insert and Update say which statement was built.
  //
  // One existence query serves a new QSO and one stored at the record's
  // minute. A second one runs only when the key matches several stored
  // QSOs (to update those equal to the record on every key column it
  // carries) or, with a match window, none at the exact minute.
  RecordOutcome ImportRecord(std::u16string_view record, TLogStruct& fields, const TargetLog& log,
                             ImportCounters& counters, std::u16string& statement);

  // After Failed: the field, its value when there is one, and the
  // conversion's message ("QSO_DATE 20241302: Invalid argument to date
  // encode"), or the stored QSOs matched ("matches 2 stored QSOs").
  const std::u16string& FailureReason() const { return failureReason_; }
  // After Update: whether the record holds "Y" in a status flag, and the
  // window in minutes within which it matched (0: at its minute).
  bool UpdateHoldsConfirmation() const { return holdsConfirmation_; }
  int MatchedWindow() const { return matchedWindow_; }
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
    kWritten = 64,   // has a column of its own
    kKeyTime = 128,  // the time of the key's date and time, a column of its own
  };
  // The key condition in three forms: matching the stored QSOs that the
  // record's key admits (NULL where a mode may have left the band or the
  // operator empty); those that equal the record on every key column it
  // carries; and those within the match window of the record's minute.
  enum class KeyForm { AdmitNull, Exact, Window };

  // Classifies the working list's entries once per list: only the values
  // change between the records of a run.
  void ClassifyEntries(const TLogStruct& fields);

  RecordOutcome Reject(std::u16string_view record, std::int32_t& counter, RecordOutcome outcome);
  // Names the field and value of a failed conversion, unless a nearer
  // step named them already; the caller rethrows.
  void NameFailure(std::u16string_view name, std::u16string_view value, const EConvertError& error);
  bool IsTrailer(std::u16string_view record, const TLogStruct& fields) const;
  RecordOutcome BuildStatement(std::u16string_view record, const TLogStruct& fields,
                               std::u16string_view logName, ImportCounters& counters,
                               std::u16string& statement);
  Verdict PrepareRecord(const RecordFields& record, TLogStruct& fields, const TargetLog& log);
  // Reads every entry's value; true when the record is out of date.
  bool ReadPass(const RecordFields& record, TLogStruct& fields, TDateTime closeDate);
  void ApplyCorrections(TLogStruct& fields, CorrectionMode mode);
  void FillFromCallsign(TLogStruct& fields, const std::u16string& callsign) const;
  void RenderLiterals(const RecordFields& record, const TLogStruct& fields);
  // False when the form cannot be built: a window without a date and time.
  bool BuildKeyCondition(const TLogStruct& fields, KeyForm form, int window, std::u16string& condition);
  void AppendFillableKey(const TLogField& field, std::uint8_t role, KeyForm form, std::u16string& condition);
  void AddKeyAlternative(std::u16string_view value);
  std::int32_t CountStoredQsos(std::u16string_view quotedLogName, std::u16string_view condition);
  // Chooses the stored QSOs to update: where becomes their condition, or
  // null for a new QSO. False when the record is rejected (the reason set).
  bool ChooseStoredQsos(const TLogStruct& fields, std::u16string_view quotedLogName,
                        const std::u16string*& where);
  void BuildInsert(const TLogStruct& fields, std::u16string_view quotedLogName, std::u16string& statement);
  void BuildUpdate(const TLogStruct& fields, std::u16string_view quotedLogName, std::u16string_view where,
                   std::u16string& statement);

  ImportDialogPort& dialog_;
  IHostServer* server_;
  ErrorFile& errorFile_;
  const Dictionaries& dictionaries_;
  FieldLookup lookup_;
  AdifLengths lengths_ = AdifLengths::Utf16Units;
  std::u16string failureReason_;
  CorrectionMode mode_ = CorrectionMode::None;
  bool holdsConfirmation_ = false;
  int matchedWindow_ = 0;
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
  std::u16string narrowCondition_;
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
