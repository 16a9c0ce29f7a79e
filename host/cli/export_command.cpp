// quillet export: a log's QSOs as an ADIF file, or on standard output.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

#include "host/cli/adif_export.h"
#include "host/cli/commands.h"
#include "host/os/staged_file.h"
#include "host/store/database.h"
#include "host/store/log_book.h"

namespace quillet::host {
namespace {

struct ExportOptions {
  ExportSelection selection{std::string(kDefaultLogName), {}, {}, {}};
  std::string file = "-";
  DatabaseOptions database;
};

int RunExport(const ExportOptions& options) {
  Database db = OpenDatabaseToRead(options.database);
  LogBook book(db);
  const auto log = book.Find(options.selection.log);
  if (!log) {
    std::fprintf(stderr, "quillet: no log %s in %s\n", options.selection.log.c_str(), db.Path().c_str());
    return kExitIncomplete;
  }
  ExportSelection selection = options.selection;
  selection.log = log->name;
  selection.stationCall = log->operatorCall;
  // Standard output carries the file alone; the count goes to standard
  // error only when a file is written.
  if (options.file == "-") {
    WriteAdifExport(db, selection, std::cout);
    std::cout.flush();
    return std::cout ? kExitOk : kExitIncomplete;
  }
  // Written beside the target and renamed onto it when complete: an export
  // that fails leaves the file of an earlier one whole.
  StagedFile file(options.file);
  const std::int64_t records = WriteAdifExport(db, selection, file.Stream());
  file.Commit();
  std::fprintf(stderr, "quillet: %lld QSOs of log %s written to %s\n", static_cast<long long>(records),
               log->name.c_str(), options.file.c_str());
  return kExitOk;
}

CLI::Option* AddDateOption(CLI::App& command, const char* name, std::string& date, const char* description) {
  const CLI::Validator isDate(
      [](std::string& text) {
        return IsClosingDate(text) ? std::string() : "not a date yyyy-mm-dd: " + text;
      },
      "DATE");
  return command.add_option(name, date, description)->check(isDate);
}

}  // namespace

void AddExportCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand(
      "export", "Write a log's QSOs as an ADIF 3.1.4 file (UTF-8, field lengths in bytes)");
  command->add_option("FILE", options->file, "The ADIF file to write; - or none: standard output");
  command->add_option("--log", options->selection.log, "The log to export")->capture_default_str();
  AddDateOption(*command, "--since", options->selection.since, "Only QSOs on or after this date, yyyy-mm-dd");
  AddDateOption(*command, "--until", options->selection.until,
                "Only QSOs on or before this date, yyyy-mm-dd");
  AddDatabaseOptions(*command, options->database);
  command->callback([options, &action] { action = [options] { return RunExport(*options); }; });
}

}  // namespace quillet::host
