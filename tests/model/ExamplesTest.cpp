// The generated examples: they initialize, evaluate finitely, the truth they
// were simulated from fits better than the start values, and the generator
// still writes exactly the committed files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "model/OskaneModel.h"
#include "support/TestModels.h"
#include "workspace/Format.h"
#include "workspace/TextFile.h"

namespace kalvex {
namespace {

struct ExampleCase {
  const char* name;
  int species;
};
const ExampleCase kExamples[] = {{"one_species", 1}, {"two_species", 2}, {"three_species", 3}};

std::string Example(const std::string& file) { return std::string(KALVEX_EXAMPLES) + "/" + file; }

// Values (columns 1-14) and steps (columns 17-30) of an algorithm file's parameter lines.
void ReadAlgorithm(const std::string& path, int count, std::vector<double>& values, std::vector<double>& steps) {
  ReadResult file = ReadTextLines(path);
  ASSERT_TRUE(file.ok) << path;
  ASSERT_GE(file.lines.size(), static_cast<std::size_t>(count) + 7);
  EXPECT_EQ(Val(file.lines[0].substr(0, 14)), count);
  values.assign(count + 1, 0.0);
  steps.assign(count + 1, 0.0);
  for (int i = 1; i <= count; ++i) {
    values[i] = Val(file.lines[i].substr(0, 14));
    steps[i] = Val(file.lines[i].substr(16, 14));
  }
}

TEST(OskaneExamples, TruthFitsBetterThanTheStartValues) {
  for (const ExampleCase& ex : kExamples) {
    SCOPED_TRACE(ex.name);
    OskaneModel model;
    ModelShape shape = model.Initialize(ModelInitOptions{ex.species, Example(std::string(ex.name) + ".dat")});
    EXPECT_GE(model.NumPeriods(), 30);
    EXPECT_LE(model.NumPeriods(), 60);
    std::vector<double> start, startSteps, truth, truthSteps;
    ReadAlgorithm(Example(std::string(ex.name) + ".alg"), shape.numParameters, start, startSteps);
    ReadAlgorithm(Example(std::string(ex.name) + "_true.alg"), shape.numParameters, truth, truthSteps);
    for (int i = 1; i <= shape.numParameters; ++i) {
      if (i <= shape.numEstimated) {
        EXPECT_NE(startSteps[i], 0) << i;
        EXPECT_NE(start[i], truth[i]) << i;
      } else {
        EXPECT_EQ(startSteps[i], 0) << i;
      }
    }
    const double atStart = model.Evaluate(start, 1);
    const double atTruth = model.Evaluate(truth, 2);
    EXPECT_TRUE(std::isfinite(atStart));
    EXPECT_TRUE(std::isfinite(atTruth));
    EXPECT_LT(atTruth, atStart - 10);
    EXPECT_EQ(model.BestObjective(), atTruth);
  }
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(OskaneExamples, GeneratorWritesTheCommittedFiles) {
  const std::string generator = FolderOf(KALVEX_BATCH_EXE) + "/make_examples";
  if (!std::ifstream(generator)) GTEST_SKIP() << "make_examples not built";
  const std::string folder = testing::TempDir() + "/examples";
  ASSERT_EQ(std::system(("mkdir -p '" + folder + "' && '" + generator + "' '" + folder + "'").c_str()), 0);
  for (const ExampleCase& ex : kExamples)
    for (const char* suffix : {".dat", ".alg", "_true.alg"}) {
      const std::string name = std::string(ex.name) + suffix;
      EXPECT_EQ(FileBytes(folder + "/" + name), FileBytes(Example(name))) << name;
    }
  EXPECT_EQ(FileBytes(folder + "/README.md"), FileBytes(Example("README.md")));
}

}  // namespace
}  // namespace kalvex
