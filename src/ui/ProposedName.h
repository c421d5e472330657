#pragma once
// The name a save dialog proposes for a file that belongs with the current
// algorithm data (a covariance file, an evaluation or prior report, a grid,
// a ranking): the algorithm file's own name with the file's extension, in
// its folder. The ranking finds a covariance file by that name, and a bare
// extension accepted with Return would make a hidden file.
#include <string>
#include <string_view>

#include "ui/Frontend.h"

namespace kalvex::ui {

// algorithmFile with its last four characters (".alg") replaced by
// extension (".cov"); a name of four characters or fewer keeps them all.
// The bare extension when no algorithm file is named.
std::string NamedForAlgorithmFile(std::string_view algorithmFile, std::string_view extension);

// The save dialog of such a file: its title, a filter whose second entry is
// the file's kind (and chosen), the proposed name, and the overwrite prompt.
FileDialog SaveDialogBeside(std::string_view algorithmFile, std::string title, std::string filter,
                            std::string_view extension);

}  // namespace kalvex::ui
