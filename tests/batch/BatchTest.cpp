#include "batch/Batch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "support/TestModels.h"

namespace kalvex::batch {
namespace {

struct BatchRun {
  int code;
  std::string out, err;
};

BatchRun Batch(std::vector<std::string> words) {
  words.insert(words.begin(), "kalvex-batch");
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  std::ostringstream out, err;
  int code = RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

const std::string kData = std::string(KALVEX_EXAMPLES) + "/two_species.dat";
const std::string kAlg = std::string(KALVEX_EXAMPLES) + "/two_species.alg";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(BatchEval, PrintsTheObjectiveAndEveryValueAsTheModelLeftIt) {
  BatchRun run = Batch({"eval", "--species", "2", "--data", kData, "--alg", kAlg});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[0].rfind("objective ", 0), 0u);
  EXPECT_EQ(lines[1], "value 1 -0.2");
  EXPECT_EQ(lines[13], "value 13 1");
  EXPECT_TRUE(run.err.empty());
}

TEST(BatchEval, ValuesReplaceTheAlgorithmDataAndShowTheOmegaCorrection) {
  BatchRun run = Batch({"eval", "--species", "2", "--data", kData, "--values",
                   "-0.4,0.2,0.1,-0.06,0.3,0.08,0.04,-0.25,1.5,1000,3000,900,1"});
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  EXPECT_EQ(lines[9], "value 9 0");  // an Omega above 1 comes back as 0
  double objective = std::stod(lines[0].substr(10));
  EXPECT_GT(objective, 2.4e19);  // with its penalty of 1e20 x 0.5 squared
}

TEST(BatchEval, BadInputExitsOneAfterItsMessage) {
  BatchRun count = Batch({"eval", "--species", "2", "--data", kData, "--values", "1,2,3"});
  EXPECT_EQ(count.code, 1);
  EXPECT_EQ(count.err, "kalvex-batch: --values needs exactly 13 numbers\n");
  BatchRun missing = Batch({"eval", "--species", "2", "--data", testing::TempDir() + "/none.dat"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("none.dat"), std::string::npos);
  BatchRun wrongCount = Batch({"eval", "--species", "3", "--data", std::string(KALVEX_EXAMPLES) + "/three_species.dat", "--alg", kAlg});
  EXPECT_EQ(wrongCount.code, 1);
  EXPECT_NE(wrongCount.err.find("Algorithm file - information input failed: Algorithm file  "), std::string::npos);
  BatchRun species = Batch({"eval", "--species", "26", "--data", kData});
  EXPECT_EQ(species.code, 1);
}

TEST(BatchUsage, WrongUsageExitsTwoWithTheUsageText) {
  for (auto words : std::vector<std::vector<std::string>>{
           {}, {"nonsense"}, {"eval", "--species", "2"}, {"eval", "--species", "2", "--data", kData, "--bogus", "1"},
           {"alg", "--species", "2", "--data", kData, "--alg", kAlg}, {"eval", "stray"}}) {
    BatchRun run = Batch(words);
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("usage: kalvex-batch COMMAND"), std::string::npos);
  }
}

TEST(BatchAlg, RewritesANormalizedAlgorithmFile) {
  std::string dir = testing::TempDir();
  std::string in = dir + "/tight.alg", out = dir + "/checked.alg";
  {
    std::ifstream source(kAlg, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(source)), {});
    // Tolerance line: the 16th line of a 13-parameter file.
    std::size_t at = 0;
    for (int line = 1; line < 15; ++line) at = text.find("\r\n", at) + 2;
    text.replace(at, 14, "-5.0000000E-07");
    std::ofstream(in, std::ios::binary) << text;
  }
  BatchRun run = Batch({"alg", "--species", "2", "--data", kData, "--alg", in, "--out", out});
  ASSERT_EQ(run.code, 0) << run.err;
  std::ifstream written(out, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(written)), {});
  EXPECT_NE(text.find("-1.0000000E-06  Simplex limit (+ for ABS, - for REL)\r\n"), std::string::npos);
  BatchRun unwritable = Batch({"alg", "--species", "2", "--data", kData, "--alg", in, "--out", dir + "/no/such/dir.alg"});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_EQ(unwritable.err.rfind("Save failed: ", 0), 0u);
}

}  // namespace
}  // namespace kalvex::batch
