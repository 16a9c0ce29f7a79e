// Runs the built quillet in a folder of its own, as an operator would, and
// reads back what it printed and what it stored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace quillet::host {

struct QuilletRun {
  int exitCode = -1;
  std::string out;  // the transcript
  std::string err;  // journal lines and messages
};

// quillet with arguments (shell words), run in folder.
QuilletRun RunQuillet(const std::filesystem::path& folder, const std::string& arguments);

// The counts of a transcript; a count line that is absent counts 0.
struct TranscriptCounts {
  long found = -1, inserted = 0, updated = 0, ignored = 0, errors = 0;
};
TranscriptCounts ReadCounts(const std::string& transcript);

// The record strings of an ADIF file as the module splits them: lines
// after the one holding <EOH> (all lines of a file without <EOH> that starts
// with "<"), joined up to and including a line that completes <EOR>; the
// lines after the last <EOR> are one more record string.
std::vector<std::string> RecordStrings(const std::filesystem::path& file);
// Blanks only, or an end-of-file marker: no "<EOR>" and no data specifier.
bool IsBlankRecord(const std::string& record);

// "--operator ''" for a file none of whose records names an operator (such
// a file imports only into a log without one, given explicitly); else "".
std::string OperatorOptionFor(const std::filesystem::path& file);

// The records of an error file: its lines after the five header lines.
std::vector<std::string> ErrorFileRecords(const std::filesystem::path& file);

// Runs statements on a database; false when SQLite refuses them.
bool ExecSql(const std::filesystem::path& database, const std::string& sql);

// Every row of a table as text, in ID order, one string per row.
std::vector<std::string> DumpTable(const std::filesystem::path& database, const std::string& select);

}  // namespace quillet::host
