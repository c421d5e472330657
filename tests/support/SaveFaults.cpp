#include "support/SaveFaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "support/TestModels.h"

namespace kalvex::testing {

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
  // Ignored, the signal a write past the limit raises becomes the EFBIG error.
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  getrlimit(RLIMIT_FSIZE, &previous_);
  rlimit limit = previous_;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &previous_);
  std::signal(SIGXFSZ, previousHandler_);
}

bool PermissionBitsApply() {
  static const bool apply = [] {
    const std::string folder = TempDir() + "/permission-probe";
    mkdir(folder.c_str(), 0500);
    const std::string probe = folder + "/probe";
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT, 0600);
    if (fd >= 0) close(fd), unlink(probe.c_str());
    rmdir(folder.c_str());
    return fd < 0;
  }();
  return apply;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace kalvex::testing
