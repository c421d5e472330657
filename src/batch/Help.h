#pragma once
// The help texts of kalvex-batch: the program's and each command's.
#include <iosfwd>

namespace kalvex::batch {

struct CommandSpec;

// The version the build was configured with ("0.1").
const char* Version();

// The short usage: one line per command (wrong usage prints it).
void PrintUsage(std::ostream& out);
// --help: the usage, the options every command takes, the exit status.
void PrintProgramHelp(std::ostream& out);
// COMMAND --help: the command's synopsis, what it does and prints.
void PrintCommandHelp(const CommandSpec& command, std::ostream& out);

}  // namespace kalvex::batch
