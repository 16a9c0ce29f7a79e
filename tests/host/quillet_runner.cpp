#include "tests/host/quillet_runner.h"

#include <sqlite3.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace quillet::host {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Upper(std::string text) {
  for (char& c : text) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return text;
}

std::vector<std::string> Lines(std::string text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(line);
      line.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

long CountAfter(const std::string& text, const std::string& label) {
  std::smatch match;
  if (!std::regex_search(text, match, std::regex(label + "(\\d+)"))) return 0;
  return std::stol(match[1]);
}

}  // namespace

QuilletRun RunQuillet(const std::filesystem::path& folder, const std::string& arguments) {
  const std::filesystem::path out = folder / "run.out", err = folder / "run.err.txt";
  const std::string command = "cd '" + folder.string() + "' && '" QUILLET_BINARY_DIR "/bin/quillet' " +
                              arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  QuilletRun run;
#ifdef _WIN32
  run.exitCode = status;
#else
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

TranscriptCounts ReadCounts(const std::string& transcript) {
  TranscriptCounts counts;
  if (transcript.find("found records: ") != std::string::npos) {
    counts.found = CountAfter(transcript, "found records: ");
  }
  counts.inserted = CountAfter(transcript, "Inserted to log: ");
  counts.updated = CountAfter(transcript, "Updated in log: ");
  counts.ignored = CountAfter(transcript, "Ignored: ");
  counts.errors = CountAfter(transcript, "Errors found: ");
  return counts;
}

std::vector<std::string> RecordStrings(const std::filesystem::path& file) {
  const std::vector<std::string> lines = Lines(ReadFile(file));
  std::size_t first = 0;
  while (first < lines.size() && Upper(lines[first]).find("<EOH>") == std::string::npos) ++first;
  if (first < lines.size()) {
    ++first;
  } else {
    const std::string whole = ReadFile(file);
    const std::size_t start = whole.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (start == std::string::npos || whole[start] != '<') return {};
    first = 0;
  }
  std::vector<std::string> records;
  std::string record;
  bool open = false;
  for (std::size_t i = first; i < lines.size(); ++i) {
    record += lines[i];
    open = true;
    if (Upper(record).find("<EOR>") != std::string::npos) {
      records.push_back(record);
      record.clear();
      open = false;
    }
  }
  if (open) records.push_back(record);
  return records;
}

bool IsBlankRecord(const std::string& record) {
  std::string upper = record;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // An end-of-file marker after the last record holds no data specifier.
  if (upper.find("<EOR>") == std::string::npos && upper.find(':') == std::string::npos) return true;
  for (char c : record) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

std::string OperatorOptionFor(const std::filesystem::path& file) {
  const std::regex named("<(OPERATOR|STATION_CALLSIGN):[1-9]", std::regex::icase);
  return std::regex_search(ReadFile(file), named) ? "" : "--operator ''";
}

std::vector<std::string> ErrorFileRecords(const std::filesystem::path& file) {
  std::vector<std::string> lines = Lines(ReadFile(file));
  if (lines.size() < 5) return {};
  return {lines.begin() + 5, lines.end()};
}

bool ExecSql(const std::filesystem::path& database, const std::string& sql) {
  sqlite3* db = nullptr;
  bool done = sqlite3_open(database.string().c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return done;
}

std::vector<std::string> DumpTable(const std::filesystem::path& database, const std::string& select) {
  sqlite3* db = nullptr;
  std::vector<std::string> rows;
  if (sqlite3_open_v2(database.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return rows;
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, select.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const auto* text = sqlite3_column_text(statement, i);
        row += (i ? "|" : "");
        row += text ? reinterpret_cast<const char*>(text) : "<null>";
      }
      rows.push_back(row);
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

}  // namespace quillet::host
