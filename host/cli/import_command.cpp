#include "host/cli/import_command.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "host/base/text.h"
#include "host/cli/adif_scan.h"
#include "host/cli/error_file_diversion.h"
#include "host/cli/import_report.h"
#include "host/os/console.h"
#include "host/os/interrupt.h"
#include "host/os/locale_date.h"
#include "host/os/module_library.h"
#include "host/os/module_streams.h"
#include "host/services/host_core.h"
#include "host/services/journal.h"
#include "host/services/plugin_session.h"
#include "host/store/database.h"
#include "host/store/history.h"
#include "host/store/run_settings.h"
#ifdef _WIN32
#include "host/services/windows_dialog_operator.h"
#endif

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSettingsSection = "ADIF Import";
// The keys of kSettingsSection the module remembers for its next run.
constexpr std::string_view kRememberedKeys[] = {"ADIF", "Corr", "Window"};

using Chooser = std::function<bool(HostCore&, PluginSession&)>;

std::string DefaultModulePath() { return (fs::path(ExecutableFolder()) / "Quillet.ext").string(); }

// What the module's dialog restores when it opens: the file, the mode and
// the match window.
void HandToModule(RunSettings& settings, const std::string& file, int mode, int window) {
  settings.Set(kSettingsSection, "ADIF", file);
  settings.Set(kSettingsSection, "Corr", std::to_string(mode));
  settings.Set(kSettingsSection, "Window", std::to_string(window));
}

// Only a regular file is read: a FIFO or a device could block the host
// forever or never end.
AdifScan ScanSource(const std::string& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) {
    throw ImportRefused{kExitIncomplete,
                        "quillet: " + file + " is not a regular file; only files can be imported"};
  }
  AdifScan scan;
  if (!ScanAdifFile(file, scan)) throw ImportRefused{kExitIncomplete, "quillet: cannot read " + file};
  if (scan.records == 0) throw ImportRefused{kExitIncomplete, "quillet: no ADIF records found in " + file};
  return scan;
}

std::string OperatorNote(const AdifScan& scan, const std::string& file) {
  const OperatorCount& main = scan.operators.front();
  std::string note = "operator " + main.call + " taken from " + file + " (" + std::to_string(main.records) +
                     " of " + std::to_string(scan.records) + " records";
  for (std::size_t i = 1; i < scan.operators.size() && i <= 5; ++i) {
    note += (i == 1 ? "; others: " : ", ") + scan.operators[i].call + " " +
            std::to_string(scan.operators[i].records);
  }
  if (scan.operators.size() > 6) note += ", and " + std::to_string(scan.operators.size() - 6) + " more";
  return note + ")";
}

// The log of one run. A new log is stored with the run's first write
// transaction, so that a run that stores nothing creates nothing, and it is
// checked again at the start of every later one: a log that another import
// removed meanwhile (it held no QSO) comes back before this run stores
// into it, and a log of the same name that another import created first
// is used when it agrees and refused when it does not.
class RunLog {
 public:
  RunLog(LogBook& book, LogEntry entry, bool creating)
      : book_(book), entry_(std::move(entry)), creating_(creating) {}

  const LogEntry& Entry() const { return entry_; }
  // Whether this run stored the log.
  bool Stored() const { return stored_; }

  // Within a write transaction; raises LogConflict.
  void Ensure() {
    if (book_.Ensure(entry_)) {
      stored_ = true;
    } else if (creating_ && !stored_ && !noted_) {
      noted_ = true;
      Console::Standard().Note("log " + entry_.name +
                               " was created meanwhile by another import for the same operator and "
                               "closing date; importing into it");
    }
  }

  // A run that completed without storing anything still leaves the log it
  // was asked to create.
  void Complete(Database& db) {
    if (!creating_ || stored_) return;
    Transaction transaction(db);
    Ensure();
    transaction.Commit();
  }

  // After a run that failed: the log this run stored goes again, but only
  // while nobody has stored a QSO in it.
  void Abandon() noexcept {
    if (!stored_) return;
    try {
      book_.DeleteIfEmpty(entry_);
    } catch (const HostError&) {
      // Kept: an empty log harms nobody, and another import may be using it.
    }
  }

 private:
  LogBook& book_;
  LogEntry entry_;
  bool creating_;
  bool stored_ = false;
  bool noted_ = false;
};

constexpr const char* kEmptyDictionaries =
    "quillet: the dictionaries are empty; fill them from the country file with: quillet dict import";

