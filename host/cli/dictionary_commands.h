// quillet dict import | load | show: the reference dictionaries of a
// database.
//
//   dict import [FILE]         replaces UNIQUECALL, PROVINCE and COUNTRY with
//                              the rows derived from the country file
//                              (default kDefaultCtyFile) and prints each
//                              table's row count
//   dict load TABLE FILE.csv   adds the CSV's rows to TABLE (--replace
//                              empties it first)
//   dict show CALL             resolves CALL the way the module does and
//                              prints the six values and the row that matched
//
// Every command takes --db PATH (default ./quillet.sqlite). Exit status: 0
// success, 1 when the command did not complete (a file that cannot be read,
// a database error, a callsign no row matches); usage errors are the
// parser's.
#pragma once

#include "host/cli/commands.h"

namespace quillet::host {

// Where Debian's hamradio-files package installs the country file.
inline constexpr const char* kDefaultCtyFile = "/usr/share/hamradio-files/cty.csv";

void AddDictionaryCommands(CLI::App& app, CommandAction& action);

}  // namespace quillet::host
