#pragma once
// Faults a save meets on a real system, made on demand for tests.
#include <sys/resource.h>

#include <cstddef>
#include <string>

namespace kalvex::testing {

// While alive, no file of this process grows past the given size: a write
// beyond it fails with "File too large", as one on a full disk fails.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::size_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

// Whether permission bits stop this process from writing (they do not stop
// root, as in many CI containers).
bool PermissionBitsApply();

// The whole content of a file ("" when it cannot be read).
std::string FileBytes(const std::string& path);

}  // namespace kalvex::testing