// A new database has no dictionaries: a mode 2 run could only fail, and
// would leave a database behind that nobody asked for.
void RefuseModeTwoWithoutDatabase(const ImportOptions& options) {
  std::error_code error;
  if (options.mode == 2 && !fs::exists(options.database.path, error)) {
    throw ImportRefused{kExitIncomplete, kEmptyDictionaries};
  }
}

bool DictionariesEmpty(Database& db) {
  for (const char* table : {"COUNTRY", "PROVINCE", "UNIQUECALL"}) {
    if (QueryInteger(db, std::string("SELECT COUNT(*) FROM ") + table) == 0) return true;
  }
  return false;
}

// Counts the module's statements against the records of the log's operator,
// which are the ones it will take: an estimate that stays below 100 % until
// the run ends, as the module shows no progress of its own here.
std::function<void()> ProgressMeter(Console& console, long expected) {
  if (expected <= 0) return {};
  return [&console, expected, done = 0L]() mutable {
    ++done;
    const long percent = done >= expected ? 99 : done * 100 / expected;
    console.Progress(static_cast<int>(percent));
  };
}

struct RunOutcome {
  std::int64_t historyEntry = 0;  // 0: none recorded
  std::optional<ModuleReport> report;
  bool processed = false;
  bool operated = false;
  bool commitFailed = false;
  std::string fault;
};

RunOutcome RunModule(const ImportOptions& options, Database& db, RunLog& runLog, const std::string& file,
                     long expected, const Chooser& choose) {
  const LogEntry& log = runLog.Entry();
  // Outlives the core: its batch commits before a noted signal ends the process.
  InterruptDeferral deferral;
  Console& console = Console::Standard();
  Journal journal(db);
  RunSettings settings(SettingsPathFor(options.database.path));
  HandToModule(settings, file, options.mode, options.window);
  HostVariables variables{log.name, log.operatorCall, LocaleDateText(log.closing), settings.Path(),
                          fs::current_path().string()};
  Ref<HostCore> core = MakeRef<HostCore>(db, journal, variables);
  core->Server().SetStatementObserver(ProgressMeter(console, expected));
  // The history entry and its recorder start with the run's first write
  // transaction, so that they commit with its first rows.
  RunOutcome outcome;
  std::optional<HistoryRecorder> recorder;
  core->Server().SetBatchOpening([&] {
    runLog.Ensure();
    if (outcome.historyEntry != 0) return;
    // An import without undo data is an entry too: an earlier import's
    // undo must know that rows may have changed since without a trace.
    outcome.historyEntry = History(db).Add(log.name, file, options.mode, options.keep, !options.noHistory);
    if (!options.noHistory) recorder.emplace(db, outcome.historyEntry);
  });
  core->Server().SetCommitPolicy(options.dryRun       ? CommitPolicy::Held
                                 : options.commitEach ? CommitPolicy::EachStatement
                                                      : CommitPolicy::Batched);
  try {
    ModuleStreams streams(console);
    PluginSession session(options.module.empty() ? DefaultModulePath() : options.module, *core.get());
    outcome.operated = choose(*core.get(), session);
  } catch (const HostError& error) {
    console.EndProgress();
    if (core->Server().Fault().empty()) console.Error(std::string("quillet: ") + error.what());
  }
  core->Server().CommitWrites();
  console.EndProgress();
  console.FinishTranscript();
  outcome.commitFailed = core->Server().CommitFailed();
  outcome.processed = core->Kernel().ImportProcessed();
  outcome.report = core->Kernel().ImportReport();
  outcome.fault = core->Server().Fault();
  core->Server().SetStatementObserver({});
  core->Server().SetBatchOpening({});
  try {
    if (outcome.processed && outcome.operated && !outcome.commitFailed && !options.dryRun)
      settings.MergeBack(kSettingsSection, kRememberedKeys);
  } catch (const HostError& error) {
    console.Error(std::string("quillet: the settings were not remembered: ") + error.what());
  }
  return outcome;
}

void ReportFailure(const ImportOptions& options, Database& db, const RunOutcome& outcome,
                   const std::string& file) {
  Console& console = Console::Standard();
  if (!outcome.fault.empty()) {
    console.Error("quillet: " + outcome.fault + "; the import stopped");
  } else if (options.mode == 2 && DictionariesEmpty(db)) {
    console.Error(kEmptyDictionaries);
  } else if (!outcome.processed) {
    console.Error("quillet: the import of " + file + " did not complete");
  }
}

