#pragma once
// The read-only information windows of the main window's menus: the default
// settings and file names, practical advice, and the credits. Each is shown
// while the main window is disabled and gives it back when it closes.
#include <QWidget>

namespace kalvex::app {

inline constexpr const char* kDefaultsForm = "frmDefaults";
inline constexpr const char* kWisdomForm = "frmWisdom";
inline constexpr const char* kCreditsForm = "frmCredits";

// Title and text of each window.
QString InformationTitle(const char* form);
QString InformationText(const char* form);

// A window of its own with the text and a "&Close" button.
QWidget* MakeInformationWindow(const char* form);

}  // namespace kalvex::app
