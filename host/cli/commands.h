// The command line of quillet. Each command registers itself on the CLI11
// application with Add...Command and, when the parser picks it, leaves the
// action to run in the CommandAction it was given. A new command is one
// more Add...Command call in RunCommandLine.
//
// Exit status: 0 success, 1 the command did not complete (an import that
// did not finish, a missing log), 2 a usage error, 3 an import with
// --strict that completed but ignored or rejected records.
#pragma once

#include <functional>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace quillet::host {

class Database;

inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitIgnored = 3;

using CommandAction = std::function<int()>;

// --db PATH (default ./quillet.sqlite) and the hidden --journal, which
// selects SQLite's default rollback journal with full sync for a baseline.
struct DatabaseOptions {
  std::string path = "quillet.sqlite";
  std::string journal = "wal";
};
void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options);
Database OpenDatabase(const DatabaseOptions& options);
// For commands that only read: never creates the file; raises HostError
// when there is no database at the path.
Database OpenDatabaseToRead(const DatabaseOptions& options);
// The settings file beside the database: its path with the extension .ini.
std::string SettingsPathFor(const std::string& databasePath);
// Checks a closing date written yyyy-mm-dd.
CLI::Option* AddClosingOption(CLI::App& command, std::string& closing);

void AddImportCommand(CLI::App& app, CommandAction& action);
void AddLogCommands(CLI::App& app, CommandAction& action);
void AddExportCommand(CLI::App& app, CommandAction& action);

// "quillet X.Y.Z", then the module's, SQLite's and PCRE2's versions; the
// module is loaded for its version (empty: beside the quillet binary).
std::string VersionText(const std::string& modulePath);

int RunCommandLine(int argc, char** argv);

}  // namespace quillet::host
