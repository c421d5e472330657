#pragma once
// The algorithm file (".alg"): the parameter values, steps and links with the
// minimizer settings in fixed columns, one record per line.
//
//   line 1          cols 1-14 parameter count
//   lines 2..N+1    cols 1-14 value, 17-30 step, 33-34 link, then a comment
//   lines N+2..N+7  cols 1-14 tolerance, max calls, terminal and file
//                   frequencies, log file name, step reduction fraction
//
// The parse and the text are pure; ReadAlgorithmFile and WriteAlgorithmFile
// add the messages, dialogs and status texts of the interactive commands.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// Why a parse stopped; each fault has its own message.
enum class AlgorithmFileFault {
  None,
  CountMismatch,   // line 1 names another parameter count (nothing changed)
  TooManyLines,    // a non-empty line after the record
  BadlyFormatted,  // a bad field with more of the file still unread
  TooFewLines,     // the file ended before the record (or on its bad line)
};

struct AlgorithmParseResult {
  AlgorithmFileFault fault = AlgorithmFileFault::None;
  int16_t fileParameterCount = 0;  // what line 1 said (for the count message)
  int faultLine = 0;                // BadlyFormatted: the line (1-based) that could not be read
  std::string faultLineText;        // and its text
  bool ok() const { return fault == AlgorithmFileFault::None; }
};

// Parses the lines of an algorithm file into alg. On a count mismatch alg is
// untouched; otherwise the arrays are resized to alg.NumParameters (unread
// entries 0 and unlinked) and every field read before a fault is kept. On
// success FileFrequency is 0: no log is open after a load.
AlgorithmParseResult ParseAlgorithmLines(const std::vector<std::string>& lines, AlgorithmData& alg);

// The message text of a fault (empty for None).
std::string AlgorithmFileFaultText(const AlgorithmParseResult& result, const std::string& algorithmFileName,
                                   int16_t numParameters);

inline const std::string kAlgorithmReadFailedTitle = "Algorithm file - information input failed";

enum class AlgorithmReadStatus {
  Read,        // the record was read into ws.Alg
  OpenFailed,  // the file could not be opened; nothing was shown or changed
  Invalid,     // the reader showed its message; ws.Alg may be partly read
};

struct AlgorithmReadResult {
  AlgorithmReadStatus status = AlgorithmReadStatus::Invalid;
  AlgorithmFileFault fault = AlgorithmFileFault::None;
  std::string openError;  // the system's reason for OpenFailed
};

// Reads path into ws.Alg. A bad file gets its message box (the main menu is
// hidden while it shows; its rules then enable Initialize and Load again).
// ws.AlgorithmFileName names the file in the count message. The
// reader stops 1000 lines past the record (too many lines) and refuses a
// line of more than 4096 characters or what is not a regular file (open
// failed).
AlgorithmReadResult ReadAlgorithmFile(Workspace& ws, ui::Frontend& ui, const std::string& path);

// Which command writes: it picks the parameter-line label and status text.
enum class AlgorithmFileVariant { MainMenu, Ranking };

// The log file name as it goes into its 14 columns: shorter than 15 stays;
// else what follows the last separator within the last 14 characters, or
// the last 14 characters when there is none.
std::string CutOutputFileName(const std::string& name);

// A number in the "0.0000000E+00" form that fits width columns; a number
// whose full form would not fit (a negative one with a three-digit exponent)
// loses as few mantissa digits as make it fit, so its sign and exponent
// survive the fixed columns.
std::string FitScientific(double value, int width = 14);

// The whole file text (lines 1..N+7, CR LF) with OutputFileName cut.
std::string AlgorithmFileText(const AlgorithmData& alg, AlgorithmFileVariant variant);

// Saves ws.Alg to path without dialogs (the batch front end): cuts
// OutputFileName in ws.Alg, writes through a temporary file, and on success
// sets AlgorithmFileName and AlgorithmShortName. Returns the reason on failure,
// leaving the workspace and any existing file as they were.
std::optional<std::string> SaveAlgorithmFile(Workspace& ws, const std::string& path,
                                             AlgorithmFileVariant variant = AlgorithmFileVariant::MainMenu);

enum class AlgorithmSaveOutcome { Saved, Cancelled, Failed };

inline const std::string kAlgorithmSaveFailedTitle = "Save failed";

// Asks for a file name ("Save algorithm data in...", proposing
// AlgorithmFileName, which gets a date-time name when empty) and saves. A
// failure is shown in a "Save failed" box. On success stbMain1 panel 1 shows
// the file (its full name from the main menu, its short name from the
// ranking form).
AlgorithmSaveOutcome WriteAlgorithmFile(Workspace& ws, ui::Frontend& ui, AlgorithmFileVariant variant);

}  // namespace kalvex
