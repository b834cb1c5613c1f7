#pragma once
// wintool's commands about the screen: the monitors as the platform lists
// them, and the selection overlay's read-out label painted for a given text.
#include <cwchar>

namespace wintool {

int CmdMonitors(int argc, wchar_t** argv);
int CmdLabel(int argc, wchar_t** argv);

}  // namespace wintool
