#pragma once
// What the DPI tests look at in a window laid out for its DPI: whether each
// control's text, measured in the control's own font, fits the control, and a
// screenshot of the window for the artefacts.
#include <windows.h>

#include <string>
#include <vector>

#include "base/win/ScopedWin.h"

namespace px::test {

// Declares per-monitor awareness for the calling thread, as the program's manifest does.
void UsePerMonitorDpi();

// Where a test leaves a file for people to look at (PIXTREL_ARTEFACTS, else the current folder).
std::wstring ArtefactPath(const std::wstring& name);

// The window as the screen shows it (the part on the screen).
win::ScopedBitmap WindowShot(HWND hwnd);
// Saves WindowShot(hwnd) as <name>At<dpi>dpi.bmp in the artefacts; false when that fails.
bool SaveWindowShot(HWND hwnd, const std::wstring& name, UINT dpi);

struct Misfit {
    std::wstring text;
    SIZE need, have;
};

// Which controls TextThatDoesNotFit measures.
enum class Measured { LabelsAndChecks, AllTextControls };

// Visible controls (at any depth) whose text in their own font is wider or
// taller than they are. LabelsAndChecks: statics and native buttons;
// AllTextControls adds edit boxes and our buttons. A check box's or option's
// text is measured with its box beside it, and a button that wraps its text
// (BS_MULTILINE) by the height of its lines. `measured` counts the controls looked at.
std::vector<Misfit> TextThatDoesNotFit(HWND parent, int dpi, int& measured,
                                       Measured kinds = Measured::AllTextControls);

}  // namespace px::test
