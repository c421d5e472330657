#include "workspace/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <random>

// The saves need what only POSIX offers: exclusive creation, permission and
// link handling, fsync, and opening a pipe without blocking.

namespace kalvex {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Cuts text into lines as it arrives, up to the limits.
class LineSplitter {
 public:
  explicit LineSplitter(const TextLimits& limits) : limits_(limits) {}

  // Takes the next piece; false once nothing more is wanted (the lines are
  // complete or a line is too long).
  bool Feed(std::string_view text) {
    for (char c : text) {
      if (afterCr_) {
        afterCr_ = false;
        if (c == '\n') continue;  // the end of a CR LF
      }
      if (lines_.size() == limits_.maxLines) {
        moreLines_ = true;
        return false;
      }
      if (c == '\r' || c == '\n') {
        lines_.push_back(std::move(current_));
        current_.clear();
        pending_ = false;
        afterCr_ = c == '\r';
      } else if (current_.size() == limits_.maxLineLength) {
        error_ = "Line " + std::to_string(lines_.size() + 1) + " is longer than " +
                 std::to_string(limits_.maxLineLength) + " characters";
        return false;
      } else {
        current_.push_back(c);
        pending_ = true;
      }
    }
    return true;
  }

  // The lines, the last one without a line end included.
  std::vector<std::string> Finish() {
    if (pending_ && lines_.size() < limits_.maxLines) lines_.push_back(std::move(current_));
    return std::move(lines_);
  }
  bool MoreLines() const { return moreLines_; }
  const std::optional<std::string>& Error() const { return error_; }

