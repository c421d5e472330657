// The answers of the evaluations' prompts: the point-count rules of the
// profile and of the posterior, and the step-basis readings.
#include "evaluation/EvaluationPrompts.h"

#include <gtest/gtest.h>

#include "ui/NumberInput.h"

namespace kalvex {
namespace {

TEST(EvaluationPrompts, PointCountRules) {
  // answer, profile count, posterior profile-point count, posterior grid count (0: asked again / prompts
  // restart; text that is not a number is refused before it gets here, and an empty grid answer counts as 0)
  struct Row {
    const char* answer;
    int profile, posterior, grid;
  };
  const Row rows[] = {
      {"0", 25, 0, 0},  {"1", 3, 3, 3},         {"2", 3, 3, 3},         {"4", 5, 5, 5},  {"1001", 1001, 1001, 1001},
      {"1002", 0, 0, 0}, {"-1", 0, 0, 0}, {"", 0, 0, 0}, {" 24 ", 25, 25, 25}, {"4,4", 5, 5, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer);
    std::optional<double> number = ui::ParseTypedNumber(row.answer);
    EXPECT_EQ(number ? ProfilePointCount(*number).value_or(0) : 0, row.profile);
    EXPECT_EQ(number ? PosteriorPointCount(*number).value_or(0) : 0, row.posterior);
    EXPECT_EQ(PosteriorGridPointCount(number.value_or(0)).value_or(0), row.grid);
  }
}

TEST(EvaluationPrompts, StepBasisAnswers) {
  struct Row {
    std::optional<std::string_view> answer;
    StepBasis profile, posterior;
  };
  const Row rows[] = {
      {"q", StepBasis::Quit, StepBasis::Quit},          {"Q", StepBasis::Quit, StepBasis::Quit},
      {std::nullopt, StepBasis::Quit, StepBasis::Quit},  {"", StepBasis::Quit, StepBasis::Unchanged},
      {"2", StepBasis::Grid2, StepBasis::Grid2},
      {"n", StepBasis::Unchanged, StepBasis::Unchanged}, {"x", StepBasis::AskAgain, StepBasis::Unchanged},
      {" 1", StepBasis::AskAgain, StepBasis::Unchanged},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.answer.value_or("(cancelled)")));
    EXPECT_EQ(ProfileStepBasis(row.answer), row.profile);
    EXPECT_EQ(PosteriorStepBasis(row.answer), row.posterior);
  }
}

}  // namespace
}  // namespace kalvex
