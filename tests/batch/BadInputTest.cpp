// Every batch command against bad input files: each exits 1 after a
// one-line message and leaves no output file behind. Every command reads a
// priors file too, so a bad one is bad input for all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "batch/Batch.h"
#include "batch/PlotPicture.h"
#include "support/TestModels.h"

namespace kalvex::batch {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

const std::string kData = Slurp(std::string(KALVEX_EXAMPLES) + "/two_species.dat");
const std::string kAlg = Slurp(std::string(KALVEX_EXAMPLES) + "/two_species.alg");

// A normal prior on parameter 1, the rest uniform-unbounded.
std::string PriorsText() {
  std::string table = "13\r\n";
  for (int i = 1; i <= 13; ++i) {
    std::string index = (i < 10 ? "  " : " ") + std::to_string(i);
    table += i == 1 ? index + "   N 0.000E+000 1.000E-001     Unused     Unused   Gaussian or Normal\r\n"
                    : index + "   U 1.000E-100 1.000E-100     Unused     Unused   Uniform - unbounded\r\n";
  }
  return table;
}
const std::string kPriors = PriorsText();

// A command, its options and the outputs it is given inside the output folder.
struct Command {
  const char* name;
  std::vector<std::string> outputs;  // "--option=file name"
  std::vector<std::string> options = {};  // "@NAME": the input file NAME
  bool plots = false;                      // takes --plot where the build draws pictures
};

// Adding a command is one row.
std::vector<Command> Commands() {
  std::vector<Command> commands = {
      {"eval", {}},
      {"alg", {"--out=out.alg"}},
      {"simplex", {"--out=out.alg", "--log=run.kvl"}},
      {"marquardt", {"--out=out.alg", "--log=run.kvl"}},
      {"summary", {"--out=out.kvo"}, {}, true},
      {"priors", {"--out=out.pri"}},
      {"prior-profile", {"--out=out.pdp"}, {"--parameter", "1"}},
      {"review", {"--out=out.rvp"}},
      {"covariance", {"--out=out.cov"}},
      {"profile", {"--out=out.mlc"}, {"--parameter", "1", "--points", "3"}, true},
      {"posterior", {"--out=out.pos", "--grid=out.grd"}, {"--parameter", "1", "--points", "3", "--grid-points", "3"}, true},
      {"rank", {"--out=out.mms"}, {"--alg", "@run.alg"}},
      {"hindcast", {"--out=out.hnd"}, {"--peels", "2", "--minimizer", "marquardt"}, true},
  };
  for (Command& command : commands)
    if (command.plots && PlotPicturesBuilt()) command.outputs.push_back("--plot=out.png");
  return commands;
}

std::string Lines(const std::string& text, std::size_t first, std::size_t count) {
  std::istringstream in(text);
  std::string line, kept;
  for (std::size_t i = 0; std::getline(in, line); ++i)
    if (i >= first && i < first + count) kept += line + "\n";
  return kept;
}

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
  return text.replace(text.find(what), what.size(), with);
}

// A bad input: the species count and the data, algorithm and priors file texts.
struct BadInput {
  const char* name;
  std::string species = "2";
  std::string data = kData;
  std::string alg = kAlg;
  std::string priors = kPriors;
  std::string says = {};  // a part of the message, where one is pinned
};

