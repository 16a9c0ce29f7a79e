// The planner's corrections: upper-casing in the Format and FillFields
// modes, and in FillFields the operator, the band or frequency and the
// callsign's reference data.
#include "engine/qso_plan.h"
#include "logmodel/band_lookup.h"
#include "refdata/dictionaries.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

// Codes and callsigns, which are written in capitals; free text (names,
// QTH, comments) keeps its letter case.
constexpr std::u16string_view kUpperCasedFields[] = {
    u"BAND",       u"MODE", u"CALL", u"STATION_CALLSIGN", u"CONT", u"DXCC_PREF", u"PFX", u"QSL_VIA",
    u"GRIDSQUARE", u"IOTA", u"STATE"};

bool IsUpperCased(std::u16string_view adifName) {
  for (std::u16string_view name : kUpperCasedFields) {
    if (name == adifName) return true;
  }
  return false;
}

void UpperInPlace(std::u16string& text) {
  for (char16_t& c : text) c = UpperAscii(c);
}

bool UpperCases(CorrectionMode mode) {
  switch (mode) {
    case CorrectionMode::None:
      return false;
    case CorrectionMode::Format:
    case CorrectionMode::FillFields:
      return true;
  }
  return false;
}

bool FillsFields(CorrectionMode mode) {
  switch (mode) {
    case CorrectionMode::None:
    case CorrectionMode::Format:
      return false;
    case CorrectionMode::FillFields:
      return true;
  }
  return false;
}

// A match overwrites all six entries, also values the record held.
void FillFromCallsign(TLogStruct& values, const Dictionaries& dictionaries, const std::u16string& callsign) {
  const std::optional<CallsignReference> found = dictionaries.ResolveCallsign(callsign);
  if (!found) return;
  SetFieldValue(values, u"CONT"sv, found->continent);
  SetFieldValue(values, u"DXCC_PREF"sv, found->dxccPrefix);
  SetFieldValue(values, u"PFX"sv, found->mainPrefix);
  SetFieldValue(values, u"DXCC"sv, found->dxcc);
  SetFieldValue(values, u"CQZ"sv, found->cqZone);
  SetFieldValue(values, u"ITUZ"sv, found->ituZone);
}

}  // namespace

void QsoPlanner::ClassifyEntries() {
  roles_.assign(fields_.size(), 0);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::u16string_view name = fields_[i].ADIFName;
    if (IsUpperCased(name)) roles_[i] |= kUpperCased;
    if (name == u"OPERATOR"sv) roles_[i] |= kOperator | kOperatorSource;
    if (name == u"STATION_CALLSIGN"sv) roles_[i] |= kOperatorSource;
    if (name == u"BAND"sv) roles_[i] |= kBand;
    if (name == u"FREQ"sv) roles_[i] |= kFrequency;
    if (name == u"CALL"sv) roles_[i] |= kCallsign;
    if (fields_[i].Column != u"-"sv) roles_[i] |= kWritten;
  }
  // The time a date-and-time key takes from its linked field may also have
  // a column of its own; a match within a window must leave that one alone.
  for (const TLogField& key : fields_) {
    if (!key.IsKey || key.Kind != ValueKind::DateTime || key.LinkedADIFName.empty()) continue;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      if (fields_[i].ADIFName == key.LinkedADIFName && (roles_[i] & kWritten)) roles_[i] |= kKeyTime;
    }
  }
}

// Band and frequency are filled from the values as read, so neither fill
// sees the other's result.
void QsoPlanner::ApplyCorrections(CorrectionMode mode, const Dictionaries& dictionaries, QsoPlan& plan) {
  if (!UpperCases(mode)) return;
  const bool fillFields = FillsFields(mode);
  TLogStruct& values = plan.values;
  for (std::size_t i = 0; i < values.size(); ++i) {
    TLogField& field = values[i];
    const std::uint8_t role = roles_[i];
    if (role & kUpperCased) UpperInPlace(field.Value);
    if (!fillFields) continue;
    if (role & kOperator) {
      field.Value = plan.recordOperator;
    } else if (role & kBand) {
      if (Trim(field.Value).empty() && !rawFrequency_.empty()) {
        try {
          field.Value = FrequencyToBand(rawFrequency_);
        } catch (const EConvertError& error) {
          NameFailure(u"FREQ"sv, rawFrequency_, error, plan);
          throw;
        }
      }
    } else if (role & kFrequency) {
      if (Trim(field.Value).empty() && !rawBand_.empty()) field.Value = BandToFrequency(rawBand_);
    } else if (role & kCallsign) {
      FillFromCallsign(values, dictionaries, field.Value);
    }
  }
}

}  // namespace quillet
