#pragma once
// The nine distribution entries of the prior editor: each type's prompts in
// their order and the rules that accept or refuse the answers; and the
// editor's help text. The editor's window stores what an entry gives.
#include <optional>
#include <string>

#include "ui/Frontend.h"
#include "workspace/Workspace.h"

namespace kalvex {

// Asks the prompts of the type with this letter (one of "UTNEGBSDL") for
// parameter and returns the entry to store: nullopt when an answer was
// empty or the entry was refused (the Beta refusals with their message). U
// asks nothing. The right foot of a uniform-bounded prior below its left
// foot is asked again, with its SD.
std::optional<PriorEntry> AskPriorEntry(ui::Frontend& ui, char letter, int parameter);

// The help text of the editor (CR LF lines).
std::string PriorEditorHelpText();

}  // namespace kalvex
