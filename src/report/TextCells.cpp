#include "report/TextCells.h"

#include <algorithm>

#include "workspace/TextFile.h"

namespace kalvex::report {
namespace {

bool Blank(std::string_view line) { return line.find_first_not_of(' ') == std::string_view::npos; }

// The cells of a comma-separated line, each trimmed.
Row CommaCells(std::string_view line) {
  Row cells;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = line.find(',', start);
    cells.push_back(Trim(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) return cells;
    start = comma + 1;
  }
}

}  // namespace

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

TextLines::TextLines(std::string_view text) : lines_(SplitLines(text)) {}

std::size_t TextLines::Find(std::string_view prefix, std::size_t from) const {
  for (std::size_t i = from; i < lines_.size(); ++i) {
    std::string_view line = lines_[i];
    std::size_t first = line.find_first_not_of(' ');
    if (first != std::string_view::npos && line.substr(first).starts_with(prefix)) return i;
  }
  return lines_.size();
}

std::vector<std::string> TextLines::NextBlock(std::size_t& i) const {
  std::vector<std::string> block;
  while (i < lines_.size() && Blank(lines_[i])) ++i;
  for (; i < lines_.size() && !Blank(lines_[i]); ++i) block.push_back(lines_[i]);
  return block;
}

std::vector<std::string> TextLines::BlockAfter(std::size_t heading) const {
  std::size_t i = heading + 1;
  return NextBlock(i);
}

std::pair<std::vector<std::string>, std::vector<std::string>> TextLines::HeadAndRows(std::size_t heading) const {
  std::size_t i = heading + 1;
  std::vector<std::string> head = NextBlock(i);
  return {std::move(head), NextBlock(i)};
}

std::vector<std::string> TextLines::Between(std::size_t begin, std::size_t end) const {
  std::vector<std::string> lines;
  for (std::size_t i = begin; i < std::min(end, lines_.size()); ++i)
    if (!Blank(lines_[i])) lines.push_back(lines_[i]);
  return lines;
}

Row Labelled(std::string_view line) {
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos; colon = line.find(':', colon + 1))
    if (colon + 1 == line.size() || line[colon + 1] == ' ')
      return {Trim(line.substr(0, colon)), Trim(line.substr(colon + 1))};
  return {};
}

std::vector<Row> LabelledRows(const std::vector<std::string>& lines) {
  std::vector<Row> rows;
  for (const std::string& line : lines)
    if (Row row = Labelled(line); !row.empty()) rows.push_back(std::move(row));
  return rows;
}

Row LeadingWords(std::string_view line, std::size_t count) {
  Row cells;
  std::size_t start = line.find_first_not_of(' ');
  while (start != std::string_view::npos && cells.size() < count) {
    std::size_t end = line.find(' ', start);
    cells.emplace_back(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    start = end == std::string_view::npos ? end : line.find_first_not_of(' ', end);
  }
  if (start != std::string_view::npos) cells.push_back(Trim(line.substr(start)));
  return cells;
}

Row Words(std::string_view line) { return LeadingWords(line, std::string_view::npos); }

CutTable CommaTable(const std::vector<std::string>& headerLines, const std::vector<std::string>& rowLines) {
  CutTable table;
  for (const std::string& line : rowLines) table.rows.push_back(CommaCells(line));
  if (rowLines.empty()) return table;
  // Column k ends at the k-th comma of the first row; the last runs to the line's end.
  std::vector<std::size_t> ends;
  for (std::size_t comma = rowLines[0].find(','); comma != std::string::npos; comma = rowLines[0].find(',', comma + 1))
    ends.push_back(comma + 1);
  ends.push_back(std::string::npos);
  table.head.assign(ends.size(), {});
  for (const std::string& line : headerLines) {
    std::size_t start = 0;
    for (std::size_t k = 0; k < ends.size() && start < line.size(); ++k) {
      std::string piece = line.substr(start, ends[k] == std::string::npos ? std::string::npos : ends[k] - start);
      piece.erase(std::remove(piece.begin(), piece.end(), ','), piece.end());
      piece = Trim(piece);
      if (!piece.empty()) table.head[k] += (table.head[k].empty() ? "" : " ") + piece;
      start = ends[k];
    }
  }
  return table;
}

}  // namespace kalvex::report
