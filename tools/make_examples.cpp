// Writes the example data and start algorithm files under examples/ (or the
// folder given as the only argument). The data are simulated from the Oskane
// model itself with known parameters, so a fit should come back near them.
// The random numbers come from a fixed-seed generator of our own and normal
// deviates are built from uniforms by arithmetic alone, so every platform
// writes the same files.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/DataFile.h"
#include "model/ModelData.h"
#include "model/Parameters.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace {

using kalvex::FormatNumber;
using kalvex::RightJustify;
namespace model = kalvex::model;

// splitmix64: tiny, well mixed, and defined by integer arithmetic only.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  double Uniform() {  // in [0, 1), 53 random bits
    state_ += 0x9E3779B97F4A7C15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
  }
  // Irwin-Hall: the sum of twelve uniforms less 6 is close to a standard normal.
  double Normal() {
    double sum = 0;
    for (int k = 0; k < 12; ++k) sum += Uniform();
    return sum - 6;
  }

 private:
  uint64_t state_;
};

struct Truth {
  double b0, bME, bPE, bV, omega;
  std::vector<double> bMESpecies, bPESpecies;  // 1..S
};

struct Example {
  std::string name;
  std::string title;
  uint64_t seed;
  int species;
  int periods;
  int firstYear;
  int interventionStart;  // first period with intervention 1
  double firstIndex;      // true index of period 1
  double innovationSD;
  Truth truth;
  std::vector<double> catchBase;  // 1..S
  Truth start;
};

// Rounds v to the digits FormatNumber writes with pattern, so the simulation
// runs on exactly the numbers the file will hold.
double AsWritten(double v, const char* pattern) { return kalvex::Val(FormatNumber(v, pattern)); }

// Five decimals keep the index within the seven-character field below 10.
const char* const IndexPattern = "0.00000";

// Effort, catches and intervention first; then the index period by period
// from the prediction equation with MA(1) errors of the model's Lambda.
model::ModelData Simulate(const Example& ex) {
  Random random(ex.seed);
  const int n = ex.periods;
  const int s = ex.species;
  model::ModelData d = model::ModelData::Sized(s);
  d.NumPeriods = n;
  double effort = 2500;
  for (int i = 1; i <= n; ++i) {
    effort = effort * (1 + 0.12 * random.Normal());
    if (effort < 600) effort = 600 + 50 * random.Uniform();
    if (effort > 9000) effort = 9000 - 50 * random.Uniform();
    d.Year[i] = ex.firstYear + i - 1;
    d.TimeCount[i] = static_cast<int16_t>(i);
    d.Effort[i] = AsWritten(effort, "0");
    for (int j = 1; j <= s; ++j) {
      double c = ex.catchBase[j] * std::sqrt(effort / 2500) * (1 + 0.25 * random.Normal());
      if (c < 10) c = 10 + 5 * random.Uniform();
      d.Catch(i, j) = AsWritten(c, "0");
    }
    d.Intervention[i] = i >= ex.interventionStart ? 1 : 0;
    d.HarvestIndex[i] = 1;  // placeholder until the index is simulated
  }
  model::DeriveSeries(d);

  const Truth& t = ex.truth;
  const double w = t.omega;
  // The same root as the likelihood's Lambda; residuals are u(i) - rho u(i-1).
  const double a = (1 - w * w) * w;
  const double b = 2 * w * w * w - 2 * w - 1;
  const double rho = a != 0 ? (-b - std::sqrt(b * b - 4 * a * a)) / (2 * a) : 0;
  double previousInnovation = ex.innovationSD * random.Normal();
  std::vector<double> lnIndex(n + 1, 0.0);
  lnIndex[1] = std::log(ex.firstIndex);
  for (int i = 2; i <= n; ++i) {
    double prediction = t.bV * d.Intervention[i] + t.b0 +
                        w * (lnIndex[i - 1] + d.IndexGap[i]) + t.bME * d.LnEffortFromStart[i] +
                        t.bPE * d.LnEffortStep[i];
    for (int j = 1; j <= s; ++j)
      prediction += d.StdCatchFromStart(i, j) * t.bMESpecies[j] + d.StdCatchStep(i, j) * t.bPESpecies[j];
    const double innovation = ex.innovationSD * random.Normal();
    const double residual = innovation - rho * previousInnovation;
    previousInnovation = innovation;
    lnIndex[i] = d.LnEffortFromStart[i] + prediction + residual;
  }
  for (int i = 1; i <= n; ++i) d.HarvestIndex[i] = AsWritten(std::exp(lnIndex[i]), IndexPattern);
  return d;
}

