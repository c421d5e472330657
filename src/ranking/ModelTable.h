#pragma once
// The competing models of a ranking: one row per model with its -ln[L], its
// number of estimated parameters K and its criterion (AICc, or QAICc once
// C-hat is above 1); the ranking by ascending criterion with the criterion
// differences and Akaike weights.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalvex::ranking {

inline constexpr int kMaxModels = 99;

// What the table shows in place of a covariance file that cannot be read.
inline constexpr const char* kNoCovarianceFound = "No covariance file found";  // the name made from the algorithm file
inline constexpr const char* kNoSuchFile = "No such file exists";             // a name the user typed
inline constexpr const char* kNoPriors = "No Priors loaded";

struct ModelRow {
  int ModelNumber = 0;
  double ModelNegLnL = 0;
  int16_t ParameterCount = 0;  // K
  int32_t SampleSize = 0;      // n; 0: the model reports none
  double AICc = 0;
  double QAICc = 0;
  // Difference to the best model and Akaike weight of the criterion in use;
  // nullopt ("undefined") until a ranking computes them.
  std::optional<double> Delta;
  std::optional<double> Weight;
  std::string AlgorithmFile;
  std::string CovarianceFile;  // as shown: a file name or one of the missing texts
  std::string CovariancePath;  // where the averaging reads it
  std::string PriorsFile;
  std::string Notes;

  bool HasCovarianceFile() const { return CovarianceFile != kNoCovarianceFound && CovarianceFile != kNoSuchFile; }
};

// 2Kn / (n - K - 1), the small-sample term of both criteria; 0 when the
// model reports no sample size (n = 0); nullopt when n > 0 and n - K - 1 <= 0.
std::optional<double> SmallSampleTerm(int parameterCount, int32_t sampleSize);

class ModelTable {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Full() const { return Count() >= kMaxModels; }
  // Column 0 reads "Ranked": the shown order is a ranking.
  bool Ranked() const { return ranked_; }
  double CHat() const { return chat_; }
  bool UsesQAICc() const { return chat_ > 1; }
  double Criterion(const ModelRow& row) const { return UsesQAICc() ? row.QAICc : row.AICc; }

  // The model at grid position 1..Count(), in the order shown.
  const ModelRow& Shown(int position) const { return rows_[shown_[position - 1]]; }
  ModelRow& Shown(int position) { return rows_[shown_[position - 1]]; }

  // Appends a model (its ModelNumber one above the highest shown, so that
  // a model added after a deletion never repeats a number), computes its
  // criteria and shows the table in entry order, unranked. The row must
  // have a defined small-sample term.
  void Add(ModelRow row);
  // Removes the model at a grid position; the others keep their order.
  void Delete(int position);
  // Sets C-hat and recomputes every criterion; the ranking is dropped.
  void SetCHat(double chat);
  // Orders the models by ascending criterion (equal values keep their entry
  // order) and gives them their differences and weights. Throws
  // NumericFault when a difference is not finite.
  void Rank();
  // Every difference and weight "undefined"; column 0 reads "Random".
  void DropRanking();
  // No ranked model lacks its covariance file.
  bool AllCovarianceFiles() const;

 private:
  void Recompute(ModelRow& row) const;

  std::vector<ModelRow> rows_;  // in entry order
  std::vector<int> shown_;      // indices into rows_, in the order shown
  bool ranked_ = false;
  double chat_ = 1;
};

}  // namespace kalvex::ranking
