#include "host/import_command.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "host/adif_scan.h"
#include "host/database.h"
#include "host/host_core.h"
#include "host/journal.h"
#include "host/locale_date.h"
#include "host/module_library.h"
#include "host/plugin_session.h"
#include "host/settings_file.h"
#include "host/text.h"
#ifdef _WIN32
#include "host/windows_dialog_operator.h"
#endif

namespace quillet::host {
namespace {

constexpr const char* kSettingsSection = "ADIF Import";

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string DefaultModulePath() {
  return (std::filesystem::path(ExecutableFolder()) / "Quillet.ext").string();
}

// What the module's dialog restores when it opens: the file and the mode.
void RememberImport(const std::string& settingsPath, const std::string& file, int mode) {
  IniFile settings = IniFile::Load(settingsPath);
  settings.Set(kSettingsSection, "ADIF", file);
  settings.Set(kSettingsSection, "Corr", std::to_string(mode));
  settings.Save();
}

}  // namespace

LogEntry EnsureLog(LogBook& book, const ImportOptions& options) {
  if (auto existing = book.Find(options.log)) {
    if (!options.operatorCall.empty() && UpperAscii(options.operatorCall) != existing->operatorCall) {
      std::fprintf(stderr, "quillet: log %s belongs to %s; --operator ignored\n", existing->name.c_str(),
                   existing->operatorCall.c_str());
    }
    return *existing;
  }
  LogEntry log{options.log, UpperAscii(options.operatorCall), options.closing};
  if (log.operatorCall.empty()) {
    log.operatorCall = FirstOperator(ReadWholeFile(options.file));
    if (log.operatorCall.empty()) {
      std::fprintf(stderr, "quillet: no operator callsign in %s: log %s has no operator\n",
                   options.file.c_str(), log.name.c_str());
    } else {
      std::fprintf(stderr, "quillet: operator %s taken from %s\n", log.operatorCall.c_str(),
                   options.file.c_str());
    }
  }
  book.Create(log);
  std::fprintf(stderr, "quillet: log %s created for %s, closing %s\n", log.name.c_str(),
               log.operatorCall.empty() ? "no operator" : log.operatorCall.c_str(), log.closing.c_str());
  return log;
}

namespace {

// Loads the module, has choose run its import command and unloads it;
// choose answers whether the operating side succeeded.
int ImportWith(const ImportOptions& options, const std::function<bool(HostCore&, PluginSession&)>& choose) {
  const std::string file = std::filesystem::absolute(options.file).lexically_normal().string();
  Database db = OpenDatabase(options.database);
  Journal journal(db);
  LogBook book(db);
  const LogEntry log = EnsureLog(book, options);

  HostVariables variables{log.name, log.operatorCall, LocaleDateText(log.closing), SettingsPathFor(options.database.path),
                          std::filesystem::current_path().string()};
  RememberImport(variables.appIni, file, options.mode);

  Ref<HostCore> core = MakeRef<HostCore>(db, journal, variables);
  bool operated = false;
  try {
    PluginSession session(options.module.empty() ? DefaultModulePath() : options.module, *core.get());
    operated = choose(*core.get(), session);
  } catch (const HostError& error) {
    std::fprintf(stderr, "quillet: %s\n", error.what());
    return kExitIncomplete;
  }
  const bool processed = core->Kernel().ImportProcessed();
  std::fflush(stdout);
  if (!processed) std::fprintf(stderr, "quillet: the import of %s did not complete\n", file.c_str());
  return processed && operated ? kExitOk : kExitIncomplete;
}

}  // namespace

#ifdef _WIN32
int RunImport(const ImportOptions& options) { return RunImport(options, OperateImport); }

// The real dialog: an operator thread works it while the command's modal
// loop runs here, then its memo goes to standard output.
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
    std::fputs(person.Transcript().c_str(), stdout);
    if (!person.Failure().empty()) std::fprintf(stderr, "quillet: %s\n", person.Failure().c_str());
    return status == 0;
  });
}
#else
// The module's dialog is headless here: it runs by itself and writes its
// memo to standard output as it goes.
int RunImport(const ImportOptions& options) {
  return ImportWith(options, [](HostCore& core, PluginSession& session) {
    session.Choose(kImportCommandCaption);
    // The transcript leaves its last line ("* Done. ...") open.
    if (core.Kernel().ImportProcessed()) std::fputs("\n", stdout);
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
                   "2 also fill missing fields from the dictionaries")
      ->check(CLI::Range(0, 2))
      ->capture_default_str();
  command->add_option("--log", options->log, "The log to import into")->capture_default_str();
  command->add_option("--operator", options->operatorCall,
                      "Operator callsign of a new log (default: the file's first operator)");
  AddClosingOption(*command, options->closing);
  command->add_option("--module", options->module, "The module (default: Quillet.ext beside quillet)");
  AddDatabaseOptions(*command, options->database);
  command->callback([options, &action] { action = [options] { return RunImport(*options); }; });
}

}  // namespace quillet::host