bool Fits(const std::string& field) { return field.size() <= 7; }

std::string DataFileText(const Example& ex, const model::ModelData& d, bool& ok) {
  kalvex::TextBuilder text;
  std::string header = "Year  Effort";
  for (int j = 1; j <= ex.species; ++j) header += RightJustify("C" + std::to_string(j), 8);
  header += "       V   Index";
  text.Line(header);
  for (int i = 1; i <= d.NumPeriods; ++i) {
    std::vector<std::string> fields{FormatNumber(d.Effort[i], "0")};
    for (int j = 1; j <= ex.species; ++j) fields.push_back(FormatNumber(d.Catch(i, j), "0"));
    fields.push_back(FormatNumber(d.Intervention[i], "0"));
    fields.push_back(FormatNumber(d.HarvestIndex[i], IndexPattern));
    std::string line = RightJustify(FormatNumber(d.Year[i], "0"), 4);
    for (const std::string& f : fields) {
      ok = ok && Fits(f) && d.HarvestIndex[i] > 0;
      line += " " + RightJustify(f, 7);
    }
    text.Line(line);
  }
  return text.Text();
}

std::vector<double> ParameterVector(const Example& ex, const Truth& t, const model::ModelData& d) {
  const model::ParameterLayout p{ex.species};
  std::vector<double> v(p.Count() + 1, 0.0);
  v[p.Intercept()] = t.b0;
  v[p.EffortME()] = t.bME;
  v[p.EffortPE()] = t.bPE;
  v[p.Intervention()] = t.bV;
  v[p.Omega()] = t.omega;
  for (int j = 1; j <= ex.species; ++j) {
    v[p.SpeciesME(j)] = t.bMESpecies[j];
    v[p.SpeciesPE(j)] = t.bPESpecies[j];
    v[p.ForecastCatch(j)] = d.Catch(d.NumPeriods, j);  // forecast at the last period's catches
  }
  v[p.ForecastEffort()] = d.Effort[d.NumPeriods];
  v[p.ForecastIntervention()] = 1;
  return v;
}

std::string Scientific(double v) { return FormatNumber(v, "0.0000000E+00"); }

// The algorithm file as the main menu writes it; estimated parameters free.
std::string AlgorithmFileText(const Example& ex, const std::vector<double>& values, bool free) {
  const model::ParameterLayout p{ex.species};
  const std::vector<std::string> descriptions = model::ParameterDescriptions(p);
  kalvex::TextBuilder text;
  text.Line(RightJustify(FormatNumber(p.Count(), "###0"), 14) + "  Number of parameters");
  for (int i = 1; i <= p.Count(); ++i) {
    double step = 0;
    if (free && i <= p.Estimated()) step = i == p.Omega() ? 0.05 : 0.1;
    text.Line(RightJustify(Scientific(values[i]), 14) + RightJustify(Scientific(step), 16) +
              RightJustify("~~", 4) + "  Value, step then link for " + descriptions[i]);
  }
  text.Line(RightJustify(Scientific(1e-6), 14) + "  Simplex limit (+ for ABS, - for REL)");
  text.Line(RightJustify(FormatNumber(9999, "####0"), 14) +
            "  Maximum # of function calls (simplex) or iterations (Marquardt)");
  text.Line(RightJustify(FormatNumber(10, "####0"), 14) + "  Terminal output frequency");
  text.Line(RightJustify(FormatNumber(0, "####0"), 14) + "  File output frequency");
  text.Line(RightJustify("minimize.kvl", 14) + "  Name of output file");
  text.Line(RightJustify(Scientific(0.1), 14) + "  Step size reduction fraction");
  return text.Text();
}

std::string Number(double v) { return kalvex::GeneralNumber(v); }