 private:
  TextLimits limits_;
  std::vector<std::string> lines_;
  std::string current_;
  bool pending_ = false;  // a line has begun with text
  bool afterCr_ = false;
  bool moreLines_ = false;
  std::optional<std::string> error_;
};

// Opens for writing without waiting for a pipe's reader (a pipe without one
// fails at once), then blocks on writes as usual.
int OpenForWriting(const std::string& path, int flags, mode_t mode = 0666) {
  int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | flags, mode);
  if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes and closes fd; the reason of the first failure, if any.
std::optional<std::string> WriteAndClose(int fd, std::string_view bytes, bool sync) {
  std::optional<std::string> error;
  if (!WriteAll(fd, bytes) || (sync && ::fsync(fd) != 0)) error = Reason(errno);
  if (::close(fd) != 0 && !error) error = Reason(errno);
  return error;
}

// The file a save replaces: symbolic links followed to their end, as a
// write through them would go. A missing file is a target too.
struct SaveTarget {
  std::string path;
  bool exists = false;
  struct stat status {};
};

std::optional<std::string> FindTarget(const std::string& path, SaveTarget& target) {
  target.path = path;
  for (int depth = 0; depth < 40; ++depth) {
    if (::lstat(target.path.c_str(), &target.status) != 0) {
      if (errno != ENOENT) return Reason(errno);
      target.exists = false;
      return std::nullopt;
    }
    if (!S_ISLNK(target.status.st_mode)) {
      target.exists = true;
      return std::nullopt;
    }
    std::string link(static_cast<std::size_t>(target.status.st_size) + 256, '\0');
    ssize_t length = ::readlink(target.path.c_str(), link.data(), link.size());
    if (length < 0) return Reason(errno);
    link.resize(static_cast<std::size_t>(length));
    // A relative link names a file beside the link.
    const std::size_t cut = target.path.find_last_of('/');
    const bool absolute = !link.empty() && link.front() == '/';
    target.path = absolute || cut == std::string::npos ? link : target.path.substr(0, cut + 1) + link;
  }
  return Reason(ELOOP);
}

// Every temporary staged and not yet moved into place or removed, with what
// ending the process early should do with it. Creating, removing and moving
// temporaries hold the lock, so an ending never meets a set half renamed.
struct StagedEntry {
  std::string target;
  StagedEnd end;
};
struct StagedRegistry {
  std::mutex mutex;
  std::map<std::string, StagedEntry> entries;  // by temporary
};

StagedRegistry& Staged() {
  static auto* registry = new StagedRegistry;  // never destroyed: an ending may come after main
  return *registry;
}

// A new file beside the target with a name of its own, so that neither a long
// target name nor a stale leftover can stand in the way; registered as staged.
int CreateTemporary(const std::string& targetPath, mode_t mode, std::string& tempPath, StagedEnd end) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 engine{std::random_device{}()};
  const std::size_t cut = targetPath.find_last_of('/');
  const std::string folder = cut == std::string::npos ? std::string() : targetPath.substr(0, cut + 1);
  std::lock_guard lock(Staged().mutex);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + ".kalvex-";
    for (int i = 0; i < 10; ++i) tempPath += kLetters[engine() % (sizeof kLetters - 1)];
    int fd = OpenForWriting(tempPath, O_CREAT | O_EXCL, mode);
    if (fd >= 0) Staged().entries[tempPath] = {targetPath, end};
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void RemoveTemporary(const std::string& tempPath) {
  std::lock_guard lock(Staged().mutex);
  ::unlink(tempPath.c_str());
  Staged().entries.erase(tempPath);
}

// With the registry locked: the temporary takes the target's place.
bool MoveIntoPlace(const std::string& tempPath, const std::string& targetPath) {
  if (::rename(tempPath.c_str(), targetPath.c_str()) != 0) return false;
  Staged().entries.erase(tempPath);
  return true;
}

// Whether the file may be replaced. Write permission bits are a promise
// kept for every user alike: root, whom the system would let through, too.
std::optional<std::string> RefusedTarget(const SaveTarget& target) {
  if (!target.exists) return std::nullopt;
  if ((target.status.st_mode & 0222) == 0) return Reason(EACCES);
  if (::access(target.path.c_str(), W_OK) != 0) return Reason(errno);
  return std::nullopt;
}

// A new temporary beside the target with the target's permissions and owner
// where the system allows; -1 (errno set) and nothing left on failure.
int CreateLike(const SaveTarget& target, std::string& tempPath, StagedEnd end) {
  // Private while written; an existing file's permissions come last.
  int fd = CreateTemporary(target.path, target.exists ? 0600 : 0666, tempPath, end);
  if (fd < 0 || !target.exists) return fd;
  // Ownership is kept where the system allows it, like a file written in place.
  if (::fchown(fd, target.status.st_uid, target.status.st_gid) != 0) {
    // Not allowed: the new file is the saver's own, as when written anew.
  }
  if (::fchmod(fd, target.status.st_mode & 07777) != 0) {
    const int error = errno;
    ::close(fd);
    RemoveTemporary(tempPath);
    errno = error;
    return -1;
  }
  return fd;
}

// Writes content to a new temporary beside the target; on success tempPath
// names it, else nothing is left behind.
std::optional<std::string> StageFile(const SaveTarget& target, std::string_view content, std::string& tempPath) {
  if (std::optional<std::string> refused = RefusedTarget(target)) return refused;
  int fd = CreateLike(target, tempPath, StagedEnd::Remove);
  if (fd < 0) return Reason(errno);
  std::optional<std::string> error = WriteAndClose(fd, content, true);
  if (error) RemoveTemporary(tempPath);
  return error;
}

// A regular file (or none yet) is replaced through a temporary; a device or
// a pipe has no old content to keep and is written in place.
bool ReplacedThroughTemporary(const SaveTarget& target) {
  return !target.exists || S_ISREG(target.status.st_mode);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  LineSplitter splitter(TextLimits{text.size() + 1, text.size() + 1});
  splitter.Feed(text);
  return splitter.Finish();
}

ReadResult ReadTextLines(const std::string& path, const TextLimits& limits) {
  ReadResult result;
  // Without O_NONBLOCK, opening a pipe would wait for a writer.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    result.error = Reason(errno);
    return result;
  }
  struct stat status {};
  const bool known = ::fstat(fd, &status) == 0;
  if (!known || !S_ISREG(status.st_mode)) {
    result.error = !known ? Reason(errno) : S_ISDIR(status.st_mode) ? Reason(EISDIR) : "Not a regular file";
    ::close(fd);
    return result;
  }
  result.opened = true;
  LineSplitter splitter(limits);
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) result.error = Reason(errno);
    if (got <= 0 || !splitter.Feed(std::string_view(buffer, static_cast<std::size_t>(got)))) break;
  }
  ::close(fd);
  if (splitter.Error()) result.error = *splitter.Error();
  if (!result.error.empty()) return result;
  result.moreLines = splitter.MoreLines();
  result.lines = splitter.Finish();
  result.ok = true;
  return result;
}

TextBuilder& TextBuilder::Line(std::string_view text) {
  text_.append(text);
  text_.append("\r\n");
  return *this;
}

TextBuilder& TextBuilder::Append(std::string_view text) {
  text_.append(text);
  return *this;
}

std::optional<std::string> SaveTextFile(const std::string& path, std::string_view content) {
  std::optional<SaveFailure> failure = SaveTextFiles({{path, content}});
  if (failure) return failure->reason;
  return std::nullopt;
}

