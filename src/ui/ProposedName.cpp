#include "ui/ProposedName.h"

#include <utility>

namespace kalvex::ui {

std::string NamedForAlgorithmFile(std::string_view algorithmFile, std::string_view extension) {
  const std::size_t folder = algorithmFile.find_last_of("/\\");
  const std::size_t nameLength = algorithmFile.size() - (folder == std::string_view::npos ? 0 : folder + 1);
  if (nameLength == 0) return std::string(extension);
  const std::size_t kept = nameLength > 4 ? algorithmFile.size() - 4 : algorithmFile.size();
  return std::string(algorithmFile.substr(0, kept)) + std::string(extension);
}

FileDialog SaveDialogBeside(std::string_view algorithmFile, std::string title, std::string filter,
                            std::string_view extension) {
  return {.title = std::move(title),
          .filter = std::move(filter),
          .filterIndex = 2,
          .fileName = NamedForAlgorithmFile(algorithmFile, extension),
          .overwritePrompt = true};
}

}  // namespace kalvex::ui
