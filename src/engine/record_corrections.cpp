// The corrections of the record step: upper-casing in modes 1 and 2, and
// in mode 2 the operator, the band or frequency and the callsign's
// reference data.
#include "adif/value_conversion.h"
#include "engine/record_step.h"
#include "logmodel/dictionaries.h"
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

// A match overwrites all six entries, also values the record held.
void FillFromCallsign(TLogStruct& fields, const std::u16string& callsign) {
  std::u16string continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone;
  if (!ResolveCallsign(callsign, continent, dxccPrefix, dxcc, mainPrefix, ituZone, cqZone)) return;
  SetFieldValue(fields, u"CONT"sv, continent);
  SetFieldValue(fields, u"DXCC_PREF"sv, dxccPrefix);
  SetFieldValue(fields, u"PFX"sv, mainPrefix);
  SetFieldValue(fields, u"DXCC"sv, dxcc);
  SetFieldValue(fields, u"CQZ"sv, cqZone);
  SetFieldValue(fields, u"ITUZ"sv, ituZone);
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
  classified_ = fields.data();
}

// Band and frequency are filled from the values as read, so neither fill
// sees the other's result.
void RecordStep::ApplyCorrections(TLogStruct& fields, int mode) {
  if (mode != 1 && mode != 2) return;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TLogField& field = fields[i];
    const std::uint8_t role = roles_[i];
    if (role & kUpperCased) UpperInPlace(field.Value);
    if (mode != 2) continue;
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

}  // namespace quillet
