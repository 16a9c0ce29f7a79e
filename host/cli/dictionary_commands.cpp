#include "host/cli/dictionary_commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "host/base/text.h"
#include "host/cli/dictionary_lookup.h"
#include "host/store/cty_file.h"
#include "host/store/database.h"
#include "host/store/dictionary_derivation.h"
#include "host/store/dictionary_store.h"

namespace quillet::host {
namespace {

struct DictionaryOptions {
  std::string database = "quillet.sqlite";
  std::string file = kDefaultCtyFile;
  std::string table;
  std::string callsign;
  bool replace = false;
};

// The commands that write open the database as every other command does,
// creating the file and its schema on first use; files are read first, so
// that a file that cannot be read leaves no database behind.
Database OpenToWrite(const std::string& path) { return Database(path, Durability::Wal); }

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The table named on the command line, in any letter case.
DictionaryTable TableOf(const std::string& name) {
  std::string upper = UpperAscii(name);
  for (DictionaryTable table :
       {DictionaryTable::UniqueCall, DictionaryTable::Province, DictionaryTable::Country}) {
    if (TableName(table) == upper) return table;
  }
  throw HostError("no dictionary " + name);
}

// printf's one unsigned type as wide as a size on every system we build for.
unsigned long long Count(std::size_t count) { return static_cast<unsigned long long>(count); }

int Import(const DictionaryOptions& options) {
  std::vector<CtyEntity> entities = ReadCtyFile(options.file);
  Database db = OpenToWrite(options.database);
  DictionaryCounts counts = ReplaceDictionaries(db, DeriveDictionaryRows(entities));
  std::printf("%llu entities read from %s\n", Count(entities.size()), options.file.c_str());
  std::printf("UNIQUECALL %llu rows\nPROVINCE %llu rows\nCOUNTRY %llu rows\n", Count(counts.uniqueCalls),
              Count(counts.provinces), Count(counts.countries));
  return kExitOk;
}

int Load(const DictionaryOptions& options) {
  DictionaryTable table = TableOf(options.table);
  std::string csv = ReadText(options.file);
  Database db = OpenToWrite(options.database);
  std::size_t added = LoadDictionaryCsv(db, table, csv, options.replace);
  std::printf("%s: %llu rows added from %s\n", std::string(TableName(table)).c_str(), Count(added),
              options.file.c_str());
  return kExitOk;
}

void PrintResolution(const std::string& callsign, const Resolution& found) {
  std::printf("%s: %s row %lld, pattern \"%s\"\n", callsign.c_str(),
              std::string(TableName(found.table)).c_str(), static_cast<long long>(found.id),
              found.pattern.c_str());
  std::printf("  continent    %s\n  DXCC prefix  %s\n  DXCC         %s\n", found.continent.c_str(),
              found.dxccPrefix.c_str(), found.dxcc.c_str());
  std::printf("  main prefix  %s\n  ITU zone     %s\n  CQ zone      %s\n", found.mainPrefix.c_str(),
              found.ituZone.c_str(), found.cqZone.c_str());
}

// The module resolves the callsign upper-cased, over the rows valid today.
int Show(const DictionaryOptions& options) {
  // Reading only: a database that is not there is not created.
  std::error_code missing;
  if (!std::filesystem::is_regular_file(options.database, missing)) {
    std::fprintf(stderr, "quillet: no log database %s\n", options.database.c_str());
    return kExitIncomplete;
  }
  Database db = Database::OpenExisting(options.database);
  const DictionaryLookup lookup(ReadDictionaryEntries(db, LocalDayText()));
  const std::string callsign = UpperAscii(options.callsign);
  const std::optional<Resolution> found = lookup.Resolve(callsign);
  if (!found) {
    std::printf("%s: no dictionary row matches\n", callsign.c_str());
    return kExitIncomplete;
  }
  PrintResolution(callsign, *found);
  return kExitOk;
}

CLI::App* AddCommand(CLI::App& parent, const char* name, const char* description,
                     DictionaryOptions& options) {
  CLI::App* command = parent.add_subcommand(name, description);
  command->add_option("--db", options.database, "The log database (created on first use)")
      ->capture_default_str();
  return command;
}

// The parsed command's work goes to action; it runs after parsing.
void OnParsed(CLI::App& command, CommandAction& action, std::shared_ptr<DictionaryOptions> options,
              int (*run)(const DictionaryOptions&)) {
  command.callback([&action, options, run] { action = [options, run] { return run(*options); }; });
}

}  // namespace

void AddDictionaryCommands(CLI::App& app, CommandAction& action) {
  CLI::App* dict =
      app.add_subcommand("dict", "Fill and query the dictionaries UNIQUECALL, PROVINCE and COUNTRY");
  dict->require_subcommand(1);

  auto import = std::make_shared<DictionaryOptions>();
  CLI::App* importCommand =
      AddCommand(*dict, "import", "Replace the dictionaries with the country file's rows", *import);
  importCommand->add_option("FILE", import->file, "The country file (cty.csv)")->capture_default_str();
  OnParsed(*importCommand, action, import, Import);

  auto load = std::make_shared<DictionaryOptions>();
  CLI::App* loadCommand =
      AddCommand(*dict, "load", "Add rows of your own to a dictionary from a CSV file", *load);
  loadCommand->add_option("TABLE", load->table, "UNIQUECALL, PROVINCE or COUNTRY")
      ->required()
      ->check(CLI::IsMember({"UNIQUECALL", "PROVINCE", "COUNTRY"}, CLI::ignore_case));
  loadCommand->add_option("FILE", load->file, "CSV: a header line of column names, then one row per line")
      ->required();
  loadCommand->add_flag("--replace", load->replace, "Empty the table first");
  OnParsed(*loadCommand, action, load, Load);

  auto show = std::make_shared<DictionaryOptions>();
  CLI::App* showCommand = AddCommand(*dict, "show", "Resolve a callsign as the module does", *show);
  showCommand->add_option("CALL", show->callsign, "The callsign")->required();
  OnParsed(*showCommand, action, show, Show);
}

}  // namespace quillet::host
