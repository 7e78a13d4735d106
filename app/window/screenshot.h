// Developer aid: fills the window with a sample case, runs one calculation and saves a picture
// of every tab page, for the documentation. Not part of the program's user interface.
#pragma once

#include <QString>

namespace vmk {

class Form1;

// Fills the sample case (app/frontend/sample_case.h), presses the calculate button and saves one PNG per tab page into
// `dir` (window-source.png, window-met.png, window-calc.png and, of the distance profile,
// window-profile.png). The window must be shown.
// Returns false when a picture could not be written.
bool SaveWindowPictures(Form1& window, const QString& dir);

}  // namespace vmk
