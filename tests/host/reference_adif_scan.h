// The host's former scan of ADIF files, kept as the reference its scan with
// the module's reader is held to: a field scanner of its own that skips
// every value by its length, so it reads what a well-formed file holds
// without the module's code. On text that is not well-formed (a terminator
// inside a value, a length past the next tag) the two may part: the host
// now reads records exactly as the module will import them.
//
// The file is read a piece at a time and only counts are kept. Its text is
// taken in UTF-8: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE;
// without one the bytes are taken as they are. A NUL character ends the
// text. Fields before <EOH> belong to the header and are skipped; without
// <EOH>, a text that starts with "<" is all records. A record is the fields
// up to <EOR>, and the fields after the last <EOR> are one more record.
#pragma once

#include <cstddef>
#include <string>

#include "host/cli/adif_scan.h"

namespace quillet::host::reference {

// False when the file cannot be opened or read.
bool ScanAdifFile(const std::string& path, AdifScan& scan, std::size_t pieceBytes);

}  // namespace quillet::host::reference
