#pragma once
// TEST HOOK. Another process cannot read this program's menus under Wine, so
// when the environment variable PIXTREL_TEST_DUMP names a file, the main
// window writes its menu bar, its tray menu and a few state values there as
// JSON (after load and after every capture change). Without the variable
// nothing is written and nothing else changes.
#include <windows.h>

#include <string>

namespace px::testhook {

bool Enabled();
// Replaces the dump file with `json` in one step (readers never see half a file).
void Write(const std::string& json);

// When PIXTREL_TEST_BROWSER names a file, the About window's link writes its
// address there instead of opening a browser (none is installed under Wine).
bool BrowserRecording();
void RecordBrowserAddress(const std::wstring& address);

// JSON pieces.
std::string Text(const std::wstring& s);
// [{"caption":..,"id":..,"enabled":..,"separator":..,"items":[...]}] for every entry of `menu`.
std::string Menu(HMENU menu);

}  // namespace px::testhook