std::optional<SaveFailure> SaveTextFiles(const std::vector<FileContent>& files) {
  std::vector<SaveTarget> targets(files.size());
  std::vector<std::string> temporaries(files.size());
  auto fail = [&](std::size_t index, std::string reason) {
    for (const std::string& temporary : temporaries)
      if (!temporary.empty()) RemoveTemporary(temporary);
    return SaveFailure{index, std::move(reason)};
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    SaveTarget& target = targets[i];
    if (std::optional<std::string> error = FindTarget(files[i].path, target)) return fail(i, *error);
    if (target.exists && S_ISDIR(target.status.st_mode)) return fail(i, Reason(EISDIR));
    if (!ReplacedThroughTemporary(target)) continue;
    // Only a staged temporary is ours to remove.
    std::string staged;
    if (std::optional<std::string> error = StageFile(target, files[i].content, staged)) return fail(i, *error);
    temporaries[i] = std::move(staged);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (ReplacedThroughTemporary(targets[i])) continue;
    int fd = OpenForWriting(targets[i].path, 0);
    std::optional<std::string> error = fd < 0 ? Reason(errno) : WriteAndClose(fd, files[i].content, false);
    if (error) return fail(i, *error);
  }
  std::optional<SaveFailure> failure;
  {
    std::lock_guard lock(Staged().mutex);
    for (std::size_t i = 0; i < files.size() && !failure; ++i) {
      if (temporaries[i].empty()) continue;
      if (!MoveIntoPlace(temporaries[i], targets[i].path)) failure = SaveFailure{i, Reason(errno)};
      else temporaries[i].clear();
    }
  }
  if (failure) return fail(failure->index, failure->reason);
  return std::nullopt;
}

void EndStagedFiles() {
  StagedRegistry& registry = Staged();
  registry.mutex.lock();  // held for good: no save starts or finishes after this
  for (const auto& [temporary, entry] : registry.entries) {
    if (entry.end == StagedEnd::MoveIntoPlace && ::rename(temporary.c_str(), entry.target.c_str()) == 0) continue;
    ::unlink(temporary.c_str());
  }
  registry.entries.clear();
}

std::optional<std::string> LogWriter::Open(const std::string& path) {
  Close();
  error_.reset();
  SaveTarget target;
  if (std::optional<std::string> error = FindTarget(path, target)) return error;
  if (target.exists && S_ISDIR(target.status.st_mode)) return Reason(EISDIR);
  if (std::optional<std::string> refused = RefusedTarget(target)) return refused;
  int fd = -1;
  if (staged_ && ReplacedThroughTemporary(target)) {
    fd = CreateLike(target, tempPath_, StagedEnd::MoveIntoPlace);
    targetPath_ = target.path;
  } else {
    fd = OpenForWriting(path, O_CREAT | O_TRUNC);
  }
  if (fd < 0) return Reason(errno);
  fd_ = fd;
  path_ = path;
  return std::nullopt;
}

LogWriter& LogWriter::operator=(LogWriter&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    pending_ = std::move(other.pending_);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
    staged_ = other.staged_;
    tempPath_ = std::exchange(other.tempPath_, {});
    targetPath_ = std::move(other.targetPath_);
  }
  return *this;
}

void LogWriter::Close() {
  if (fd_ < 0) return;
  Flush();
  if (!tempPath_.empty() && !error_ && ::fsync(fd_) != 0) error_ = Reason(errno);
  if (::close(fd_) != 0 && !error_) error_ = Reason(errno);
  fd_ = -1;
  if (tempPath_.empty()) return;
  if (!error_) {
    std::lock_guard lock(Staged().mutex);
    if (!MoveIntoPlace(tempPath_, targetPath_)) error_ = Reason(errno);
  }
  // A log that could not be written whole leaves the old one as it was.
  if (error_) RemoveTemporary(tempPath_);
  tempPath_.clear();
}

void LogWriter::Flush() {
  if (error_) {
    pending_.clear();
    return;
  }
  // A staged log's line is written whole before an early end may move it.
  std::unique_lock<std::mutex> lock;
  if (!tempPath_.empty()) lock = std::unique_lock(Staged().mutex);
  if (!WriteAll(fd_, pending_)) {
    error_ = Reason(errno);
    // Ended early from now on, the staged log is removed, not moved into place.
    if (lock) Staged().entries.at(tempPath_).end = StagedEnd::Remove;
  }
  pending_.clear();
}

void LogWriter::Write(std::string_view text) {
  if (fd_ >= 0) pending_.append(text);
}

void LogWriter::WriteLine(std::string_view text) {
  if (fd_ < 0) return;
  pending_.append(text);
  pending_.append("\r\n");
  Flush();
}

std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::optional<std::string> ShortNameOf(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return std::nullopt;
  std::string name = path.substr(cut + 1);
  return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

}  // namespace kalvex
