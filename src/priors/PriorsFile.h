#pragma once
// The priors file (".pri"): the prior table in fixed columns, one line per
// parameter after the parameter count.
//
//   line 1        the parameter count
//   lines 2..N+1  cols 1-3 index, 7 type letter, 8-18 first term, 19-29
//                 second term, 30-40 third term, 41-51 fourth term (each a
//                 " 0.000E+000" number or a text such as "Unused"), 55- the
//                 type's display name
//
// The parse and the text are pure; ReadPriorsFile and WritePriorsFile add
// the messages, dialogs and status texts of the interactive commands.
#include <optional>
#include <string>
#include <vector>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// The title of the priors file's messages.
inline constexpr const char* kPriorsFileTitle = "Bayes information";

enum class PriorsFileStatus {
  Read,           // every announced line was read
  CountMismatch,  // line 1 names another parameter count (the table is untouched)
  Short,          // the file ended early; the lines read so far replaced their entries
  OutOfRange,     // a term of line linesRead + 2 reads as an infinity (the table is untouched)
  BrokenRule,     // line linesRead + 2 holds a prior the editor would refuse (the table is untouched)
};

struct PriorsParseResult {
  PriorsFileStatus status = PriorsFileStatus::Read;
  double fileCount = 0;  // what line 1 said
  int linesRead = 0;     // parameter lines read
  std::string rule;      // BrokenRule: "parameter 4 (Gamma): " and the rule the line breaks
};

// Parses the lines of a priors file into table (sized numParameters + 1).
PriorsParseResult ParsePriorsLines(const std::vector<std::string>& lines, int numParameters, PriorTable& table);

// A number in its 11 columns: " 0.000E+000", or "-0.000E+000" when negative.
std::string PriorFileNumber(double value);

// The whole file text (CR LF lines).
std::string PriorsFileText(const PriorTable& table, int numParameters);

// Reads path as the loader's open command does. A count mismatch shows its
// message, resets the table to the defaults and switches the priors off
// (with Refuse only the message, for a caller that ends there); a file that
// cannot be read, holds a number out of range or a prior the editor would
// refuse shows why, changes nothing and counts as not opened; a short file
// keeps what was read without a message. PriorsActive follows its rule
// after every read.
struct PriorsReadOutcome {
  bool opened = false;
  PriorsParseResult parse;
};
enum class PriorsCountMismatch { LoadDefaults, Refuse };
PriorsReadOutcome ReadPriorsFile(Workspace& ws, ui::Frontend& ui, const std::string& path,
                                 PriorsCountMismatch mismatch = PriorsCountMismatch::LoadDefaults);

// Saves the table to path without dialogs; sets PriorsFileName on success.
// Returns the reason on failure, leaving any existing file as it was.
std::optional<std::string> SavePriorsFile(Workspace& ws, const std::string& path);

// Which command writes: the main menu's quit path shows the full path in the
// status bar, the prior editor the file name without folder and extension.
enum class PriorsFileVariant { MainMenu, Editor };

enum class PriorsSaveOutcome { Saved, Cancelled, Failed };

// Asks for a file name ("Save Bayesian priors file in...", proposing
// PriorsFileName or a date-time name) and saves; a failure is shown in a
// "Save failed" box.
PriorsSaveOutcome WritePriorsFile(Workspace& ws, ui::Frontend& ui, PriorsFileVariant variant);

// "Bayesian priors file: " with the file name less its folder and its last
// four characters (the status text of the loader and the editor).
std::string PriorsStatusText(const std::string& path);

}  // namespace kalvex
