#pragma once
// Text files: written with CR LF line ends through a temporary file and a
// rename, read with CR LF, CR or LF line ends and never past what the
// reader's format can hold.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvex {

// The most a reader takes from a file: a format states its own bounds, so a
// huge or endless file costs no more than the largest valid one.
struct TextLimits {
  std::size_t maxLines = 100000;
  std::size_t maxLineLength = 65536;  // characters, without the line end
};

struct ReadResult {
  bool ok = false;
  bool opened = false;     // the file was opened; a failure is about its content
  bool moreLines = false;  // text follows the last of maxLines lines (not read)
  std::vector<std::string> lines;  // without their line ends
  std::string error;               // the reason when !ok
};

// Reads a regular text file split into lines, at most limits.maxLines of
// them. A last line without a line end still counts; an empty file has no
// lines. Fails (without blocking) on what is not a regular file, and on a
// line longer than limits.maxLineLength.
ReadResult ReadTextLines(const std::string& path, const TextLimits& limits = {});

// Splits text into lines at CR LF, CR or LF.
std::vector<std::string> SplitLines(std::string_view text);

// Builds a text line by line with CR LF ends.
class TextBuilder {
 public:
  TextBuilder& Line(std::string_view text = {});
  TextBuilder& Append(std::string_view text);  // without a line end
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Writes content byte for byte to path so that a failure never destroys an
// existing file: a uniquely named temporary in the target's folder, synced
// and closed, then renamed over it. A symbolic link is written through, an
// existing file keeps its permissions, and a read-only one (no write
// permission bit) is refused, for root too. A device or a pipe has no old
// content to keep: it is written in place. Returns the system's reason on
// failure, leaving no temporary behind.
std::optional<std::string> SaveTextFile(const std::string& path, std::string_view content);

// One file of a save that writes several.
struct FileContent {
  std::string path;
  std::string_view content;
};

struct SaveFailure {
  std::size_t index = 0;  // of the file that failed
  std::string reason;     // the system's
};

// Saves several files as one result: each is written to its temporary
// first, and only when all are complete are they renamed into place, so a
// failure leaves every existing file as it was (short of a rename failing
// between two others).
std::optional<SaveFailure> SaveTextFiles(const std::vector<FileContent>& files);

// What ending the process early does with a staged temporary: the files of
// an unfinished save are removed; a log written as it goes is moved into
// place, a record of the run up to its end.
enum class StagedEnd { Remove, MoveIntoPlace };

// For a process about to exit on a signal: ends every staged temporary as
// above, then holds the staging so that no save starts or finishes after
// it. Waits for a set of files being moved into place to be complete.
void EndStagedFiles();

// An output file written as it goes (the minimization log): each line is
// written when it ends. The first failed write is kept; what follows it is
// dropped, so a log is never silently incomplete. A staged log is written
// beside its target and moved into place when closed (or when the process
// ends early); one that could not be written whole leaves the old file.
class LogWriter {
 public:
  LogWriter() = default;
  LogWriter(LogWriter&& other) noexcept { *this = std::move(other); }
  LogWriter& operator=(LogWriter&& other) noexcept;
  ~LogWriter() { Close(); }

  // Creates or truncates the file (stages it, see StageWrites); returns the
  // system's reason on failure. A read-only file is refused, for root too.
  std::optional<std::string> Open(const std::string& path);
  // Logs opened from now on are staged.
  void StageWrites() { staged_ = true; }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  void Write(std::string_view text);           // continues the current line
  void WriteLine(std::string_view text = {});  // ends it with CR LF
  const std::string& Path() const { return path_; }
  // The system's reason for the first write (or close) that failed since
  // the last Open.
  const std::optional<std::string>& Error() const { return error_; }

 private:
  void Flush();

  int fd_ = -1;
  std::string pending_;  // the current line, until it ends
  std::string path_;
  std::optional<std::string> error_;
  bool staged_ = false;
  std::string tempPath_, targetPath_;  // of a staged log while it is open
};

// Folder and short names of a path, with "/" or "\" as separators.
std::string FolderOf(const std::string& path);
// Characters after the last separator, less the last four characters; nullopt
// when the path holds no separator.
std::optional<std::string> ShortNameOf(const std::string& path);

}  // namespace kalvex
