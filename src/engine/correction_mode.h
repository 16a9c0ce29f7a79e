// How far the planner corrects the values it reads. The numbers are
// the ones the operator chooses between and the settings file remembers
// ("Corr"), and those of the host's import modes.
#pragma once

namespace quillet {

enum class CorrectionMode : int {
  None = 0,        // values as read
  Format = 1,      // the format of existing fields: upper-casing
  FillFields = 2,  // also the operator, band or frequency and the callsign's reference data
};

}  // namespace quillet
