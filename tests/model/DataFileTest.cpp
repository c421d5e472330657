// Reading the Oskane data file and the model's initialization (NF = 0).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "model/DataFile.h"
#include "model/OskaneModel.h"
#include "model/OskaneTestData.h"
#include "support/TestModels.h"
#include "workspace/Workspace.h"

namespace kalvex {
namespace {

using testing::TestData;

ModelShape Init(OskaneModel& model, int species, const std::string& path) {
  return model.Initialize(ModelInitOptions{species, path});
}

TEST(OskaneDataFile, OneSpeciesColumnsAndLenientFields) {
  OskaneModel model;
  ModelShape shape = Init(model, 1, TestData("oskane_one_species.dat"));
  EXPECT_EQ(shape.numParameters, 10);
  EXPECT_EQ(shape.numEstimated, 7);
  EXPECT_EQ(shape.dataPointCount, 0);
  const model::ModelData& d = model.Data();
  ASSERT_EQ(d.NumPeriods, 5);
  EXPECT_EQ(d.Year[1], 1990);
  EXPECT_EQ(d.TimeCount[5], 5);
  EXPECT_EQ(d.Effort[2], 1200);
  EXPECT_EQ(d.Catch(1, 1), 1234);  // "  1 234": the blank inside is ignored
  EXPECT_EQ(d.Intervention[3], 1);  // columns 22-28
  EXPECT_DOUBLE_EQ(d.HarvestIndex[2], 0.62);  // columns 30-36
  EXPECT_EQ(model::InterventionColumns(1).first, 22);
  EXPECT_EQ(model::IndexColumns(1).last, 36);
  EXPECT_EQ(model::IndexColumns(25).last, 228);
}

TEST(OskaneDataFile, FieldsPastTheLineEndReadAsZero) {
  EXPECT_EQ(model::FieldValue("1990    1000", model::IndexColumns(1)), 0);
  EXPECT_EQ(model::FieldValue("1990    10", model::EffortColumns()), 10);
  EXPECT_FALSE(model::FieldValue("1990  abc  ", model::EffortColumns()));  // not a number: refused
}

TEST(OskaneDataFile, CarriageReturnOnlyFileReadsTheSame) {
  OskaneModel crlf, cr;
  Init(crlf, 1, TestData("oskane_one_species.dat"));
  Init(cr, 1, TestData("oskane_one_species_cr.dat"));
  ASSERT_EQ(cr.Data().NumPeriods, 5);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(cr.Data().Effort[i], crlf.Data().Effort[i]);
    EXPECT_EQ(cr.Data().HarvestIndex[i], crlf.Data().HarvestIndex[i]);
  }
}

TEST(OskaneDataFile, DerivedSeries) {
  OskaneModel model;
  Init(model, 1, TestData("oskane_one_species.dat"));
  const model::ModelData& d = model.Data();
  const double catches[] = {1234, 1500, 800, 1300, 1000};
  double mean = 0, squares = 0;
  for (double c : catches) mean += c / 5, squares += c * c / 5;
  const double sd = std::sqrt(5.0 / 4.0) * std::sqrt(squares - mean * mean);
  EXPECT_NEAR(d.CatchMean[1], mean, 1e-9);
  EXPECT_NEAR(d.CatchSD[1], sd, 1e-9);
  EXPECT_NEAR(d.StdCatch(3, 1), (800 - mean) / sd, 1e-12);
  EXPECT_NEAR(d.LnEffortFromStart[2], std::log(1200.0 / 1000.0), 1e-12);
  EXPECT_NEAR(d.IndexFromStart[2], std::log(0.62) - std::log(1.2), 1e-12);
  EXPECT_NEAR(d.LnEffortStep[3], std::log(900.0 / 1200.0), 1e-12);
  EXPECT_NEAR(d.StdCatchStep(3, 1), (800 - 1500) / sd, 1e-12);
  EXPECT_NEAR(d.IndexStep[3], std::log(0.41) - std::log(0.75), 1e-12);
  EXPECT_NEAR(d.IndexGap[3], d.IndexFromStart[3] - d.IndexStep[3], 1e-15);
  // Undefined in period 1.
  EXPECT_EQ(d.LnEffortStep[1], 0);
  EXPECT_EQ(d.StdCatchStep(1, 1), -999);
  EXPECT_EQ(d.IndexStep[1], -999);
  EXPECT_EQ(d.IndexGap[1], -999);
  EXPECT_EQ(d.IndexFromStart[1], d.LnIndex[1]);
}

TEST(OskaneDataFile, DescriptionsForTwoSpecies) {
  OskaneModel model;
  testing::RawOskaneData raw = testing::MakeOskaneData(2, 6, 7);
  ModelShape shape = Init(model, 2, testing::WriteOskaneDataFile(raw, "two.dat"));
  ASSERT_EQ(shape.numParameters, 13);
  ASSERT_EQ(shape.descriptions.size(), 14u);
  EXPECT_EQ(shape.numEstimated, 9);
  EXPECT_EQ(shape.descriptions[1], "Intercept for ME model (Beta(0)=Beta(0)'+(1-Omega)*True(I(1))) [0]");
  EXPECT_EQ(shape.descriptions[4], "Species 2 coefficient (Beta(ME,2)=(1-Omega)*Gamma(ME,2)*(1+Zeta(ME))) [0]");
  EXPECT_EQ(shape.descriptions[5], "Effort coefficient for PE model (Omega*Zeta(P)) [0]");
  EXPECT_EQ(shape.descriptions[6], "Species 1 coefficient (Beta(PE,1)=Omega*Gamma(PE,1)*(1+Zeta(PE))) [0]");
  EXPECT_EQ(shape.descriptions[8], "Step intervention coefficient (Beta(V)) [0]");
  EXPECT_EQ(shape.descriptions[9], "Omega (p[PE]) [0, all ME] or [1, all PE]");
  EXPECT_EQ(shape.descriptions[10], "Effort in forecast period f [0, Step size MUST = 0]");
  EXPECT_EQ(shape.descriptions[12], "Catch of Species 2 in forecast period f [0, Step size MUST = 0]");
  EXPECT_EQ(shape.descriptions[13], "Value of intervention in forecast period f [0 or 1, Step size MUST = 0]");
}

TEST(OskaneDataFile, TwentyFiveSpeciesIndexEndsInColumn228) {
  testing::RawOskaneData raw = testing::MakeOskaneData(25, 12, 11);
  ASSERT_EQ(testing::OskaneDataLine(raw, 0).size(), 228u);
  OskaneModel model;
  ModelShape shape = Init(model, 25, testing::WriteOskaneDataFile(raw, "s25.dat"));
  EXPECT_EQ(shape.numParameters, 82);
  for (int i = 1; i <= 12; ++i) {
    EXPECT_DOUBLE_EQ(model.Data().HarvestIndex[i], raw.index[i - 1]);
    EXPECT_EQ(model.Data().Catch(i, 25), raw.catches[i - 1][24]);
  }
}

TEST(OskaneDataFile, HundredPeriodsReadWhole) {
  OskaneModel model;
  Init(model, 1, testing::WriteOskaneDataFile(testing::MakeOskaneData(1, 100, 3), "p100.dat"));
  EXPECT_EQ(model.Data().NumPeriods, 100);
}

// A failed initialization keeps every piece of the previous model.
class OskaneInitFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    Init(model, 1, TestData("oskane_one_species.dat"));
    values = {0, 0.1, 0.2, 0.3, 0.1, 0.2, 0.05, 0.4, 0, 0, 0};
    before = model.Evaluate(values, 1);
  }
  void ExpectUnchanged() {
    EXPECT_EQ(model.NumSpecies(), 1);
    EXPECT_EQ(model.NumParameters(), 10);
    EXPECT_EQ(model.Data().NumPeriods, 5);
    EXPECT_EQ(model.DataFileName(), TestData("oskane_one_species.dat"));
    EXPECT_EQ(model.Descriptions().size(), 11u);
    EXPECT_EQ(model.Evaluate(values, 1), before);
  }
  InitializationError Fail(int species, const std::string& path) {
    try {
      Init(model, species, path);
    } catch (const InitializationError& e) {
      return e;
    }
    ADD_FAILURE() << "no InitializationError for " << path;
    return InitializationError("", "");
  }
  OskaneModel model;
  std::vector<double> values;
  double before = 0;
};

