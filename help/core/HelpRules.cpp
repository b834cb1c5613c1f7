#include "help/core/HelpRules.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <utility>

namespace px::help {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

template <size_t N>
std::string LookUp(const std::pair<const char*, const char*> (&table)[N], std::string_view version) {
    for (auto& [v, name] : table)
        if (EqualNoCase(v, version)) return name;
    return "unknown";
}

constexpr std::pair<const char*, const char*> kHHVersions[] = {
    {"4.72.7290.00", "1.0"},
    {"4.72.7323.00", "1.1"},
    {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"},
    {"4.73.8252.00", "1.2"},
    {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"},
    {"4.73.8561.00", "1.22"},
    {"4.74.8566.00", "1.3 Windows 2000 Beta"},
    {"4.74.8637.00", "1.3 IE 5.5 Platform Preview Beta"},
    {"4.74.8702.00", "1.3"},
};

constexpr std::pair<const char*, const char*> kIEVersions[] = {
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
    {"5.00.2721.1400", "5.0d (ImportExport Favorites Issue Update)"},
    {"5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
    {"5.00.2919.3800", "5.x (Windows 2000 RC2, build 5.00.2128)"},
    {"5.00.2919.6307", "5.01"},
    {"5.50.3825.1300", "5.5 Platform Preview"},
};

}  // namespace

bool IsHelpFileName(std::wstring_view file) {
    if (file.size() < 3) return false;
    auto tail = file.substr(file.size() - 3);
    return std::towlower(tail[0]) == L'c' && std::towlower(tail[1]) == L'h' && std::towlower(tail[2]) == L'm';
}

std::wstring DisplayTarget(std::wstring_view file, std::wstring_view window) {
    const auto first = window.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return std::wstring(file);
    const auto last = window.find_last_not_of(L' ');
    return std::wstring(file) + L">" + std::wstring(window.substr(first, last - first + 1));
}

std::wstring BareFileName(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring FolderOfFile(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring s(folder);
    if (!s.empty() && s.back() != L'\\') s += L'\\';
    return s + std::wstring(name);
}

std::wstring NotAHelpFileText(std::wstring_view file) {
    return std::wstring(file) + L" is not a valid HTML Help file.";
}

std::wstring FileMissingText(std::wstring_view file) {
    return L"The file " + std::wstring(file) + L" does not exist." + L"\n" +
           L"Please make sure the correct path and file name have been specified.";
}

std::wstring NoWindowHandleText() { return L"No HTML Help window handle to retrieve."; }

std::wstring AlreadyRegisteredText(std::wstring_view file) {
    return L"The file " + std::wstring(file) + L" is already registered.  " +
           L"HHRegister will not be run as no action need be taken.";
}

std::wstring NotRegisteredText(std::wstring_view file) {
    return L"The file " + std::wstring(file) + L" is not registered.  " +
           L"HHUnRegister will not be run as no action need be taken.";
}

std::wstring HhctrlNotRegisteredText() { return std::wstring(L"Hhctrl.ocx is not registered.  ") + L"Please install HTML Help."; }

std::wstring ShdocvwNotRegisteredText() {
    return std::wstring(L"Shdocvw.dll is not registered.  ") + L"Please install Internet Explorer.";
}

std::wstring HhctrlMovedText() {
    return std::wstring(L"Hhctrl.ocx is not in its registered location.  ") + L"Please reinstall HTML Help.";
}

std::wstring ShdocvwMovedText() {
    return std::wstring(L"Internet Explorer is not in its registered location.  ") +
           L"Please reinstall Internet Explorer.";
}

std::wstring TopicNotShownText(std::wstring_view file, int32_t topicId) {
    return L"Topic " + std::to_wstring(topicId) + L" could not be shown from " + std::wstring(file) + L".";
}

std::wstring NothingShownText(std::wstring_view file) {
    return std::wstring(file) + L" could not be shown.";
}

std::wstring RegisterFailedText(std::wstring_view file) {
    return L"The file " + std::wstring(file) + L" could not be registered.  " +
           L"Registering help files needs administrator rights.";
}

std::wstring UnRegisterFailedText(std::wstring_view file) {
    return L"The file " + std::wstring(file) + L" could not be unregistered.  " +
           L"Unregistering help files needs administrator rights.";
}

std::vector<uint32_t> VersionParts(std::string_view version) {
    version = version.substr(0, version.find(' '));
    std::vector<uint32_t> parts;
    size_t start = 0;
    while (start <= version.size()) {
        const size_t dot = std::min(version.find('.', start), version.size());
        uint64_t value = 0;
        for (size_t i = start; i < dot && std::isdigit(static_cast<unsigned char>(version[i])); ++i)
            value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(version[i] - '0'), UINT32_MAX);
        parts.push_back(static_cast<uint32_t>(value));
        start = dot + 1;
    }
    return parts;
}

bool VersionAtLeast(std::string_view installed, std::string_view minimum) {
    const auto a = VersionParts(installed), b = VersionParts(minimum);
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const uint32_t x = i < a.size() ? a[i] : 0, y = i < b.size() ? b[i] : 0;
        if (x != y) return x > y;
    }
    return true;
}

std::string HHFriendlyName(std::string_view hhctrlVersion) { return LookUp(kHHVersions, hhctrlVersion); }

std::string IEFriendlyName(std::string_view shdocvwVersion) { return LookUp(kIEVersions, shdocvwVersion); }

}  // namespace px::help
