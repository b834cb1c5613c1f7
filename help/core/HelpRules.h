#pragma once
// The rules of the HTML Help object that need no platform: which names are
// help files, how the display target is built, the texts of its messages,
// version comparison and the friendly names of known component versions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace px::help {

inline constexpr wchar_t kMessageCaption[] = L"HTML Help Class";

// Message box icons of the help object (the platform's style numbers).
enum class MessageIcon : unsigned { Error = 16, Warning = 48, Information = 64 };

// True when the last three characters are "chm" in any case.
bool IsHelpFileName(std::wstring_view file);
// "file" or "file>window"; a window name of blanks only counts as none.
std::wstring DisplayTarget(std::wstring_view file, std::wstring_view window);
// The part after the last backslash (the whole name when there is none).
std::wstring BareFileName(std::wstring_view path);
// The part before the last backslash, without it ("" when there is none).
std::wstring FolderOfFile(std::wstring_view path);
// folder + "\" + name, without doubling a backslash the folder already ends with.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// Message texts.
std::wstring NotAHelpFileText(std::wstring_view file);
std::wstring FileMissingText(std::wstring_view file);
std::wstring NoWindowHandleText();
std::wstring AlreadyRegisteredText(std::wstring_view file);
std::wstring NotRegisteredText(std::wstring_view file);
std::wstring HhctrlNotRegisteredText();
std::wstring ShdocvwNotRegisteredText();
std::wstring HhctrlMovedText();
std::wstring ShdocvwMovedText();
// A call that opened nothing for a file that exists.
std::wstring TopicNotShownText(std::wstring_view file, int32_t topicId);
std::wstring NothingShownText(std::wstring_view file);
// Writing or deleting under the machine-wide key failed (usually missing rights).
std::wstring RegisterFailedText(std::wstring_view file);
std::wstring UnRegisterFailedText(std::wstring_view file);

// Numeric parts of a version string ("4.74.8702.00" -> 4, 74, 8702, 0); text
// after a blank is ignored, a part without digits counts as 0.
std::vector<uint32_t> VersionParts(std::string_view version);
// Compares part by part, numerically; missing parts count as 0.
bool VersionAtLeast(std::string_view installed, std::string_view minimum);

// Names of the known versions of the help control and the browser library; "unknown" otherwise.
std::string HHFriendlyName(std::string_view hhctrlVersion);
std::string IEFriendlyName(std::string_view shdocvwVersion);

}  // namespace px::help
