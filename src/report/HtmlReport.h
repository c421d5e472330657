#pragma once
// The report document as one self-contained page: styles inline (with a
// print stylesheet), each figure as an SVG drawing inside the page, nothing
// fetched from elsewhere. The markup is also well-formed XML (every element
// closed, attributes quoted, only the XML entities), so the page reads in
// any browser and a plain XML parser can check it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "plots/Figure.h"
#include "report/ReportDocument.h"

namespace kalvex::report {

// A figure's SVG document into svg, or the reason there is none. The
// pictures are painted outside the core (the Qt painters' SVG output).
using SvgEncoder = std::function<std::optional<std::string>(const plots::Figure& figure, std::string& svg)>;

std::string HtmlReport(const ReportDocument& document, const SvgEncoder& encode);

// Text made safe for an element or a quoted attribute: & < > " as entities.
std::string EscapeHtml(std::string_view text);

// An SVG document made fit to stand inside the page: the XML prolog and
// the painter's title dropped, the drawing scaled to the column (its
// viewBox kept), its ids prefixed so that drawings on one page never share
// one, and title as its accessible name.
std::string InlineSvg(std::string_view svg, std::string_view idPrefix, std::string_view title);

}  // namespace kalvex::report
