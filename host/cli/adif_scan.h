// A light scan of an ADIF file, independent of the module's reader, for
// what the host wants to know before an import: whether the file holds
// records at all, and whose log it is. The file is read a piece at a time
// and only counts are kept, so a scan takes little memory whatever the
// file's size.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

struct OperatorCount {
  std::string call;
  long records = 0;
};

struct AdifScan {
  long records = 0;
  // Every operator named (OPERATOR, else STATION_CALLSIGN; upper-cased a to
  // z, trimmed), the most frequent first; ties keep the order of first
  // appearance. Records without an operator are not counted here.
  std::vector<OperatorCount> operators;
  // The records of each operator ("" for those without one) by QSO_DATE
  // as written, when it has the 8 characters of YYYYMMDD.
  std::map<std::string, std::map<std::string, long>> datesByOperator;

  // The most frequent operator; empty when no record names one.
  std::string MainOperator() const { return operators.empty() ? std::string() : operators.front().call; }
  // The records of call; with "", the records that name no operator.
  long RecordsOf(std::string_view call) const;
};

// The file at path, read in pieces of pieceBytes; false when it cannot be
// opened or read. Its text is read as the module reads it, in UTF-8: a
// byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE; without one the
// bytes are taken as they are. A NUL character ends the text.
//
// Fields before <EOH> belong to the header and are skipped; without <EOH>,
// a text that starts with "<" is all records. A record is the fields up to
// <EOR>, and the fields after the last <EOR> are one more record.
bool ScanAdifFile(const std::string& path, AdifScan& scan, std::size_t pieceBytes = std::size_t{1} << 20);

}  // namespace quillet::host
