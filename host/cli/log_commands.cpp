// quillet log create | set | delete | list | show | history | undo: the logs
// of a database.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "host/base/text.h"
#include "host/cli/commands.h"
#include "host/store/database.h"
#include "host/store/history.h"
#include "host/store/log_book.h"

namespace quillet::host {
namespace {

struct LogOptions {
  std::string name = std::string(kDefaultLogName);
  std::string operatorCall;
  std::string closing = std::string(kDefaultClosingDate);
  std::string rename;
  bool operatorGiven = false, closingGiven = false, withQsos = false, force = false;
  int keep = kDefaultHistoryKept;
  DatabaseOptions database;
};

const char* OrNone(const std::string& call) { return call.empty() ? "no operator" : call.c_str(); }

int NoLog(const LogOptions& options, Database& db) {
  std::fprintf(stderr, "quillet: no log %s in %s\n", options.name.c_str(), db.Path().c_str());
  return kExitIncomplete;
}

int CreateLog(const LogOptions& options) {
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  // Stored as the module compares it with a record's operator: trimmed and
  // upper-cased a to z.
  const LogEntry log{options.name, UpperAscii(TrimText(options.operatorCall)), options.closing};
  book.Create(log);
  std::printf("log %s created for %s, closing %s\n", log.name.c_str(), OrNone(log.operatorCall),
              log.closing.c_str());
  return kExitOk;
}

int SetLog(const LogOptions& options) {
  if (!options.operatorGiven && !options.closingGiven && options.rename.empty()) {
    std::fprintf(stderr, "quillet: nothing to change: give --operator, --closing or --rename\n");
    return kExitUsage;
  }
  OpenDatabaseToRead(options.database);  // a change needs an existing database
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) return NoLog(options, db);
  LogEntry changed = *log;
  if (options.operatorGiven) changed.operatorCall = UpperAscii(TrimText(options.operatorCall));
  if (options.closingGiven) changed.closing = options.closing;
  if (!options.rename.empty()) changed.name = options.rename;
  book.Update(log->name, changed);
  std::printf("log %s: operator %s, closing %s\n", changed.name.c_str(), OrNone(changed.operatorCall),
              changed.closing.c_str());
  return kExitOk;
}

int DeleteLog(const LogOptions& options) {
  OpenDatabaseToRead(options.database);  // a change needs an existing database
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) return NoLog(options, db);
  const std::int64_t qsos = book.QsoCount(log->name);
  // QSOs are the operator's record: they go only when asked for by name.
  if (qsos > 0 && !options.withQsos) {
    std::fprintf(stderr,
                 "quillet: log %s holds %lld QSOs; delete them with it: quillet log delete %s --with-qsos\n",
                 log->name.c_str(), static_cast<long long>(qsos), log->name.c_str());
    return kExitIncomplete;
  }
  book.Delete(log->name);
  std::printf("log %s deleted with %lld QSOs\n", log->name.c_str(), static_cast<long long>(qsos));
  return kExitOk;
}

int ListLogs(const LogOptions& options) {
  Database db = OpenDatabaseToRead(options.database);
  LogBook book(db);
  std::printf("%-20s %-12s %-10s %s\n", "LOG", "OPERATOR", "CLOSING", "QSOS");
  for (const LogEntry& log : book.List()) {
    std::printf("%-20s %-12s %-10s %lld\n", log.name.c_str(), log.operatorCall.c_str(), log.closing.c_str(),
                static_cast<long long>(book.QsoCount(log.name)));
  }
  return kExitOk;
}

void PrintCounts(const char* title, const std::vector<std::pair<std::string, std::int64_t>>& counts) {
  if (counts.empty()) return;
  std::printf("%s\n", title);
  for (const auto& [value, count] : counts) {
    std::printf("  %-10s %lld\n", value.empty() ? "(none)" : value.c_str(), static_cast<long long>(count));
  }
}

// The settings shown are those the host hands the module for this log
// (GetVariable), so that a run's behaviour can be traced to them.
int ShowLog(const LogOptions& options) {
  Database db = OpenDatabaseToRead(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) return NoLog(options, db);
  const LogContents contents = book.Contents(log->name);
  std::printf("log %s\n  QSOs: %lld\n", log->name.c_str(), static_cast<long long>(contents.qsos));
  if (contents.qsos > 0)
    std::printf("  dates: %s to %s\n", contents.firstDate.c_str(), contents.lastDate.c_str());
  PrintCounts("bands", contents.bands);
  PrintCounts("modes", contents.modes);
  std::printf("settings\n  LOG.TABLE=%s\n  LOG.OPERATOR=%s\n  LOG.EXPIRE=%s\n  APPINI=%s\n",
              log->name.c_str(), log->operatorCall.c_str(), log->closing.c_str(),
              SettingsPathFor(db.Path()).c_str());
  return kExitOk;
}

// An entry whose run never completed has no counts: "?" rather than 0.
std::string CountText(const std::optional<std::int64_t>& count) {
  return count ? std::to_string(*count) : "?";
}

const char* EntryMark(const HistoryEntry& entry) {
  if (entry.undone) return " (undone)";
  return entry.keptRows ? "" : " (no undo data)";
}

