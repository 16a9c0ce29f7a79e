// A light scan of an ADIF file for what the host wants to know before an
// import: whether the file holds records at all, and whose log it is. It
// reads the file with the module's own source reading and ADIF reader, so
// that it finds the records, and in them the fields, that the import will
// find: a second decoder could count a record the module never sees. Only
// counts are kept, and the reading holds what an import holds: a piece of
// the file and one record.
#pragma once

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

  // The most frequent operator; empty when no record names one.
  std::string MainOperator() const { return operators.empty() ? std::string() : operators.front().call; }
  // The records of call; with "", the records that name no operator.
  long RecordsOf(std::string_view call) const;
};

// The file at path, read in pieces of pieceBytes; false when it cannot be
// opened or read. Its text, header and records are the module's
// (engine/source_lines.h, adif/adif_reader.h); a record counts when it
// holds a field besides its terminator, as the blank lines after the last
// record make a record string that holds none.
bool ScanAdifFile(const std::string& path, AdifScan& scan, std::size_t pieceBytes = std::size_t{1} << 20);

}  // namespace quillet::host
