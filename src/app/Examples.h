#pragma once
// The example files the workbench opens with --example: beside the program
// in a build folder (examples/), or under the install prefix
// (share/kalvex/examples beside bin/). They are opened from a copy in a
// folder of the user's own, so that saving over them never touches the
// shipped files (nor fails where those cannot be written).
#include <QString>
#include <QStringList>
#include <optional>

namespace kalvex::app {

struct ExampleFiles {
  int species = 2;
  QString data, algorithm;
};

// The folder holding the two-species example, found from the program's
// folder; nullopt when neither place holds it.
std::optional<QString> FindExampleFolder(const QString& programFolder);

// The folders FindExampleFolder looks in, in order.
QStringList ExampleFolders(const QString& programFolder);

// Where the user's copy of the examples lives: "examples" in the
// application's data folder (under $XDG_DATA_HOME, ~/.local/share/Kalvex).
QString UserExampleFolder();

// Copies every example file of source that target does not hold yet (a
// copy made on an earlier start, with the user's changes, is kept) and
// gives the two-species example in target; nullopt with the reason in
// error when the folder or a file cannot be made.
std::optional<ExampleFiles> CopyExamples(const QString& source, const QString& target, QString& error);

}  // namespace kalvex::app
