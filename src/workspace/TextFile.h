#pragma once
// Text files: written with CR LF line ends through a temporary file and a
// rename, read with CR LF, CR or LF line ends.
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex {

struct ReadResult {
  bool ok = false;
  std::vector<std::string> lines;  // without their line ends
  std::string error;               // the system's reason when !ok
};

// Reads a whole text file split into lines. A last line without a line end
// still counts; an empty file has no lines.
ReadResult ReadTextLines(const std::string& path);

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

// Writes content to path so that a failure never destroys an existing file:
// a temporary beside it, flushed and closed, then renamed over it. Returns
// the system's reason on failure.
std::optional<std::string> SaveTextFile(const std::string& path, std::string_view content);

// An output stream written as it goes (the minimization log).
class LogWriter {
 public:
  // Creates or truncates the file; returns the system's reason on failure.
  std::optional<std::string> Open(const std::string& path);
  void Close();
  bool IsOpen() const { return stream_.is_open(); }
  void Write(std::string_view text);       // continues the current line
  void WriteLine(std::string_view text = {});  // ends it with CR LF
  const std::string& Path() const { return path_; }

 private:
  std::ofstream stream_;
  std::string path_;
};

// Folder and short names of a path, with "/" or "\" as separators.
std::string FolderOf(const std::string& path);
// Characters after the last separator, less the last four characters; nullopt
// when the path holds no separator.
std::optional<std::string> ShortNameOf(const std::string& path);

}  // namespace kalvex
