#pragma once
// Pictures can be written from a program without windows (the batch front
// end): drawing text needs a GUI application.

namespace kalvex::plots {

// Makes an offscreen GUI application when the program has none. Its Qt
// notes on the environment are kept off standard error; critical and fatal
// messages pass.
void EnsureGuiApplication();

}  // namespace kalvex::plots