// A dry run into a database that does not exist yet runs against an empty
// one in memory, so that it leaves no file behind.
Database OpenRunDatabase(const ImportOptions& options) {
  std::error_code error;
  if (options.dryRun && !fs::exists(options.database.path, error)) {
    return Database(":memory:", Durability::RollbackFull);
  }
  return OpenDatabase(options.database);
}

// Holds the whole of a dry run in one transaction, module and host alike
// (the log it creates, the journal), rolled back when it goes.
std::optional<Transaction> HoldDryRun(const ImportOptions& options, Database& db) {
  if (!options.dryRun) return std::nullopt;
  return std::optional<Transaction>(std::in_place, db);
}

std::optional<ErrorFileDiversion> DivertErrorFile(const ImportOptions& options, const std::string& file) {
  if (!options.dryRun) return std::nullopt;
  return std::optional<ErrorFileDiversion>(std::in_place, ErrorFilePathOf(file), options.errFile);
}

int ImportWith(const ImportOptions& options, const Chooser& choose) {
  const auto started = std::chrono::steady_clock::now();
  Console& console = Console::Standard();
  console.SetQuiet(options.quiet);
  console.SetTranscriptShown(!options.json);
  const std::string file = fs::absolute(options.file).lexically_normal().string();
  try {
    RestoreAbandonedErrorFiles();  // before this run's module may write its own
    const AdifScan scan = ScanSource(file);
    RefuseModeTwoWithoutDatabase(options);
    bool created = false;
    std::error_code error;
    if (!fs::exists(options.database.path, error)) ChooseLog(nullptr, options, scan, created);  // refusals
    Database db = OpenRunDatabase(options);
    LogBook book(db);
    const LogEntry log = ChooseLog(&book, options, scan, created);
    if (created && !options.operatorGiven) console.Note(OperatorNote(scan, file));
    RunLog runLog(book, log, created);
    const long expected = scan.RecordsOf(log.operatorCall);
    std::optional<ErrorFileDiversion> diversion = DivertErrorFile(options, file);
    std::optional<Transaction> held = HoldDryRun(options, db);
    const RunOutcome outcome = RunModule(options, db, runLog, file, expected, choose);
    held.reset();
    if (diversion) diversion->Finish();
    if (!outcome.processed || !outcome.operated || outcome.commitFailed) {
      ReportFailure(options, db, outcome, file);
      if (!options.dryRun) runLog.Abandon();
      return kExitIncomplete;
    }
    if (!options.dryRun) runLog.Complete(db);
    if (options.dryRun) {
      console.Note("dry run: nothing was changed" +
                   std::string(created ? "; the log " + log.name + " would be created" : ""));
    } else if (runLog.Stored()) {
      console.Note("log " + log.name + " created for " +
                   (log.operatorCall.empty() ? "no operator" : log.operatorCall) + ", closing " +
                   log.closing);
    }
    ImportReport report;
    report.file = file;
    report.log = log.name;
    report.mode = options.mode;
    report.window = options.window;
    report.completed = true;
    if (outcome.report) TakeModuleReport(report, *outcome.report, log.operatorCall);
    report.elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    if (outcome.historyEntry != 0 && !options.dryRun) {
      History(db).SetCounts(outcome.historyEntry, report.counts.inserted, report.counts.updated,
                            report.counts.ignored, report.counts.errors);
    }
    if (options.json) std::printf("%s\n", ReportJson(report).c_str());
    const bool dropped = report.counts.ignored + report.counts.errors > 0;
    return options.strict && dropped ? kExitIgnored : kExitOk;
  } catch (const ImportRefused& refused) {
    console.Error(refused.message);
    return refused.status;
  }
}

}  // namespace

LogEntry ChooseLog(LogBook* book, const ImportOptions& options, const AdifScan& scan, bool& created) {
  const std::string call = UpperAscii(TrimText(options.operatorCall));
  created = false;
  if (auto existing = book ? book->Find(options.log) : std::nullopt) {
    const std::string change = "; change the log with: quillet log set " + existing->name;
    if (options.operatorGiven && call != existing->operatorCall) {
      throw ImportRefused{kExitUsage,
                          "quillet: log " + existing->name + " belongs to " +
                              (existing->operatorCall.empty() ? "no operator" : existing->operatorCall) +
                              ", not " + (call.empty() ? "no operator" : call) + change + " --operator " +
                              (call.empty() ? "\"\"" : call)};
    }
    if (options.closingGiven && options.closing != existing->closing) {
      throw ImportRefused{kExitUsage, "quillet: log " + existing->name + " closes " + existing->closing +
                                          ", not " + options.closing + change + " --closing " +
                                          options.closing};
    }
    return *existing;
  }
  created = true;
  LogEntry log{options.log, options.operatorGiven ? call : scan.MainOperator(), options.closing};
  if (!options.operatorGiven && log.operatorCall.empty()) {
    // The module takes a record only when its operator is the log's, so
    // such records go only into a log without an operator: the user says so.
    throw ImportRefused{kExitUsage, "quillet: no record of " + options.file +
                                        " names an operator (OPERATOR or STATION_CALLSIGN); "
                                        "to import it into a log without an operator, give --operator \"\""};
  }
  return log;
}

