#pragma once
// The ranking's texts: the grid's headers and cells, the C-hat box and the
// multi-model statistics file (".mms"), which is written from the table as
// it is shown once ranked.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "ranking/ModelTable.h"

namespace kalvex::ranking {

inline constexpr int kRankColumns = 10;
inline constexpr const char* kUndefined = "undefined";

using RankGridLine = std::array<std::string, kRankColumns>;

// "Random" or "Ranked", then "-ln[L]", "K", the criterion's three headers
// and the four file and note columns.
RankGridLine RankGridHeaders(const ModelTable& table);
// The cells of the model at a grid position (1-based).
RankGridLine RankGridRow(const ModelTable& table, int position);
// "   2)    7": the grid position, then the model's number.
std::string RowLabel(int position, int modelNumber);
// "C-hat: 1.500"
std::string CHatText(double chat);

// The whole ".mms" file (CR LF lines); the averaging text follows an empty
// line when there is one.
std::string RankingFileText(const ModelTable& table, std::optional<std::string_view> averageText);

}  // namespace kalvex::ranking