TEST_F(OskaneInitFailure, MoreThanHundredPeriodsIsAnOverrun) {
  std::string path = testing::WriteOskaneDataFile(testing::MakeOskaneData(2, 101, 5), "p101.dat");
  InitializationError e = Fail(2, path);
  EXPECT_EQ(e.Title(), "Fatal error: Input overun");
  EXPECT_STREQ(e.what(), "The program attempted to read beyond the limit of 100 time periods");
  EXPECT_EQ(e.Style(), 64);
  ExpectUnchanged();
}

TEST_F(OskaneInitFailure, DataThatBreakADerivedSeriesNameTheirPlace) {
  std::string text = Fail(1, TestData("oskane_short_line.dat")).what();
  EXPECT_NE(text.find("harvest rate index of time period 2 (line 3)"), std::string::npos) << text;
  EXPECT_NE(text.find("oskane_short_line.dat"), std::string::npos) << text;
  ExpectUnchanged();

  text = Fail(1, TestData("oskane_zero_effort.dat")).what();
  EXPECT_NE(text.find("effort of time period 2"), std::string::npos) << text;
  text = Fail(1, TestData("oskane_constant_catch.dat")).what();
  EXPECT_NE(text.find("catches of species 1"), std::string::npos) << text;
  // Catches that vary but overflow the sum of squares say so.
  text = Fail(1, TestData("oskane_huge_catch.dat")).what();
  EXPECT_NE(text.find("species 1 in the data file " + TestData("oskane_huge_catch.dat") +
                      " are too large: the sum of their squares overflows."),
            std::string::npos)
      << text;
  text = Fail(1, TestData("oskane_one_period.dat")).what();
  EXPECT_NE(text.find("at least 2"), std::string::npos) << text;
  text = Fail(1, TestData("no_such_file.dat")).what();
  EXPECT_NE(text.find("could not be opened"), std::string::npos) << text;
  // Endless inputs are refused before they are read whole.
  EXPECT_STREQ(Fail(1, "/dev/zero").what(), "The data file /dev/zero could not be opened: Not a regular file.");
  const std::string wide = testing::TempDir() + "/wide.dat";
  std::ofstream(wide, std::ios::binary) << "labels\r\n" << std::string(5000, ' ') << "\r\n";
  text = Fail(1, wide).what();
  EXPECT_EQ(text, "The data file " + wide + " could not be read: Line 2 is longer than 4096 characters.");
  // Files from R or a spreadsheet mark a missing value with NA or NaN.
  const std::string missing = testing::TempDir() + "/missing.dat";
  std::ofstream(missing, std::ios::binary) << "Year  Effort      C1       V   Index\r\n"
                                           << "1990    1000    1500       0  0.5000\r\n"
                                           << "1991    1200      NA       0  0.6200\r\n";
  EXPECT_EQ(std::string(Fail(1, missing).what()),
            "The catch of species 1 of time period 2 (line 3) of the data file " + missing +
                ", columns 14-20, holds \"NA\", which is not a number. Missing values are not supported: "
                "every field must hold a number.");
  // Read as two species, the one-species file has its index in the intervention column.
  Fail(2, TestData("oskane_one_species.dat"));
  Fail(0, TestData("oskane_one_species.dat"));
  Fail(26, TestData("oskane_one_species.dat"));
  ExpectUnchanged();
}

