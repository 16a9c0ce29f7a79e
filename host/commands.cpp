#include "host/commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "host/database.h"
#include "host/dictionary/dictionary_commands.h"
#include "host/log_book.h"

namespace quillet::host {

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options) {
  command.add_option("--db", options.path, "The log database (created on first use)")->capture_default_str();
  command.add_option("--journal", options.journal)->check(CLI::IsMember({"wal", "rollback-full"}))->group("");
}

Database OpenDatabase(const DatabaseOptions& options) {
  const Durability durability =
      options.journal == "rollback-full" ? Durability::RollbackFull : Durability::Wal;
  return Database(options.path, durability);
}

std::string SettingsPathFor(const std::string& databasePath) {
  std::filesystem::path path = std::filesystem::absolute(databasePath).lexically_normal();
  path.replace_extension(".ini");
  return path.string();
}

void AddClosingOption(CLI::App& command, std::string& closing) {
  const CLI::Validator date(
      [](std::string& text) {
        return IsClosingDate(text) ? std::string() : "not a date yyyy-mm-dd: " + text;
      },
      "DATE");
  command.add_option("--closing", closing, "The log's closing date, yyyy-mm-dd")
      ->check(date)
      ->capture_default_str();
}

int RunCommandLine(int argc, char** argv) {
  CLI::App app("quillet: the reference host of the Quillet ADIF import module, over SQLite", "quillet");
  app.require_subcommand(1);
  CommandAction action;
  AddImportCommand(app, action);
  AddLogCommands(app, action);
  AddDictionaryCommands(app, action, [](const std::string& path) { Database(path, Durability::Wal); });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kExitOk : kExitUsage;
  }
  try {
    return action ? action() : kExitUsage;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillet: %s\n", error.what());
    return kExitIncomplete;
  }
}

}  // namespace quillet::host
