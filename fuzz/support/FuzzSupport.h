#pragma once
// What every reader's fuzz target shares: the input as a real file (the
// readers take a path), a front end that shows nothing, a small valid data
// file per species count, and the check that no NaN or infinity slips out.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "workspace/Workspace.h"

namespace kalvex::fuzz {

// The bytes as a regular file in memory, reachable by path while it lives.
class MemoryFile {
 public:
  explicit MemoryFile(std::string_view bytes);
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// 1 to 25 from the input's first byte.
int SpeciesFromByte(uint8_t byte);

// A short valid data file for the given species count.
std::string SyntheticDataFile(int species);

// A new workspace with the model initialized from SyntheticDataFile(species).
std::unique_ptr<Workspace> InitializedWorkspace(int species);

// The model's parameter count for the species count (kept once known).
int ParameterCount(int species);

// The species count whose model has the parameter count a file's first line
// names; 1 when none has.
int SpeciesOfCount(std::string_view firstLine);

// A NaN or an infinity that reached a result: aborts, so the fuzzer keeps
// the input.
void RequireFinite(double value, const char* what);

// A file written back and read again must give the same text: aborts with
// both texts otherwise.
void RequireSameText(const std::string& written, const std::string& rewritten);

}  // namespace kalvex::fuzz
