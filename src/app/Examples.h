#pragma once
// The example files the workbench opens with --example: beside the program
// in a build folder (examples/), or under the install prefix
// (share/kalvex/examples beside bin/).
#include <QString>
#include <optional>

namespace kalvex::app {

struct ExampleFiles {
  int species = 2;
  QString data, algorithm;
};

// The two-species example found from the program's folder; nullopt when
// neither place holds it.
std::optional<ExampleFiles> FindTwoSpeciesExample(const QString& programFolder);

// The folders FindTwoSpeciesExample looks in, in order.
QStringList ExampleFolders(const QString& programFolder);

}  // namespace kalvex::app