int ShowHistory(const LogOptions& options) {
  Database db = OpenDatabaseToRead(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) return NoLog(options, db);
  const std::vector<HistoryEntry> entries = History(db).List(log->name);
  if (entries.empty()) {
    std::printf("log %s has no imports in its history\n", log->name.c_str());
    return kExitOk;
  }
  std::printf("%-5s %-19s %-4s %8s %8s %8s %8s  %s\n", "#", "TIME", "MODE", "INSERTED", "UPDATED", "IGNORED",
              "ERRORS", "FILE");
  for (const HistoryEntry& entry : entries) {
    std::printf("%-5lld %-19s %-4d %8s %8s %8s %8s  %s%s\n", static_cast<long long>(entry.id),
                entry.stamp.c_str(), entry.mode, CountText(entry.inserted).c_str(),
                CountText(entry.updated).c_str(), CountText(entry.ignored).c_str(),
                CountText(entry.errors).c_str(), entry.file.c_str(), EntryMark(entry));
  }
  return kExitOk;
}

int UndoImport(const LogOptions& options) {
  OpenDatabaseToRead(options.database);  // a change needs an existing database
  Database db = OpenDatabase(options.database);
  LogBook book(db);
  const auto log = book.Find(options.name);
  if (!log) return NoLog(options, db);
  try {
    const HistoryEntry undone = History(db).Undo(log->name, options.force, options.keep);
    std::printf("log %s: #%lld undone (%s)\n", log->name.c_str(), static_cast<long long>(undone.id),
                undone.file.c_str());
    return kExitOk;
  } catch (const UndoRefused& refused) {
    std::fprintf(stderr, "quillet: %s\n", refused.what());
    return kExitIncomplete;
  }
}

using Runner = int (*)(const LogOptions&);

CLI::App* AddLogCommand(CLI::App& logs, const char* name, const char* description,
                        std::shared_ptr<LogOptions> options, CommandAction& action, Runner run) {
  CLI::App* command = logs.add_subcommand(name, description);
  AddDatabaseOptions(*command, options->database);
  command->callback([options, &action, run] { action = [options, run] { return run(*options); }; });
  return command;
}

}  // namespace

void AddLogCommands(CLI::App& app, CommandAction& action) {
  CLI::App* logs =
      app.add_subcommand("log", "Create, change, delete, list and show logs; their import history and undo");
  logs->require_subcommand(1);

  auto create = std::make_shared<LogOptions>();
  CLI::App* createCommand = AddLogCommand(*logs, "create", "Create a log", create, action, CreateLog);
  createCommand->add_option("NAME", create->name, "The log's name")->required();
  createCommand->add_option("--operator", create->operatorCall, "The operator's callsign")->required();
  AddClosingOption(*createCommand, create->closing);

  auto set = std::make_shared<LogOptions>();
  CLI::App* setCommand =
      AddLogCommand(*logs, "set", "Change a log's operator, closing date or name", set, action, SetLog);
  setCommand->add_option("NAME", set->name, "The log's name")->required();
  CLI::Option* operatorOption =
      setCommand->add_option("--operator", set->operatorCall, "The new operator's callsign");
  CLI::Option* closingOption = AddClosingOption(*setCommand, set->closing);
  setCommand->add_option("--rename", set->rename, "The log's new name (its QSOs move with it)");
  // Given, even as "": an empty operator is a change to a log without one.
  setCommand->parse_complete_callback([set, operatorOption, closingOption] {
    set->operatorGiven = operatorOption->count() > 0;
    set->closingGiven = closingOption->count() > 0;
  });

  auto remove = std::make_shared<LogOptions>();
  CLI::App* deleteCommand = AddLogCommand(
      *logs, "delete", "Delete a log (one with QSOs only with --with-qsos)", remove, action, DeleteLog);
  deleteCommand->add_option("NAME", remove->name, "The log's name")->required();
  deleteCommand->add_flag("--with-qsos", remove->withQsos, "Delete the log's QSOs with it");

  auto list = std::make_shared<LogOptions>();
  AddLogCommand(*logs, "list", "List the logs with their QSO counts", list, action, ListLogs);

  auto show = std::make_shared<LogOptions>();
  CLI::App* showCommand = AddLogCommand(*logs, "show", "Show a log's QSOs (dates, bands, modes) and settings",
                                        show, action, ShowLog);
  showCommand->add_option("NAME", show->name, "The log's name")->required();

  auto history = std::make_shared<LogOptions>();
  CLI::App* historyCommand =
      AddLogCommand(*logs, "history", "List the imports into a log: time, file, mode and counts", history,
                    action, ShowHistory);
  historyCommand->add_option("NAME", history->name, "The log's name")->capture_default_str();

  auto undo = std::make_shared<LogOptions>();
  CLI::App* undoCommand = AddLogCommand(
      *logs, "undo",
      "Undo the last import into a log (or the last undo): inserted QSOs are deleted, updated ones get "
      "their values back",
      undo, action, UndoImport);
  undoCommand->add_option("NAME", undo->name, "The log's name")->capture_default_str();
  undoCommand->add_flag("--force", undo->force,
                        "Undo even when QSOs it restores were deleted or changed since by a later import");
  undoCommand->add_option("--keep", undo->keep, "Keep the undo data of this many imports of the log")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
}

}  // namespace quillet::host
