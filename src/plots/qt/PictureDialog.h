#pragma once
// The plot windows' "Save picture...": where to, in which format (PNG, SVG
// or PDF), and the failure shown when the picture cannot be written.
#include <QString>

#include <functional>

#include "plots/Figure.h"

class QWidget;

namespace kalvex::plots {

// Writes the figure to path (its format by the extension); a failure is
// shown in a message box. Whether it was written.
bool SavePictureOrSay(QWidget* parent, const Figure& figure, const QString& path);

// Asks for a file (proposed: the name offered) and saves the figure there.
// A name given without an extension gets the chosen format's.
bool AskAndSavePicture(QWidget* parent, const QString& proposed, const std::function<bool(const QString&)>& save);

}  // namespace kalvex::plots
