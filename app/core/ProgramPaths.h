#pragma once
// Every file of the program is named by appending a fixed relative string,
// starting with a backslash, to the folder that holds the program file.
#include <string>

namespace px {

// Folder of a module path, without a trailing separator ("C:\a\b.exe" -> "C:\a").
std::wstring FolderOfModulePath(const std::wstring& modulePath);

struct ProgramPaths {
    std::wstring folder;  // without trailing backslash

    std::wstring ScratchBitmapPath() const { return folder + L"\\Data\\" + L"temp.bmp"; }
    std::wstring StartPicturePath() const { return folder + L"\\Data\\pixtrel-window.gif"; }
    std::wstring HelpFilePath() const { return folder + L"\\Help\\Pixtrel.chm"; }
};

}  // namespace px
