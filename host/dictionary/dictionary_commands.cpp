#include "host/dictionary/dictionary_commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <sqlite3.h>

#include "host/dictionary/cty_file.h"
#include "host/dictionary/dictionary_derivation.h"
#include "host/dictionary/dictionary_error.h"
#include "host/dictionary/dictionary_resolver.h"
#include "host/dictionary/dictionary_store.h"

namespace quillet::host {
namespace {

constexpr int kOk = 0;
constexpr int kIncomplete = 1;

struct DictionaryOptions {
  std::string database = "quillet.sqlite";
  std::string file = kDefaultCtyFile;
  std::string table;
  std::string callsign;
  bool replace = false;
};

using Prepare = std::function<void(const std::string& path)>;

// A connection of the dictionary commands' own to the host's database file,
// which the host has already created.
class Connection {
 public:
  explicit Connection(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      throw DictionaryError("cannot open the database " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, 5000);
  }
  ~Connection() { sqlite3_close(db_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw DictionaryError("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

DictionaryTable TableOf(const std::string& name) {
  std::string upper = UpperAscii(name);
  for (DictionaryTable table :
       {DictionaryTable::UniqueCall, DictionaryTable::Province, DictionaryTable::Country}) {
    if (TableName(table) == upper) return table;
  }
  throw DictionaryError("no dictionary " + name);
}

unsigned long long Count(std::size_t count) { return static_cast<unsigned long long>(count); }

int Import(const DictionaryOptions& options, const Prepare& prepare) {
  std::vector<CtyEntity> entities = ReadCtyFile(options.file);
  prepare(options.database);
  Connection db(options.database);
  DictionaryCounts counts = ReplaceDictionaries(db.get(), DeriveDictionaryRows(entities));
  std::printf("%llu entities read from %s\n", Count(entities.size()), options.file.c_str());
  std::printf("UNIQUECALL %llu rows\nPROVINCE %llu rows\nCOUNTRY %llu rows\n", Count(counts.uniqueCalls),
              Count(counts.provinces), Count(counts.countries));
  return kOk;
}

int Load(const DictionaryOptions& options, const Prepare& prepare) {
  DictionaryTable table = TableOf(options.table);
  std::string csv = ReadText(options.file);
  prepare(options.database);
  Connection db(options.database);
  std::size_t added = LoadDictionaryCsv(db.get(), table, csv, options.replace);
  std::printf("%s: %llu rows added from %s\n", std::string(TableName(table)).c_str(), Count(added),
              options.file.c_str());
  return kOk;
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
int Show(const DictionaryOptions& options, const Prepare&) {
  // Reading only: a database that is not there is not created.
  std::error_code missing;
  if (!std::filesystem::is_regular_file(options.database, missing)) {
    std::fprintf(stderr, "quillet: no log database %s\n", options.database.c_str());
    return kIncomplete;
  }
  Connection db(options.database);
  DictionaryResolver resolver(ReadDictionaryEntries(db.get(), LocalDayText()));
  std::string callsign = UpperAscii(options.callsign);
  std::optional<Resolution> found = resolver.Resolve(callsign);
  if (!found) {
    std::printf("%s: no dictionary row matches\n", callsign.c_str());
    return kIncomplete;
  }
  PrintResolution(callsign, *found);
  return kOk;
}

CLI::App* AddCommand(CLI::App& parent, const char* name, const char* description,
                     DictionaryOptions& options) {
  CLI::App* command = parent.add_subcommand(name, description);
  command->add_option("--db", options.database, "The log database (created on first use)")
      ->capture_default_str();
  return command;
}

// The parsed command's work goes to action; it runs after parsing.
void OnParsed(CLI::App& command, std::function<int()>& action, std::shared_ptr<DictionaryOptions> options,
              Prepare prepare, int (*run)(const DictionaryOptions&, const Prepare&)) {
  command.callback([&action, options, prepare, run] {
    action = [options, prepare, run] { return run(*options, prepare); };
  });
}

}  // namespace

void AddDictionaryCommands(CLI::App& app, std::function<int()>& action, Prepare prepareDatabase) {
  CLI::App* dict =
      app.add_subcommand("dict", "Fill and query the dictionaries UNIQUECALL, PROVINCE and COUNTRY");
  dict->require_subcommand(1);

  auto import = std::make_shared<DictionaryOptions>();
  CLI::App* importCommand =
      AddCommand(*dict, "import", "Replace the dictionaries with the country file's rows", *import);
  importCommand->add_option("FILE", import->file, "The country file (cty.csv)")->capture_default_str();
  OnParsed(*importCommand, action, import, prepareDatabase, Import);

  auto load = std::make_shared<DictionaryOptions>();
  CLI::App* loadCommand =
      AddCommand(*dict, "load", "Add rows of your own to a dictionary from a CSV file", *load);
  loadCommand->add_option("TABLE", load->table, "UNIQUECALL, PROVINCE or COUNTRY")
      ->required()
      ->check(CLI::IsMember({"UNIQUECALL", "PROVINCE", "COUNTRY"}, CLI::ignore_case));
  loadCommand->add_option("FILE", load->file, "CSV: a header line of column names, then one row per line")
      ->required();
  loadCommand->add_flag("--replace", load->replace, "Empty the table first");
  OnParsed(*loadCommand, action, load, prepareDatabase, Load);

  auto show = std::make_shared<DictionaryOptions>();
  CLI::App* showCommand = AddCommand(*dict, "show", "Resolve a callsign as the module does", *show);
  showCommand->add_option("CALL", show->callsign, "The callsign")->required();
  OnParsed(*showCommand, action, show, prepareDatabase, Show);
}

}  // namespace quillet::host
