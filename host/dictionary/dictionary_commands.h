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

#include <functional>
#include <string>

namespace CLI {
class App;
}

namespace quillet::host {

inline constexpr const char* kDefaultCtyFile = "/usr/share/hamradio-files/cty.csv";

// prepareDatabase(path) runs before a command touches the database: the host
// creates the file and its schema there (opening it with its own class does
// that). The command then works on a connection of its own to the file.
// The parsed command leaves its work in action, to be run after parsing.
void AddDictionaryCommands(CLI::App& app, std::function<int()>& action,
                           std::function<void(const std::string& path)> prepareDatabase);

}  // namespace quillet::host
