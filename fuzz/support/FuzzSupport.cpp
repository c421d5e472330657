#include "support/FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "model/OskaneModel.h"
#include "workspace/Format.h"

namespace kalvex::fuzz {

MemoryFile::MemoryFile(std::string_view bytes) {
  fd_ = ::memfd_create("kalvex-fuzz", MFD_CLOEXEC);
  if (fd_ < 0) std::abort();
  for (std::string_view rest = bytes; !rest.empty();) {
    ssize_t written = ::write(fd_, rest.data(), rest.size());
    if (written <= 0) std::abort();
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() { ::close(fd_); }

int SpeciesFromByte(uint8_t byte) { return byte % 25 + 1; }

std::string SyntheticDataFile(int species) {
  std::string text = "Year  Effort";
  for (int j = 1; j <= species; ++j) text += RightJustify("C" + std::to_string(j), 8);
  text += "       V   Index\r\n";
  for (int i = 1; i <= 6; ++i) {
    text += std::to_string(1990 + i) + RightJustify(std::to_string(2000 + 37 * i), 8);
    for (int j = 1; j <= species; ++j) text += RightJustify(std::to_string(1000 + (i * 131 + j * 17) % 400), 8);
    text += RightJustify(i > 3 ? "1" : "0", 8) + RightJustify(FormatNumber(0.3 + 0.01 * i, "0.00000"), 8) + "\r\n";
  }
  return text;
}

std::unique_ptr<Workspace> InitializedWorkspace(int species) {
  auto ws = std::make_unique<Workspace>(MakeOskaneModel());
  MemoryFile data(SyntheticDataFile(species));
  InitializeModel(*ws, {species, data.Path()});
  return ws;
}

int ParameterCount(int species) {
  static std::array<int, 26> counts{};
  int& count = counts.at(static_cast<std::size_t>(species));
  if (count == 0) count = InitializedWorkspace(species)->Alg.NumParameters;
  return count;
}

int SpeciesOfCount(std::string_view firstLine) {
  std::optional<double> count = ParseNumber(firstLine.substr(0, 14));
  for (int species = 1; count && species <= 25; ++species)
    if (ParameterCount(species) == *count) return species;
  return 1;
}

void RequireFinite(double value, const char* what) {
  if (std::isfinite(value)) return;
  std::fprintf(stderr, "%s is %g without a numeric fault\n", what, value);
  std::abort();
}

}  // namespace kalvex::fuzz

namespace kalvex::fuzz {

void RequireSameText(const std::string& written, const std::string& rewritten) {
  if (written == rewritten) return;
  std::fprintf(stderr, "written:\n%s\nread back and written again:\n%s\n", written.c_str(), rewritten.c_str());
  std::abort();
}

}  // namespace kalvex::fuzz
