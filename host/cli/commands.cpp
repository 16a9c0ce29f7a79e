#include "host/cli/commands.h"

#include <pcre2.h>
#include <sqlite3.h>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>

#include "host/cli/dictionary_commands.h"
#include "host/os/console.h"
#include "host/os/module_library.h"
#include "host/services/bstr.h"
#include "host/services/host_core.h"
#include "host/services/journal.h"
#include "host/services/plugin_session.h"
#include "host/store/database.h"
#include "host/store/log_book.h"

namespace quillet::host {
namespace {

constexpr const char* kExitStatusText =
    "Exit status: 0 the command completed, 1 it failed (for import: the run did not complete), "
    "2 usage error, 3 import --strict: the run completed but records were ignored or rejected.";

// The module is loaded as for a run, over a database in memory: asking its
// version must create no file.
std::string ModuleVersion(const std::string& modulePath) {
  Database db(":memory:", Durability::RollbackFull);
  Journal journal(db);
  Ref<HostCore> core = MakeRef<HostCore>(db, journal, HostVariables{});
  const std::string path =
      modulePath.empty() ? (std::filesystem::path(ExecutableFolder()) / "Quillet.ext").string() : modulePath;
  try {
    PluginSession session(path, *core.get());
    OwnedBstr version;
    if (session.Plugin().GetVersion(version.put()) < 0) return "unknown (the module gives no version)";
    return version.Utf8();
  } catch (const HostError& error) {
    return std::string("not loaded (") + error.what() + ")";
  }
}

// The version text of the 16-bit library the module matches with; its
// units are ASCII.
std::string PcreVersion() {
  PCRE2_UCHAR units[64] = {};
  if (pcre2_config(PCRE2_CONFIG_VERSION, units) < 0) return "unknown";
  std::string text;
  for (const PCRE2_UCHAR* unit = units; *unit != 0; ++unit) text += static_cast<char>(*unit);
  return text;
}

// help COMMAND...: the help of that command, as --help prints it.
int PrintHelp(CLI::App& app, const std::vector<std::string>& words) {
  CLI::App* command = &app;
  std::string name = "quillet";
  for (const std::string& word : words) {
    CLI::App* next = nullptr;
    try {
      next = command->get_subcommand(word);
    } catch (const CLI::OptionNotFound&) {
    }
    if (next == nullptr || word == "help") {
      std::fprintf(stderr, "quillet: no command %s; see quillet --help\n", word.c_str());
      return kExitUsage;
    }
    command = next;
    name += " " + word;
  }
  // help() would show the help command's own page, as it is the one parsed.
  std::cout << command->get_formatter()->make_help(command, name, CLI::AppFormatMode::Normal);
  return kExitOk;
}

}  // namespace

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options) {
  command.add_option("--db", options.path, "The log database (created on first use)")->capture_default_str();
  command.add_option("--journal", options.journal)->check(CLI::IsMember({"wal", "rollback-full"}))->group("");
}

Database OpenDatabase(const DatabaseOptions& options) {
  const Durability durability =
      options.journal == "rollback-full" ? Durability::RollbackFull : Durability::Wal;
  return Database(options.path, durability);
}

Database OpenDatabaseToRead(const DatabaseOptions& options) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(options.path, error))
    throw HostError("no log database " + options.path);
  return Database::OpenExisting(options.path);
}

std::string SettingsPathFor(const std::string& databasePath) {
  std::filesystem::path path = std::filesystem::absolute(databasePath).lexically_normal();
  path.replace_extension(".ini");
  return path.string();
}

CLI::Option* AddClosingOption(CLI::App& command, std::string& closing) {
  const CLI::Validator date(
      [](std::string& text) {
        return IsClosingDate(text) ? std::string() : "not a date yyyy-mm-dd: " + text;
      },
      "DATE");
  return command.add_option("--closing", closing, "The log's closing date, yyyy-mm-dd")
      ->check(date)
      ->capture_default_str();
}

std::string VersionText(const std::string& modulePath) {
  return "quillet " + std::string(HostVersionText()) + "\nmodule Quillet.ext " + ModuleVersion(modulePath) +
         "\nSQLite " + sqlite3_libversion() + "\nPCRE2 " + PcreVersion() + "\n";
}

int RunCommandLine(int argc, char** argv) {
  CLI::App app("quillet: the reference host of the Quillet ADIF import module, over SQLite", "quillet");
  app.require_subcommand(0, 1);
  app.footer(kExitStatusText);
  bool version = false;
  std::string versionModule;
  app.add_flag("--version", version, "Print the versions of quillet, the module, SQLite and PCRE2");
  app.add_option("--module", versionModule, "With --version: the module to load");
  CommandAction action;
  AddImportCommand(app, action);
  AddLogCommands(app, action);
  AddExportCommand(app, action);
  AddDictionaryCommands(app, action);
  std::vector<std::string> helpWords;
  CLI::App* help = app.add_subcommand("help", "Show the help of quillet or of one command");
  help->add_option("COMMAND", helpWords, "A command, such as: import, log set, dict import");
  help->callback([&] { action = [&] { return PrintHelp(app, helpWords); }; });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help ends the parse with status 0; every other parse
    // error is a usage error, whatever code CLI11 gives it.
    const int status = app.exit(error);
    return status == 0 ? kExitOk : kExitUsage;
  }
  try {
    if (version) {
      std::fputs(VersionText(versionModule).c_str(), stdout);
      return kExitOk;
    }
    if (!action) {
      std::cerr << app.help() << "quillet: a command is required\n";
      return kExitUsage;
    }
    return action();
  } catch (const std::bad_alloc&) {
    Console::Standard().Error("quillet: out of memory; the command stopped (the file may be too large)");
  } catch (const std::exception& error) {
    Console::Standard().Error(std::string("quillet: ") + error.what());
  } catch (...) {
    Console::Standard().Error("quillet: an internal failure stopped the command");
  }
  return kExitIncomplete;
}

}  // namespace quillet::host
