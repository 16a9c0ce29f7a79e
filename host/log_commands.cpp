// quillet log create | list | show: the logs of a database.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "host/commands.h"
#include "host/database.h"
#include "host/log_book.h"
#include "host/text.h"

namespace quillet::host {
namespace {

struct LogOptions {
  std::string name = std::string(kDefaultLogName);
  std::string operatorCall;
  std::string closing = std::string(kDefaultClosingDate);
  DatabaseOptions database;
};

int CreateLog(const LogOptions& options) {
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  const LogEntry log{options.name, UpperAscii(options.operatorCall), options.closing};
  book.Create(log);
  std::printf("log %s created for %s, closing %s\n", log.name.c_str(), log.operatorCall.c_str(),
              log.closing.c_str());
  return kExitOk;
}

int ListLogs(const LogOptions& options) {
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  std::printf("%-20s %-12s %-10s %s\n", "LOG", "OPERATOR", "CLOSING", "QSOS");
  for (const LogEntry& log : book.List()) {
    std::printf("%-20s %-12s %-10s %lld\n", log.name.c_str(), log.operatorCall.c_str(), log.closing.c_str(),
                static_cast<long long>(book.QsoCount(log.name)));
  }
  return kExitOk;
}

int ShowLog(const LogOptions& options) {
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) {
    std::fprintf(stderr, "quillet: no log %s in %s\n", options.name.c_str(), db.Path().c_str());
    return kExitIncomplete;
  }
  std::printf("log %s\n  QSOs: %lld\n", log->name.c_str(), static_cast<long long>(book.QsoCount(log->name)));
  std::printf("settings\n  LOG.TABLE=%s\n  LOG.OPERATOR=%s\n  LOG.EXPIRE=%s\n  APPINI=%s\n",
              log->name.c_str(), log->operatorCall.c_str(), log->closing.c_str(),
              SettingsPathFor(db.Path()).c_str());
  return kExitOk;
}

}  // namespace

void AddLogCommands(CLI::App& app, CommandAction& action) {
  CLI::App* logs = app.add_subcommand("log", "Create, list and show logs");
  logs->require_subcommand(1);

  auto create = std::make_shared<LogOptions>();
  CLI::App* createCommand = logs->add_subcommand("create", "Create a log");
  createCommand->add_option("NAME", create->name, "The log's name")->required();
  createCommand->add_option("--operator", create->operatorCall, "The operator's callsign")->required();
  AddClosingOption(*createCommand, create->closing);
  AddDatabaseOptions(*createCommand, create->database);
  createCommand->callback([create, &action] { action = [create] { return CreateLog(*create); }; });

  auto list = std::make_shared<LogOptions>();
  CLI::App* listCommand = logs->add_subcommand("list", "List the logs with their QSO counts");
  AddDatabaseOptions(*listCommand, list->database);
  listCommand->callback([list, &action] { action = [list] { return ListLogs(*list); }; });

  auto show = std::make_shared<LogOptions>();
  CLI::App* showCommand = logs->add_subcommand("show", "Show a log's QSO count and settings");
  showCommand->add_option("NAME", show->name, "The log's name")->required();
  AddDatabaseOptions(*showCommand, show->database);
  showCommand->callback([show, &action] { action = [show] { return ShowLog(*show); }; });
}

}  // namespace quillet::host
