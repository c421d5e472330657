#include "workspace/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace kalvex {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool pending = false;  // a line has begun (text or a terminator seen)
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      pending = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current.push_back(c);
      pending = true;
    }
  }
  if (pending) lines.push_back(current);
  return lines;
}

ReadResult ReadTextLines(const std::string& path) {
  ReadResult result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    result.error = "Is a directory";
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = std::strerror(errno);
    return result;
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    result.error = "Read error";
    return result;
  }
  result.lines = SplitLines(content.str());
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
  namespace fs = std::filesystem;
  fs::path target(path);
  fs::path temp = target;
  temp += ".kvtmp";
  {
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return std::string(std::strerror(errno));
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    int savedErrno = errno;
    ok = (std::fflush(f) == 0) && ok;
    if (!ok) savedErrno = errno;
    if (std::fclose(f) != 0 && ok) {
      ok = false;
      savedErrno = errno;
    }
    if (!ok) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      return std::string(std::strerror(savedErrno ? savedErrno : EIO));
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return ec.message();
  }
  return std::nullopt;
}

std::optional<std::string> LogWriter::Open(const std::string& path) {
  Close();
  stream_.open(path, std::ios::binary | std::ios::trunc);
  if (!stream_) return std::string(std::strerror(errno));
  path_ = path;
  return std::nullopt;
}

void LogWriter::Close() {
  if (stream_.is_open()) stream_.close();
  stream_.clear();
}

void LogWriter::Write(std::string_view text) {
  if (stream_.is_open()) stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void LogWriter::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
  if (stream_.is_open()) stream_.flush();
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
