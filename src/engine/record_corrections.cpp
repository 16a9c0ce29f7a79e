// The corrections of the record step: upper-casing in the Format and
// FillFields modes, and in FillFields the operator, the band or frequency
// and the callsign's reference data.
#include "engine/record_step.h"
#include "logmodel/band_lookup.h"
#include "refdata/dictionaries.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using namespace std::string_view_literals;

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

}  // namespace

void RecordStep::ClassifyEntries(const TLogStruct& fields) {
  if (classified_ == fields.data() && roles_.size() == fields.size()) return;
  roles_.assign(fields.size(), 0);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::u16string_view name = fields[i].ADIFName;
    if (IsUpperCased(name)) roles_[i] |= kUpperCased;
    if (name == u"OPERATOR"sv) roles_[i] |= kOperator | kOperatorSource;
    if (name == u"STATION_CALLSIGN"sv) roles_[i] |= kOperatorSource;
    if (name == u"BAND"sv) roles_[i] |= kBand;
    if (name == u"FREQ"sv) roles_[i] |= kFrequency;
    if (name == u"CALL"sv) roles_[i] |= kCallsign;
    if (fields[i].Column != u"-"sv) roles_[i] |= kWritten;
  }
  for (const TLogField& key : fields) {
    if (!key.IsKey || key.Kind != ValueKind::DateTime || key.LinkedADIFName.empty()) continue;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].ADIFName == key.LinkedADIFName && (roles_[i] & kWritten)) roles_[i] |= kKeyTime;
    }
  }
  classified_ = fields.data();
}

// Band and frequency are filled from the values as read, so neither fill
// sees the other's result.
void RecordStep::ApplyCorrections(TLogStruct& fields, CorrectionMode mode) {
  if (!UpperCases(mode)) return;
  const bool fillFields = FillsFields(mode);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TLogField& field = fields[i];
    const std::uint8_t role = roles_[i];
    if (role & kUpperCased) UpperInPlace(field.Value);
    if (!fillFields) continue;
    if (role & kOperator) {
      field.Value = recordOperator_;
    } else if (role & kBand) {
      if (Trim(field.Value).empty() && !rawFrequency_.empty()) {
        try {
          field.Value = FrequencyToBand(rawFrequency_);
        } catch (const EConvertError& error) {
          NameFailure(u"FREQ"sv, rawFrequency_, error);
          throw;
        }
      }
    } else if (role & kFrequency) {
      if (Trim(field.Value).empty() && !rawBand_.empty()) field.Value = BandToFrequency(rawBand_);
    } else if (role & kCallsign) {
      FillFromCallsign(fields, field.Value);
    }
  }
}

// A match overwrites all six entries, also values the record held.
void RecordStep::FillFromCallsign(TLogStruct& fields, const std::u16string& callsign) const {
  const std::optional<CallsignReference> found = dictionaries_.ResolveCallsign(callsign);
  if (!found) return;
  SetFieldValue(fields, u"CONT"sv, found->continent);
  SetFieldValue(fields, u"DXCC_PREF"sv, found->dxccPrefix);
  SetFieldValue(fields, u"PFX"sv, found->mainPrefix);
  SetFieldValue(fields, u"DXCC"sv, found->dxcc);
  SetFieldValue(fields, u"CQZ"sv, found->cqZone);
  SetFieldValue(fields, u"ITUZ"sv, found->ituZone);
}

}  // namespace quillet
