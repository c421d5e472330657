#include "report/HtmlReport.h"

#include <cctype>

namespace kalvex::report {
namespace {

constexpr const char* kStyle = R"(
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; color: #111; line-height: 1.4;
       max-width: 64em; margin: 0 auto; padding: 1em 2em 3em; }
h1 { font-size: 1.7em; margin: .3em 0 .2em; }
h2 { font-size: 1.3em; border-bottom: 1px solid #888; padding-bottom: .15em; margin-top: 2.2em; }
a { color: #1a4f8b; }
table { border-collapse: collapse; margin: .6em 0 1.4em; font-size: .85em; }
caption { caption-side: top; text-align: left; padding: .3em 0 .4em; color: #222; font-size: 1.05em; }
th, td { border: 1px solid #b8b8b8; padding: .12em .5em; vertical-align: top; }
th { background: #eceff4; font-weight: 600; }
td.num { text-align: right; font-family: "Liberation Mono", "Courier New", monospace; white-space: nowrap; }
table.facts th { text-align: left; }
.label { font-weight: 600; }
.warnings { border: 2px solid #b3261e; background: #fdf1f0; padding: .4em 1.2em .6em; margin: 1.2em 0; }
.warnings h2 { border: none; margin: .3em 0; color: #b3261e; }
.nowarnings { border: 1px solid #2e7d32; background: #f1f8f1; padding: .5em 1.2em; margin: 1.2em 0; }
nav ol { columns: 2; }
.state { font-size: .85em; padding: 0 .4em; border-radius: .3em; }
.state.done { color: #2e7d32; } .state.failed { color: #fff; background: #b3261e; }
.state.notrun { color: #666; font-style: italic; }
p.status { font-weight: 600; } p.status.failed { color: #b3261e; } p.status.notrun { color: #555; font-style: italic; }
p.files { font-size: .9em; color: #333; }
code { font-family: "Liberation Mono", "Courier New", monospace; font-size: .95em; }
figure { margin: 1.2em 0 1.8em; }
figure svg { display: block; width: 100%; max-width: 46em; height: auto; border: 1px solid #ddd; }
figcaption { font-size: .9em; color: #222; max-width: 46em; margin-top: .3em; }
.figures { display: grid; grid-template-columns: repeat(auto-fill, minmax(24em, 1fr)); column-gap: 1.5em; }
.figures figure { margin: .6em 0 1.2em; }
.missing { border: 1px dashed #999; padding: 1em; color: #555; max-width: 42em; }
footer { margin-top: 3em; font-size: .85em; color: #555; border-top: 1px solid #bbb; padding-top: .5em; }
@page { margin: 14mm 12mm; }
@media print {
  body { max-width: none; padding: 0; font-size: 9.5pt; }
  a { color: inherit; text-decoration: none; }
  nav ol { columns: 2; }
  h2, caption, thead { break-after: avoid; }
  figure, caption, .warnings, table.facts { break-inside: avoid; }
  tr { break-inside: avoid; }
  thead { display: table-header-group; }
  figure svg { max-width: 100%; border: none; }
}
)";

// A cell that holds a number (or a number's mark: -999, <0.0001, "-").
bool LooksNumeric(std::string_view cell) {
  if (cell.empty()) return false;
  std::size_t i = 0;
  if (cell[i] == '-' || cell[i] == '+' || cell[i] == '<') ++i;
  if (i == cell.size()) return cell == "-";
  for (; i < cell.size(); ++i) {
    const char c = cell[i];
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != 'E' && c != 'e' && c != '+' && c != '-')
      return false;
  }
  return true;
}

const char* StateClass(SectionState state) {
  switch (state) {
    case SectionState::Done: return "done";
    case SectionState::Failed: return "failed";
    case SectionState::NotRun: return "notrun";
  }
  return "done";
}

const char* StateText(SectionState state) {
  switch (state) {
    case SectionState::Done: return "done";
    case SectionState::Failed: return "failed";
    case SectionState::NotRun: return "not run";
  }
  return "";
}

class Writer {
 public:
  Writer(const ReportDocument& document, const SvgEncoder& encode) : d_(document), encode_(encode) {}

  std::string Page() {
    Put("<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\" xml:lang=\"en\">\n<head>\n");
    Put("<meta charset=\"utf-8\" />\n");
    Put("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n");
    Put("<title>" + EscapeHtml(d_.title) + "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n");
    Header();
    Warnings();
    Contents();
    for (std::size_t s = 0; s < d_.sections.size(); ++s) Section(d_.sections[s], s + 1);
    Put("<footer>Every number in the tables is the text of the file named at the top of its section, beside this "
        "report.</footer>\n</body>\n</html>\n");
    return std::move(html_);
  }

 private:
  void Put(std::string_view text) { html_ += text; }

  void Header() {
    Put("<header>\n<h1>" + EscapeHtml(d_.title) + "</h1>\n<table class=\"facts\">\n<tbody>\n");
    for (const Row& row : d_.header)
      Put("<tr><th>" + EscapeHtml(row.at(0)) + "</th><td>" + EscapeHtml(row.at(1)) + "</td></tr>\n");
    Put("</tbody>\n</table>\n</header>\n");
  }

  void Warnings() {
    if (d_.warnings.empty()) {
      Put("<section id=\"warnings\" class=\"nowarnings\"><p>No warnings: every analysis that ran completed, and "
          "no check failed.</p></section>\n");
      return;
    }
    Put("<section id=\"warnings\" class=\"warnings\">\n<h2>Warnings (" + std::to_string(d_.warnings.size()) +
        ")</h2>\n<ul>\n");
    for (const Warning& warning : d_.warnings) {
      Put("<li>");
      if (!warning.sectionId.empty())
        Put("<a href=\"#" + warning.sectionId + "\">" + EscapeHtml(TitleOf(warning.sectionId)) + "</a>: ");
      Put(EscapeHtml(warning.text) + "</li>\n");
    }
    Put("</ul>\n</section>\n");
  }

  std::string TitleOf(const std::string& id) const {
    for (const report::Section& section : d_.sections)
      if (section.id == id) return section.title;
    return id;
  }

  void Contents() {
    Put("<nav id=\"contents\">\n<h2>Contents</h2>\n<ol>\n");
    for (const report::Section& section : d_.sections)
      Put("<li><a href=\"#" + section.id + "\">" + EscapeHtml(section.title) + "</a> <span class=\"state " +
          StateClass(section.state) + "\">" + StateText(section.state) + "</span></li>\n");
    Put("</ol>\n</nav>\n");
  }

  void Section(const report::Section& section, std::size_t number) {
    Put("<section class=\"analysis\" id=\"" + section.id + "\">\n<h2>" + std::to_string(number) + ". " +
        EscapeHtml(section.title) + "</h2>\n");
    if (section.state != SectionState::Done)
      Put(std::string("<p class=\"status ") + StateClass(section.state) + "\">" +
          (section.state == SectionState::Failed ? "Failed: " : "Not run: ") + EscapeHtml(section.status) + "</p>\n");
    if (!section.files.empty()) {
      Put("<p class=\"files\">Numbers from ");
      for (std::size_t i = 0; i < section.files.size(); ++i)
        Put((i == 0 ? "" : ", ") + std::string("<code>") + EscapeHtml(section.files[i]) + "</code>");
      Put("</p>\n");
    }
    const std::vector<Block>& blocks = section.blocks;
    for (std::size_t b = 0; b < blocks.size();) {
      if (const auto* paragraph = std::get_if<Paragraph>(&blocks[b])) Put("<p>" + EscapeHtml(paragraph->text) + "</p>\n");
      if (const auto* table = std::get_if<report::Table>(&blocks[b])) Table(*table);
      if (!std::holds_alternative<FigureBlock>(blocks[b])) {
        ++b;
        continue;
      }
      // Figures in a row share a grid: two side by side where the page is wide enough.
      std::size_t end = b;
      while (end < blocks.size() && std::holds_alternative<FigureBlock>(blocks[end])) ++end;
      const bool grid = end - b > 1;
      if (grid) Put("<div class=\"figures\">\n");
      for (; b < end; ++b) Figure(std::get<FigureBlock>(blocks[b]));
      if (grid) Put("</div>\n");
    }
    Put("</section>\n");
  }

  void Table(const report::Table& table) {
    Put("<table>\n<caption><span class=\"label\">Table " + std::to_string(++tables_) + ".</span> " +
        EscapeHtml(table.caption) + "</caption>\n");
    if (!table.head.empty()) {
      Put("<thead><tr>");
      for (const std::string& cell : table.head) Put("<th>" + EscapeHtml(cell) + "</th>");
      Put("</tr></thead>\n");
    }
    Put("<tbody>\n");
    for (const Row& row : table.rows) {
      Put("<tr>");
      for (const std::string& cell : row)
        Put(std::string(LooksNumeric(cell) ? "<td class=\"num\">" : "<td>") + EscapeHtml(cell) + "</td>");
      Put("</tr>\n");
    }
    Put("</tbody>\n</table>\n");
  }

  void Figure(const FigureBlock& figure) {
    const int number = ++figures_;
    const std::string label = "Figure " + std::to_string(number) + ".";
    Put("<figure>\n");
    std::string svg;
    if (std::optional<std::string> reason = encode_ ? encode_(figure.figure, svg) : "no painter")
      Put("<p class=\"missing\">The picture is not in this report: " + EscapeHtml(*reason) + "</p>\n");
    else
      Put(InlineSvg(svg, "f" + std::to_string(number) + "-", label + " " + figure.caption) + "\n");
    Put("<figcaption><span class=\"label\">" + label + "</span> " + EscapeHtml(figure.caption) +
        "</figcaption>\n</figure>\n");
  }

  const ReportDocument& d_;
  const SvgEncoder& encode_;
  std::string html_;
  int tables_ = 0, figures_ = 0;
};

// Replaces every `from` in text by `to`.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// Removes the element that starts with open, up to and including close.
void RemoveElement(std::string& text, std::string_view open, std::string_view close) {
  const std::size_t at = text.find(open);
  if (at == std::string::npos) return;
  std::size_t end = text.find(close, at);
  if (end == std::string::npos) return;
  end += close.size();
  if (end < text.size() && text[end] == '\n') ++end;
  text.erase(at, end - at);
}

// Removes the attribute name="..." from the tag [begin, end) of text.
void RemoveAttribute(std::string& text, std::size_t begin, std::size_t& end, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  std::size_t at = text.find(key, begin);
  if (at == std::string::npos || at >= end) {
    const std::string wrapped = "\n" + std::string(name) + "=\"";
    at = text.find(wrapped, begin);
    if (at == std::string::npos || at >= end) return;
  }
  const std::size_t close = text.find('"', at + key.size());
  if (close == std::string::npos || close >= end) return;
  text.erase(at, close + 1 - at);
  end -= close + 1 - at;
}

}  // namespace

std::string HtmlReport(const ReportDocument& document, const SvgEncoder& encode) {
  return Writer(document, encode).Page();
}

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string InlineSvg(std::string_view svg, std::string_view idPrefix, std::string_view title) {
  const std::size_t start = svg.find("<svg");
  if (start == std::string_view::npos) return "<p class=\"missing\">The picture could not be read.</p>";
  std::string text(svg.substr(start));
  std::size_t tagEnd = text.find('>');
  if (tagEnd == std::string::npos) return "<p class=\"missing\">The picture could not be read.</p>";
  RemoveAttribute(text, 0, tagEnd, "width");
  RemoveAttribute(text, 0, tagEnd, "height");
  text.insert(tagEnd, " role=\"img\" aria-label=\"" + EscapeHtml(title) + "\"");
  RemoveElement(text, "<title>", "</title>");
  RemoveElement(text, "<desc>", "</desc>");
  ReplaceAll(text, " id=\"", " id=\"" + std::string(idPrefix));
  ReplaceAll(text, "url(#", "url(#" + std::string(idPrefix));
  ReplaceAll(text, "href=\"#", "href=\"#" + std::string(idPrefix));
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace kalvex::report