TEST(OskaneDataFile, LinesLaidOutForAnotherSpeciesCountNameIt) {
  OskaneModel model;
  const std::string three = testing::WriteOskaneDataFile(testing::MakeOskaneData(3, 6, 5), "three.dat");
  // Wider than one species' columns: asked first, naming the count they fit.
  EXPECT_EQ(model.InitializeQuestion({1, three}),
            "The lines of the data file " + three +
                " hold numbers beyond the columns of 1 species; they fit the columns of 3 species.\r\n\r\n"
                "Do you want to go on with 1 species?");
  EXPECT_NE(model.InitializeQuestion({2, three}).value_or("").find("columns of 2 species; they fit the columns of 3"),
            std::string::npos);
  EXPECT_FALSE(model.InitializeQuestion({3, three}));
  EXPECT_FALSE(model.InitializeQuestion({1, TestData("oskane_one_species.dat")}));
  EXPECT_FALSE(model.InitializeQuestion({1, TestData("no_such_file.dat")}));  // left for Initialize to report
  // Narrower than three species' columns: the index past the line end is 0, and the message says why.
  try {
    Init(model, 3, TestData("oskane_one_species.dat"));
    ADD_FAILURE() << "one-species lines read as three species";
  } catch (const InitializationError& e) {
    EXPECT_TRUE(std::string(e.what()).ends_with(
        " is 0; it must be greater than 0 because the model uses its logarithm. "
        "The lines of the data file fit the columns of 1 species, not 3 species."))
        << e.what();
  }
}

TEST(OskaneModelInit, EmptyPathRereadsThePreviousFileAndWorkspaceIsReset) {
  Workspace ws(MakeOskaneModel());
  EXPECT_THROW(InitializeModel(ws, ModelInitOptions{1, ""}), InitializationError);
  InitializeModel(ws, ModelInitOptions{1, TestData("oskane_one_species.dat")});
  EXPECT_EQ(ws.Alg.NumParameters, 10);
  EXPECT_EQ(ws.NumEstimated, 7);
  InitializeModel(ws, ModelInitOptions{1, ""});
  EXPECT_EQ(ws.DataFileName, TestData("oskane_one_species.dat"));
  EXPECT_EQ(ws.model->BestValues().size(), 11u);
}

}  // namespace
}  // namespace kalvex
