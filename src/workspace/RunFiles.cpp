#include "workspace/RunFiles.h"

#include "workspace/TextFile.h"

namespace kalvex {

void RunFiles::Add(std::string path, std::string content, std::string what) {
  files_.push_back({std::move(path), std::move(content), std::move(what)});
}

std::optional<std::string> RunFiles::Save() const {
  std::vector<FileContent> contents;
  for (const File& file : files_) contents.push_back({file.path, file.content});
  std::optional<SaveFailure> failure = SaveTextFiles(contents);
  if (!failure) return std::nullopt;
  const File& failed = files_[failure->index];
  return failed.what + " could not be saved to " + failed.path + ": " + failure->reason;
}

}  // namespace kalvex
