#include "ranking/ModelTable.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "workspace/NumericFault.h"

namespace kalvex::ranking {

std::optional<double> SmallSampleTerm(int parameterCount, int32_t sampleSize) {
  if (sampleSize == 0) return 0.0;
  const double n = sampleSize, k = parameterCount;
  if (n - k - 1 <= 0) return std::nullopt;
  return 2 * k * n / (n - k - 1);
}

void ModelTable::Recompute(ModelRow& row) const {
  const double term = SmallSampleTerm(row.ParameterCount, row.SampleSize).value_or(0.0);
  row.AICc = CheckFinite(2 * row.ModelNegLnL + term);
  row.QAICc = CheckFinite(term + 2 * row.ModelNegLnL / chat_);
}

void ModelTable::DropRanking() {
  ranked_ = false;
  for (ModelRow& row : rows_) row.Delta = row.Weight = std::nullopt;
}

void ModelTable::Add(ModelRow row) {
  int highest = 0;
  for (const ModelRow& other : rows_) highest = std::max(highest, other.ModelNumber);
  row.ModelNumber = highest + 1;
  Recompute(row);
  rows_.push_back(std::move(row));
  shown_.resize(rows_.size());
  std::iota(shown_.begin(), shown_.end(), 0);
  DropRanking();
}

void ModelTable::Delete(int position) {
  const int index = shown_[position - 1];
  rows_.erase(rows_.begin() + index);
  shown_.erase(shown_.begin() + (position - 1));
  for (int& i : shown_)
    if (i > index) --i;
  DropRanking();
}

void ModelTable::SetCHat(double chat) {
  chat_ = chat;
  for (ModelRow& row : rows_) Recompute(row);
  DropRanking();
}

void ModelTable::Rank() {
  if (rows_.empty()) return;
  std::vector<int> order(rows_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](int a, int b) { return Criterion(rows_[a]) < Criterion(rows_[b]); });
  // Into temporaries first: a fault leaves the table as it was.
  const double best = Criterion(rows_[order.front()]);
  std::vector<double> delta(rows_.size());
  double sum = 0;
  for (int i : order) {
    delta[i] = i == order.front() ? 0.0 : CheckFinite(Criterion(rows_[i]) - best);
    sum += std::exp(-0.5 * delta[i]);
  }
  for (int i : order) {
    rows_[i].Delta = delta[i];
    rows_[i].Weight = std::exp(-0.5 * delta[i]) / sum;
  }
  shown_ = std::move(order);
  ranked_ = true;
}

bool ModelTable::AllCovarianceFiles() const {
  return std::all_of(rows_.begin(), rows_.end(), [](const ModelRow& row) { return row.HasCovarianceFile(); });
}

}  // namespace kalvex::ranking
