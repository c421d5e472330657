#pragma once
// The bivariate density plot without any widget: grid cells coloured by
// how far their density lies below the peak (in normal standard-deviation
// units), reference lines at 0 and 1, the axis, peak and correlation labels,
// and the legend of the colour bands.
#include <array>
#include <optional>
#include <string>

#include "plots/Figure.h"
#include "workspace/Results.h"

namespace kalvex::plots {

// The band colour of a cell whose density is rel times the peak's.
int BivariateBandColour(double rel);

struct BivariateLabels {
  std::string xyMin, xyMax, peak, var, lineInfo, corr;
};

// The legend's seven bands, the peak's at the top: colour and label.
struct LegendBand {
  int colour;
  const char* label;
};
inline constexpr std::array<LegendBand, 7> kBivariateLegend{{{12, "   0.0  "},
                                                             {6, "< 0.5"},
                                                             {14, "< 1.0"},
                                                             {2, "< 1.5"},
                                                             {3, "< 2.0"},
                                                             {1, "< 2.5"},
                                                             {5, "< 3.0"}}};

// The nominal plot area in twips: x 720..8640, y 480 (top)..6720 (bottom).
inline constexpr double kBivarLeft = 720, kBivarRight = 8640, kBivarTop = 480, kBivarBottom = 6720;

class BivariatePlot {
 public:
  explicit BivariatePlot(BivariateGrid grid);

  const BivariateGrid& Grid() const { return grid_; }
  const BivariateLabels& Labels() const { return labels_; }
  // "clear": the picture and labels emptied (tick marks stay).
  void Clear();
  // Draws the grid: cells, reference lines, labels and the correlation.
  void Draw();

  // The widened frame of the last Draw (twips).
  double Left() const { return left_; }
  double Right() const { return right_; }
  double Top() const { return top_; }
  double Bottom() const { return bottom_; }

  // On screen: the frame with its tick marks, and round ticks labelled.
  Figure Picture() const;
  // For a file: the cells, ticks, axis titles, the peak and the correlation
  // in the subtitle, and the colour bands' legend beside.
  Figure FilePicture() const;
  // The legend as a picture of its own (LegendBox).
  static Figure LegendPicture();

 private:
  BivariateGrid grid_;
  BivariateLabels labels_;
  std::vector<FigureItem> items_;
  double left_ = kBivarLeft, right_ = kBivarRight, top_ = kBivarTop, bottom_ = kBivarBottom;
  // The data ranges of the widened frame; set when Draw drew cells.
  std::optional<std::array<double, 4>> ranges_;  // xlo, xhi, ylo, yhi
  std::optional<double> correlation_;
};

}  // namespace kalvex::plots