std::string ReadmeSection(const Example& ex, const model::ModelData& d) {
  const model::ParameterLayout p{ex.species};
  const std::vector<std::string> descriptions = model::ParameterDescriptions(p);
  const std::vector<double> truth = ParameterVector(ex, ex.truth, d);
  const std::vector<double> start = ParameterVector(ex, ex.start, d);
  std::string s = "## " + ex.name + ".dat\n\n" + ex.title + ": " + std::to_string(ex.species) +
                  " species, " + std::to_string(ex.periods) + " periods (" + std::to_string(ex.firstYear) +
                  "-" + std::to_string(ex.firstYear + ex.periods - 1) + "), intervention 1 from " +
                  std::to_string(ex.firstYear + ex.interventionStart - 1) +
                  ", innovation SD " + Number(ex.innovationSD) + ", true index in the first period " +
                  Number(ex.firstIndex) + ".\n\n";
  s += "| # | parameter | true value | start value (" + ex.name + ".alg) |\n|---|---|---|---|\n";
  for (int i = 1; i <= p.Count(); ++i)
    s += "| " + std::to_string(i) + " | " + descriptions[i] + " | " + Number(truth[i]) + " | " +
         Number(start[i]) + (i > p.Estimated() ? " (fixed)" : "") + " |\n";
  return s + "\n";
}

std::vector<Example> Examples() {
  std::vector<Example> list;
  {
    Example e{"one_species", "One species, mostly measurement error", 0x4F534B31, 1, 40, 1960, 26, 0.30,
              0.06, {}, {0, 3000}, {}};
    e.truth = {-0.84, 0.25, 0.15, -0.20, 0.30, {0, 0.12}, {0, 0.05}};
    e.start = {-0.6, 0.1, 0.3, -0.1, 0.2, {0, 0.05}, {0, 0.1}};
    list.push_back(e);
  }
  {
    Example e{"two_species", "Two species, process and measurement error in equal parts", 0x4F534B32, 2, 48,
              1952, 31, 0.45, 0.05, {}, {0, 4000, 1500}, {}};
    e.truth = {-0.40, 0.20, 0.30, -0.25, 0.50, {0, 0.10, -0.06}, {0, 0.08, 0.04}};
    e.start = {-0.2, 0.1, 0.1, -0.1, 0.35, {0, 0.05, 0}, {0, 0.02, 0}};
    list.push_back(e);
  }
  {
    Example e{"three_species", "Three species, mostly process error", 0x4F534B33, 3, 56, 1948, 38, 0.25,
              0.05, {}, {0, 5000, 2000, 800}, {}};
    e.truth = {-0.35, 0.10, 0.20, -0.15, 0.75, {0, 0.09, 0.05, -0.04}, {0, 0.06, -0.03, 0.05}};
    e.start = {-0.1, 0, 0.05, 0, 0.6, {0, 0, 0, 0}, {0, 0, 0, 0}};
    list.push_back(e);
  }
  return list;
}

bool Save(const std::string& path, const std::string& text) {
  if (auto error = kalvex::SaveTextFile(path, text)) {
    std::fprintf(stderr, "make_examples: cannot write %s: %s\n", path.c_str(), error->c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "examples";
  std::string readme =
      "# Example data\n\n"
      "Written by `tools/make_examples` (fixed seed, so every run writes the same files):\n"
      "the effort, catches and intervention are random, the harvest-rate index is simulated\n"
      "from the Oskane model itself with the true parameters below, so a fit should land near\n"
      "them. Each `.alg` file frees the estimated parameters from start values near (not at)\n"
      "the truth and fixes the forecast inputs (step 0) at the last period's effort and catches\n"
      "with the intervention on; `*_true.alg` holds the true values with every step 0.\n\n"
      "Initialize with the number of species of the example, then load its `.alg` file.\n\n";
  for (const Example& ex : Examples()) {
    model::ModelData d = Simulate(ex);
    bool ok = true;
    const std::string data = DataFileText(ex, d, ok);
    if (!ok) {
      std::fprintf(stderr, "make_examples: %s has a field wider than 7 characters\n", ex.name.c_str());
      return 1;
    }
    // Read back what was written so the README and the forecast inputs use the file's numbers.
    const model::ModelData written = model::ParseModelData(kalvex::SplitLines(data), ex.species, ex.name);
    if (!Save(folder + "/" + ex.name + ".dat", data) ||
        !Save(folder + "/" + ex.name + ".alg",
              AlgorithmFileText(ex, ParameterVector(ex, ex.start, written), true)) ||
        !Save(folder + "/" + ex.name + "_true.alg",
              AlgorithmFileText(ex, ParameterVector(ex, ex.truth, written), false)))
      return 1;
    readme += ReadmeSection(ex, written);
  }
  // The README keeps LF line ends: it is for people, not for the readers.
  return Save(folder + "/README.md", readme) ? 0 : 1;
}
