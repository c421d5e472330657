#pragma once
// The report's tables cut out of the analyses' own texts: a cell holds the
// characters of the file it comes from, so every number in the report is
// the one in that file, rounded the same way. The texts are fixed-column
// reports with a few shapes: labelled lines ("Label:    value"), tables of
// comma-separated columns under one or more header lines, and tables of
// numbers separated by blanks.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvex::report {

using Row = std::vector<std::string>;

std::string Trim(std::string_view text);

// The text's lines, without their ends.
class TextLines {
 public:
  explicit TextLines(std::string_view text);
  std::size_t size() const { return lines_.size(); }
  const std::string& operator[](std::size_t i) const { return lines_[i]; }

  // The first line from `from` on that starts with prefix (leading blanks
  // ignored); size() when there is none.
  std::size_t Find(std::string_view prefix, std::size_t from = 0) const;
  // The lines of the block that follows line `heading`: the blank lines
  // right after it skipped, then every line up to the next blank one.
  std::vector<std::string> BlockAfter(std::size_t heading) const;
  // The two blocks after line `heading`: a table's header lines, then its
  // rows (for tables whose header is set off by a blank line).
  std::pair<std::vector<std::string>, std::vector<std::string>> HeadAndRows(std::size_t heading) const;
  // The lines from begin up to (not including) end, blank ones left out.
  std::vector<std::string> Between(std::size_t begin, std::size_t end) const;

 private:
  // The block that starts at the first line from i on that is not blank;
  // i is left after it.
  std::vector<std::string> NextBlock(std::size_t& i) const;
  std::vector<std::string> lines_;
};

// "Label:     value" as {"Label", "value"}: split at the first colon
// followed by a blank (or ending the line); an empty row for a line
// without one.
Row Labelled(std::string_view line);
// Every labelled line of lines (others left out).
std::vector<Row> LabelledRows(const std::vector<std::string>& lines);

// The blank-separated words of a line.
Row Words(std::string_view line);
// The first count words, then the rest of the line (trimmed) as one more
// cell when there is any: a row of numbers that ends in a description.
Row LeadingWords(std::string_view line, std::size_t count);

// A table of comma-separated columns: the cells of each row, and the
// header lines cut at the columns of the first row (each piece trimmed, its
// comma dropped, the pieces of one column joined by a blank).
struct CutTable {
  Row head;
  std::vector<Row> rows;
};
CutTable CommaTable(const std::vector<std::string>& headerLines, const std::vector<std::string>& rowLines);

}  // namespace kalvex::report