std::vector<BadInput> BadInputs() {
  std::string binary;
  for (int i = 0; i < 600; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  std::string periods101 = Lines(kData, 0, 1);
  while (std::count(periods101.begin(), periods101.end(), '\n') < 102) periods101 += Lines(kData, 1, 48);
  periods101 = Lines(periods101, 0, 102);
  return {
      {.name = "empty data", .data = ""},
      {.name = "truncated data", .data = kData.substr(0, 100)},
      {.name = "binary data", .data = binary},
      {.name = "101 periods", .data = periods101},
      {.name = "26 species", .species = "26"},
      {.name = "species 1e300", .species = "1e300"},
      {.name = "non-numeric index", .data = Replaced(kData, "0.45000", "n/a    ")},
      {.name = "catch NaN", .data = Replaced(kData, "2521", " NaN"),
       .says = "catch of species 1 of time period 1 (line 2) of the data file"},
      {.name = "catch Inf", .data = Replaced(kData, "1415", " Inf"), .says = "holds \"Inf\", which is not a number"},
      {.name = "catch NA", .data = Replaced(kData, "2547", "  NA"), .says = "Missing values are not supported"},
      {.name = "catch 25x21", .data = Replaced(kData, "    2521", "   25x21"), .says = "columns 14-20, holds \"25x21\""},
      {.name = "year abcd", .data = Replaced(kData, "1953", "abcd"), .says = "The year of time period 2 (line 3)"},
      {.name = "data of 3 species", .species = "3"},
      {.name = "empty algorithm file", .alg = ""},
      {.name = "truncated algorithm file", .alg = Lines(kAlg, 0, 9)},
      {.name = "binary algorithm file", .alg = binary},
      {.name = "non-numeric value", .alg = Replaced(kAlg, "-2.0000000E-01", "minus a fifth ")},
      {.name = "wrong parameter count", .alg = Replaced(kAlg, "            13", "            14")},
      {.name = "oversized algorithm file", .alg = kAlg + std::string(2000, '\n') + "trailing\r\n"},
      {.name = "empty priors file", .priors = ""},
      {.name = "truncated priors file", .priors = Lines(kPriors, 0, 6)},
      {.name = "binary priors file", .priors = binary},
      {.name = "non-numeric prior count", .priors = Replaced(kPriors, "13\r\n", "thirteen\r\n")},
      {.name = "wrong prior count", .priors = Replaced(kPriors, "13\r\n", "14\r\n"),
       .says = "has 14 parameters, but your model specifies 13. The priors have not been loaded."},
      {.name = "negative SD", .priors = Replaced(kPriors, " 1.000E-001", "-1.000E-001"),
       .says = "line 2, parameter 1 (Gaussian or Normal): the SD must be greater than 0"},
      {.name = "Beta mean 1.5", .priors = Replaced(kPriors, "N 0.000E+000", "B 1.500E+000"),
       .says = "(Beta): the mean must lie between 0 and 1"},
      {.name = "bounds reversed", .priors = Replaced(kPriors, "N 0.000E+000 1.000E-001     Unused     Unused",
                                                     "T 1.000E+000 1.000E-001 0.000E+000 1.000E-001"),
       .says = "the right foot must exceed the left foot"},
      {.name = "prior out of range", .priors = Replaced(kPriors, " 0.000E+000", " 1.000E+999")},
  };
}

TEST(BatchBadInput, EveryCommandExitsOneWithOneLineAndNoOutputFile) {
  const std::string dir = testing::TempDir() + "/bad_input";
  for (const BadInput& input : BadInputs()) {
    const std::string inputs = dir + "/in", outputs = dir + "/out";
    fs::create_directories(inputs);
    std::ofstream(inputs + "/run.dat", std::ios::binary) << input.data;
    std::ofstream(inputs + "/run.alg", std::ios::binary) << input.alg;
    std::ofstream(inputs + "/run.pri", std::ios::binary) << input.priors;
    for (const Command& command : Commands()) {
      fs::remove_all(outputs);
      fs::create_directories(outputs);
      std::vector<std::string> words = {"kalvex-batch", command.name, "--species", input.species,
                                        "--data", inputs + "/run.dat", "--alg", inputs + "/run.alg",
                                        "--priors", inputs + "/run.pri", "--constant", "1"};
      for (const std::string& option : command.options)
        words.push_back(option.front() == '@' ? inputs + "/" + option.substr(1) : option);
      for (const std::string& output : command.outputs) {
        words.push_back(output.substr(0, output.find('=')));
        words.push_back(outputs + "/" + output.substr(output.find('=') + 1));
      }
      std::vector<const char*> argv;
      for (const std::string& word : words) argv.push_back(word.c_str());
      std::ostringstream out, err;
      int code = RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
      const std::string message = err.str();
      const std::string where = std::string(command.name) + " with " + input.name + ": " + message;
      EXPECT_EQ(code, 1) << where;
      EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << where;
      EXPECT_EQ(message.back(), '\n') << where;
      EXPECT_TRUE(fs::is_empty(outputs)) << where;
      EXPECT_NE(message.find(input.says), std::string::npos) << where;
    }
  }
}

}  // namespace
}  // namespace kalvex::batch
