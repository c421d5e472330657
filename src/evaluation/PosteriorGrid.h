#pragma once
// The grid of a posterior integration, quiet: at one profile point the
// likelihood is summed over a rectangular grid of up to six integrated
// parameters. Every node's -ln[L] depends on its trial vector alone, so the
// evaluations of a sweep may be spread over threads; the weights are then
// summed in node order, which keeps the sums bit for bit the same however
// the nodes were evaluated.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace kalvex {

inline constexpr int kMaxIntegratedParameters = 6;

// The integrated parameters (level 1, the outermost, first) and their grid.
struct IntegrationGrid {
  std::vector<int> parameters;  // parameter numbers, one per level
  std::vector<double> steps;    // their steps
  int points = 0;               // GridPointCount: nodes per level, odd

  int Levels() const { return static_cast<int>(parameters.size()); }
  int Mid() const { return (points - 1) / 2 + 1; }
  // Grid point j (1..points) of a level centred on centre.
  double Value(int level, double centre, int j) const { return centre - (Mid() - j) * steps[level - 1]; }
};

// points ^ levels, in floating point as the call check counts it.
double NodeCount(int points, int levels);

// -ln[L] at a trial vector. Depends on nothing but the vector, which it may
// correct (links expanded, an out-of-range value reset by the model).
using NodeObjective = std::function<double(std::vector<double>& trial)>;

// Evaluates the innermost level's sweep: node j = 1..points puts the
// innermost parameter at its grid value about centre; the rest of trial is
// the caller's. negLnL[j - 1] gets node j's value. A correction a node makes
// to its vector carries to the nodes after it, in node order. This is the
// one place that evaluates nodes: a threaded version replaces it.
void EvaluateSweep(const IntegrationGrid& grid, double centre, std::vector<double>& trial,
                   const NodeObjective& objective, std::span<double> negLnL);

// Hears of the grid's progress at one profile point.
class IntegrationObserver {
 public:
  virtual ~IntegrationObserver() = default;
  // Before grid point j of an outer level (and before each sweep of the
  // innermost one, j = 1): true abandons the point.
  virtual bool LevelStep(int level, int parameter, int j) = 0;
  // After a sweep, its nodes' weights in node order (the caller sums them);
  // true abandons the point.
  virtual bool SweepDone(std::span<const double> weights) = 0;
};

struct PointIntegral {
  double sum = 0;          // the plain sum of the weights over all nodes
  bool abandoned = false;  // the observer stopped it
};

// The sum of exp(-(v - reference)) over every node of the grid centred on
// values (which are not changed). Throws NumericFault when a weight or the
// sum overflows.
PointIntegral IntegratePoint(const IntegrationGrid& grid, const std::vector<double>& values, double reference,
                             const NodeObjective& objective, IntegrationObserver& observer);

}  // namespace kalvex
