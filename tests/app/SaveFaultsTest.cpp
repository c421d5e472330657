// Every save of the workbench against the faults a real system gives it: the
// failure is reported with the system's reason, an existing file survives
// byte for byte with its permissions, and a symbolic link is written through.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

#include "algorithm/AlgorithmFile.h"
#include "evaluation/LikelihoodProfile.h"
#include "evaluation/PosteriorIntegration.h"
#include "workflow/CovarianceWindows.h"
#include "workflow/SummaryWindow.h"
#include "plots/BivariatePlot.h"
#include "plots/qt/FigurePainter.h"
#include "plots/qt/XYPlotPainter.h"
#include "priors/PriorsFile.h"
#include "support/SaveFaults.h"
#include "ui/Names.h"
#include "workflow/EvaluationWindows.h"
#include "workflow/RankingWindow.h"
#include "support/TestModels.h"
#include "support/ScriptedFrontend.h"
#include "workspace/PriorTable.h"
#include "workspace/TextFile.h"

using namespace kalvex;
using kalvex::testing::FileBytes;
namespace fs = std::filesystem;

namespace {

// What a save showed: nothing when it succeeded, else its message.
struct Outcome {
  bool saved = false;
  std::string title;  // empty for saves that only return their reason
  std::string text;
};

struct Saver {
  const char* name;
  std::function<Outcome(const std::string& path, bool failureExpected)> save;
  bool truncatesFirst = false;  // written as it goes: an old file is emptied at the start
};

Outcome FromReason(const std::optional<std::string>& error) {
  return error ? Outcome{false, {}, *error} : Outcome{true, {}, {}};
}

Outcome AlgorithmSave(const std::string& path, bool failureExpected) {
  Workspace ws;
  ws.Alg.NumParameters = 2;
  SetDefaultAlgorithmData(ws);
  ws.Alg.Descriptions = {"", "First", "Second"};
  ui::ScriptedFrontend ui;
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (WriteAlgorithmFile(ws, ui, AlgorithmFileVariant::MainMenu) == AlgorithmSaveOutcome::Saved) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

Outcome SummarySave(const std::string& path, bool failureExpected) {
  ui::ScriptedFrontend ui;
  ui.SetPaneText(workflow::kSummaryForm, workflow::kSummaryPane, "The report\r\n");
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (workflow::SaveSummary(ui)) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

Outcome PriorsSave(const std::string& path, bool failureExpected) {
  Workspace ws;
  ws.Alg.NumParameters = 2;
  ResetPriorTable(ws);
  ui::ScriptedFrontend ui;
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (WritePriorsFile(ws, ui, PriorsFileVariant::MainMenu) == PriorsSaveOutcome::Saved) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

Outcome RankingSave(const std::string& path, bool failureExpected) {
  Workspace ws;
  ui::ScriptedFrontend ui;
  ranking::RankingWindow ranking(ws, ui);
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (ranking.SaveRanking() == ranking::RankingSaveOutcome::Saved) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

Outcome LogSave(const std::string& path, bool staged) {
  LogWriter log;
  if (staged) log.StageWrites();
  if (std::optional<std::string> error = log.Open(path)) return FromReason(error);
  log.Write("Initial parameter values:");
  log.WriteLine(std::string(200, '-'));
  log.Close();
  return FromReason(log.Error());
}

Outcome PictureSave(const std::string& path, bool) {
  plots::XYPlotData data;
  data.values.Resize(3, 1);
  for (int i = 1; i <= 3; ++i) data.values(i, 1) = i;
  data.seriesMinimum = {0, 0};
  data.seriesMaximum = {0, 4};
  data.seriesLabels = {"", "Index"};
  data.xMinimum = data.xStartLabel = 1;
  data.xMaximum = data.xEndLabel = 3;
  plots::XYPlot plot(data);
  plot.PlotIt();
  return FromReason(plots::SaveXYPlotPicture(plot, path));
}

// A report pane of an evaluation saved by its window's button.
Outcome EvaluationSave(const std::string& path, bool failureExpected, std::string_view form, std::string_view pane,
                       const std::function<std::optional<std::string>(ui::Frontend&)>& save) {
  ui::ScriptedFrontend ui;
  ui.SetPaneText(form, pane, "The report\r\n");
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (save(ui)) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

Outcome GridSave(const std::string& path, bool failureExpected) {
  Workspace ws;
  ws.Evaluation.Bivariate = BivariateGrid(3, 3);
  ui::ScriptedFrontend ui;
  ui.ExpectSave(path);
  if (failureExpected) ui.ExpectMessage("Save failed");
  if (SaveBivariateGrid(ws, ui)) return {true, {}, {}};
  return {false, ui.LastMessage().title, ui.LastMessage().text};
}

const std::vector<Saver>& Savers() {
  static const std::vector<Saver> savers = {
      {"algorithm file", AlgorithmSave},
      {"summary report", SummarySave},
      {"priors file", PriorsSave},
      {"covariance results", [](const std::string& path, bool failing) {
         Workspace ws;
         return EvaluationSave(path, failing, ui::names::kCovarianceForm, ui::names::kCovariancePane,
                               [&ws](ui::Frontend& ui) { return workflow::CovarianceWindows(ws, ui).Save(); });
       }},
      {"ranking file", RankingSave},
      {"minimization log", [](const std::string& path, bool) { return LogSave(path, false); }, true},
      {"kalvex-batch's minimization log", [](const std::string& path, bool) { return LogSave(path, true); }},
      {"picture", PictureSave},
      {"likelihood profile", [](const std::string& path, bool failing) {
         return EvaluationSave(path, failing, ui::names::kMaxLikeForm, ui::names::kMaxLikePane,
                               [](ui::Frontend& ui) { return SaveLikelihoodProfile(Workspace(), ui); });
       }},
      {"posterior", [](const std::string& path, bool failing) {
         return EvaluationSave(path, failing, ui::names::kBayesianForm, ui::names::kBayesianPane,
                               [](ui::Frontend& ui) { return SavePosterior(Workspace(), ui); });
       }},
      {"bivariate grid", GridSave},
      {"evaluation picture",
       [](const std::string& path, bool) { return FromReason(plots::SaveFigurePicture(plots::BivariatePlot::LegendPicture(), path)); }},
  };
  return savers;
}

// A place to save into, made ready for one fault.
struct Scene {
  std::string path;         // what the save is given
  std::string written;      // the file whose content and permissions are checked
  std::string folder;       // its names before and after must match ("" = not checked)
  std::string oldContent;   // of the existing file ("" = none)
  mode_t oldMode = 0;
};

struct Fault {
  const char* name;
  std::function<Scene(const std::string& folder)> make;
  int expectedErrno = 0;             // 0: the save succeeds
  bool needsPermissionBits = false;  // a process that ignores them cannot fail here
  bool failsWhileWriting = false;    // the fault strikes after the file was opened
};

Scene ExistingFile(const std::string& folder, const std::string& name, mode_t mode) {
  Scene scene{folder + "/" + name, folder + "/" + name, folder, "old contents\r\n", mode};
  {
    std::ofstream(scene.path, std::ios::binary) << scene.oldContent;
  }
  chmod(scene.path.c_str(), mode);
  return scene;
}

const std::vector<Fault>& Faults() {
  static const std::vector<Fault> faults = {
      {"an existing file keeps its permissions",
       [](const std::string& folder) { return ExistingFile(folder, "kept.out", 0640); }},
      {"a name of 255 bytes",
       [](const std::string& folder) {
         const std::string path = folder + "/" + std::string(251, 'n') + ".out";
         return Scene{path, path, folder, {}, 0};
       }},
      {"a symbolic link is written through",
       [](const std::string& folder) {
         fs::create_directories(folder + "/real");
         Scene scene = ExistingFile(folder + "/real", "target.out", 0600);
         scene.path = folder + "/link.out";
         fs::create_symlink("real/target.out", scene.path);
         return scene;
       }},
      {"a name that is a folder",
       [](const std::string& folder) {
         fs::create_directories(folder + "/taken.out/inner");
         return Scene{folder + "/taken.out", "", folder, {}, 0};
       },
       EISDIR},
      {"a full disk",
       [](const std::string&) { return Scene{"/dev/full", "", "", {}, 0}; }, ENOSPC, false, true},
      {"a write error over an existing file",
       [](const std::string& folder) { return ExistingFile(folder, "kept.out", 0640); }, EFBIG, false, true},
      {"a folder without write permission",
       [](const std::string& folder) {
         fs::create_directories(folder + "/locked");
         chmod((folder + "/locked").c_str(), 0555);
         return Scene{folder + "/locked/new.out", "", folder + "/locked", {}, 0};
       },
       EACCES, true},
      // Refused for root too: the permission bits are the file's promise.
      {"a read-only file",
       [](const std::string& folder) { return ExistingFile(folder, "readonly.out", 0444); }, EACCES},
  };
  return faults;
}

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

}  // namespace

class SaveFaultsTest : public QObject {
  Q_OBJECT
 private slots:
  void everySaveMeetsEveryFault_data() {
    QTest::addColumn<int>("saver");
    QTest::addColumn<int>("fault");
    for (int s = 0; s < static_cast<int>(Savers().size()); ++s)
      for (int f = 0; f < static_cast<int>(Faults().size()); ++f)
        QTest::addRow("%s: %s", Savers()[s].name, Faults()[f].name) << s << f;
  }

  void everySaveMeetsEveryFault() {
    QFETCH(int, saver);
    QFETCH(int, fault);
    const Saver& save = Savers()[static_cast<std::size_t>(saver)];
    const Fault& made = Faults()[static_cast<std::size_t>(fault)];
    if (made.needsPermissionBits && !testing::PermissionBitsApply())
      QSKIP("permission bits do not stop this process (run as root)");
    if (made.expectedErrno == ENOSPC && !fs::exists("/dev/full")) QSKIP("no /dev/full here");

    const std::string folder = testing::TempDir() + "/faults-" + std::to_string(saver) + "-" + std::to_string(fault);
    fs::create_directories(folder);
    const Scene scene = made.make(folder);
    const std::set<std::string> namesBefore = scene.folder.empty() ? std::set<std::string>{} : NamesIn(scene.folder);

    Outcome outcome;
    {
      std::unique_ptr<testing::FileSizeLimit> limit;
      if (made.expectedErrno == EFBIG) limit = std::make_unique<testing::FileSizeLimit>(8);
      outcome = save.save(scene.path, made.expectedErrno != 0);
    }
    if (!scene.folder.empty()) chmod(scene.folder.c_str(), 0755);

    if (made.expectedErrno == 0) {
      QVERIFY2(outcome.saved, outcome.text.c_str());
      QVERIFY(FileBytes(scene.written) != scene.oldContent);
      if (scene.oldMode != 0) QCOMPARE(ModeOf(scene.written), scene.oldMode);
      if (scene.path != scene.written) QVERIFY(fs::is_symlink(scene.path));
    } else {
      QVERIFY(!outcome.saved);
      const std::string reason = std::strerror(made.expectedErrno);
      QVERIFY2(outcome.text.find(reason) != std::string::npos, (outcome.text + " lacks " + reason).c_str());
      if (!outcome.title.empty()) QCOMPARE(outcome.title, std::string("Save failed"));
      if (!scene.oldContent.empty()) {
        if (!(save.truncatesFirst && made.failsWhileWriting)) QCOMPARE(FileBytes(scene.written), scene.oldContent);
        QCOMPARE(ModeOf(scene.written), scene.oldMode);
      }
    }
    // Nothing is left beside the file: no temporary, whatever happened.
    if (!scene.folder.empty()) {
      std::set<std::string> namesAfter = NamesIn(scene.folder);
      namesAfter.erase(fs::path(scene.path).filename().string());
      std::set<std::string> expected = namesBefore;
      expected.erase(fs::path(scene.path).filename().string());
      QCOMPARE(namesAfter, expected);
    }
  }
};

QTEST_MAIN(SaveFaultsTest)
#include "SaveFaultsTest.moc"
