// The editor's window gives the screen back to whoever opened it, once.
#include "workflow/EditorWindow.h"

#include <gtest/gtest.h>

#include "support/ScriptedFrontend.h"

namespace kalvex {
namespace {

TEST(EditorWindow, TheCallerGetsItsWindowBack) {
  struct Case {
    EditorCaller caller;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {EditorCaller::Menu, {"show frmMenu"}},
      {EditorCaller::Ranking, {"show frmRank"}},
      {EditorCaller::Evaluation, {"show frmBayesian"}},
      {EditorCaller::None, {}},
  };
  for (const Case& c : cases) {
    ui::ScriptedFrontend ui;
    int opened = 0;
    const std::function<void()> show = [&] { ++opened; };
    EditorWindow editor(ui, &show);
    editor.OpenAndWait(c.caller, "frmBayesian");  // the scripted editor is never open: no wait
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(editor.OpenFromMenu(), c.caller == EditorCaller::Menu);
    EXPECT_FALSE(editor.HasClosed());
    editor.Closed();
    editor.Closed();  // a second report shows nothing again
    EXPECT_EQ(ui.windowEvents, c.shown);
    EXPECT_TRUE(editor.HasClosed());
    EXPECT_FALSE(editor.OpenFromMenu());
  }
}

}  // namespace
}  // namespace kalvex
