#pragma once
// The two places the saving windows (JPEG, GIF) talk to the user, shared and
// replaceable: the file name prompt (the platform's Save As dialog) and the
// message box. The main window can route the prompt through its own dialog,
// and tests answer both without a person.
#include <windows.h>

#include <functional>
#include <string>

namespace px {

// Caption of the program's message boxes.
inline constexpr wchar_t kMessageBoxTitle[] = L"Orvo Pixtrel";

// Shows a message box with kMessageBoxTitle as caption and returns the
// button pressed (IDOK, IDCANCEL).
using MessageBoxFunction = std::function<int(HWND owner, const std::wstring& text, UINT type)>;
int ShowMessageBox(HWND owner, const std::wstring& text, UINT type);

// What the save dialog is asked for.
struct SaveDialogRequest {
    HWND owner = nullptr;
    std::wstring filter;  // "description|pattern|" pairs
    DWORD flags = 0;      // OFN_ flags
    std::wstring title;   // the dialog's caption; empty for the platform's own
};
// Returns the chosen full path, or an empty string when the user cancelled.
using SavePathPrompt = std::function<std::wstring(const SaveDialogRequest&)>;
// The platform's Save As dialog, starting with an empty file name.
std::wstring ShowSaveAsDialog(const SaveDialogRequest& request);

}  // namespace px