#ifdef _WIN32
int RunImport(const ImportOptions& options) { return RunImport(options, OperateImport); }

// The real dialog: an operator thread works it while the command's modal
// loop runs here, then its memo goes to the transcript.
int RunImport(const ImportOptions& options, const DialogScript& script) {
  return ImportWith(options, [&script](HostCore& core, PluginSession& session) {
    RunSignal runEnded;
    core.Kernel().SetRunEnded(&runEnded);
    DialogOperator person(Utf16(kImportCommandCaption), runEnded, script);
    try {
      session.Choose(kImportCommandCaption);
    } catch (...) {
      person.Finish();
      core.Kernel().SetRunEnded(nullptr);
      throw;
    }
    const int status = person.Finish();
    core.Kernel().SetRunEnded(nullptr);
    Console::Standard().Transcript(person.Transcript());
    if (!person.Failure().empty()) Console::Standard().Error("quillet: " + person.Failure());
    return status == 0;
  });
}
#else
// The module's dialog is headless here: it runs by itself and writes its
// memo to standard output as it goes.
int RunImport(const ImportOptions& options) {
  return ImportWith(options, [](HostCore&, PluginSession& session) {
    session.Choose(kImportCommandCaption);
    return true;
  });
}
#endif

void AddImportCommand(CLI::App& app, CommandAction& action) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand("import", "Import an ADIF file into a log");
  command->add_option("FILE", options->file, "The ADIF file")->required()->check(CLI::ExistingFile);
  command
      ->add_option("--mode", options->mode,
                   "Field correction: 0 none, 1 correct the format of existing fields, "
                   "2 also fill missing fields from the dictionaries (see quillet dict import)")
      ->check(CLI::Range(0, 2))
      ->capture_default_str();
  command
      ->add_option("--window", options->window,
                   "Match QSO times within this many minutes: a record that no stored QSO matches at its "
                   "minute updates the one stored QSO of its call, band, mode and operator within them")
      ->check(CLI::IsMember({0, 1, 2, 5, 15, 30}))
      ->capture_default_str();
  command->add_option("--log", options->log, "The log to import into")->capture_default_str();
  CLI::Option* operatorOption =
      command->add_option("--operator", options->operatorCall,
                          "Operator callsign of a new log (default: the file's most frequent operator; "
                          "--operator \"\" for a log without one)");
  CLI::Option* closingOption = AddClosingOption(*command, options->closing);
  command->add_option("--module", options->module, "The module (default: Quillet.ext beside quillet)");
  command->add_flag("--quiet,-q", options->quiet, "No transcript, journal or notes: errors only");
  command->add_flag("--json", options->json,
                    "Instead of the transcript, one JSON object on standard output at the end");
  command->add_flag("--strict", options->strict,
                    "Exit status 3 when the run completed but ignored or rejected records");
  command->add_flag("--commit-each", options->commitEach)->group("");
  command
      ->add_option("--keep", options->keep,
                   "Keep the undo data of this many imports of the log (quillet log undo)")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  command->add_flag("--no-history", options->noHistory, "Keep no undo data of this import");
  command->add_flag("--dry-run", options->dryRun,
                    "Run the whole import, then roll it back: the report of a real import, and the log, "
                    "the settings and the error file left as they were");
  command
      ->add_option("--err-file", options->errFile,
                   "With --dry-run: write the error file here (default: standard error)")
      ->needs("--dry-run");
  AddDatabaseOptions(*command, options->database);
  command->footer(
      "Exit status: 0 the run completed, 1 the run failed, 2 usage error (also --operator or --closing that "
      "disagree with an existing log), 3 with --strict: completed, but records were ignored or rejected.");
  command->callback([options, operatorOption, closingOption, &action] {
    options->operatorGiven = operatorOption->count() > 0;
    options->closingGiven = closingOption->count() > 0;
    action = [options] { return RunImport(*options); };
  });
}

}  // namespace quillet::host
