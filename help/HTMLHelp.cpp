#include "help/HTMLHelp.h"

#include <htmlhelp.h>

#include <vector>

#include "base/win/ScopedWin.h"
#include "base/Text.h"

namespace px {

namespace {

using help::MessageIcon;

constexpr wchar_t kRegistryKey[] = L"Software\\Microsoft\\Windows\\HTML Help";
constexpr wchar_t kHhctrlClass[] = L"CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32";
constexpr wchar_t kShdocvwClass[] = L"CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InprocServer32";

std::wstring ProgramFolderOfProcess() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return help::FolderOfFile(path);
}

// An existing regular file: a folder of that name or a wildcard pattern is not one.
bool IsRegularFile(const std::wstring& path) {
    const DWORD attr = ::GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// A string value (environment references expanded); false when the key or value is missing.
bool ReadRegistryString(HKEY root, const wchar_t* key, const wchar_t* value, std::wstring& out) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
    win::ScopedRegKey k(raw);
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(k.get(), value, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::wstring s(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(k.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(s.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    s.resize(::wcsnlen(s.c_str(), s.size()));
    if (type == REG_EXPAND_SZ) {
        std::wstring expanded(32768, L'\0');
        const DWORD n = ::ExpandEnvironmentStringsW(s.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (n > 0 && n <= expanded.size()) s.assign(expanded.c_str());
    }
    out = std::move(s);
    return true;
}

struct ComponentFile {
    bool registered = false;
    bool present = false;
    std::wstring path;
};

ComponentFile ComponentFileOf(const wchar_t* classKey) {
    ComponentFile c;
    c.registered = ReadRegistryString(HKEY_CLASSES_ROOT, classKey, nullptr, c.path) && !c.path.empty();
    if (c.registered) {
        // A registered name may carry quotes; a bare name is searched like LoadLibrary would.
        if (c.path.size() > 1 && c.path.front() == L'"') c.path = c.path.substr(1, c.path.find(L'"', 1) - 1);
        wchar_t found[MAX_PATH];
        if (::SearchPathW(nullptr, c.path.c_str(), nullptr, MAX_PATH, found, nullptr)) c.path = found;
        c.present = IsRegularFile(c.path);
    }
    return c;
}

// The file's own version text (as its maker wrote it), else the four numbers.
std::string FileVersionText(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (!size) return {};
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
    struct Translation { WORD language, codePage; };
    Translation* tr = nullptr;
    UINT len = 0;
    if (::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) &&
        len >= sizeof(Translation)) {
        wchar_t query[64];
        swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", tr->language, tr->codePage);
        wchar_t* text = nullptr;
        if (::VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&text), &len) && text && len > 1)
            return Narrow(text);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) || !fixed) return {};
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

void DefaultMessageBox(HWND owner, const std::wstring& text, MessageIcon icon) {
    MSGBOXPARAMSW p{};
    p.cbSize = sizeof(p);
    p.hwndOwner = owner;
    p.lpszText = text.c_str();
    p.lpszCaption = help::kMessageCaption;
    p.dwStyle = MB_OK | static_cast<DWORD>(icon);
    ::MessageBoxIndirectW(&p);
}

}  // namespace

HTMLHelp::HelpFunction LoadHtmlHelpW() {
    using Proc = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static Proc proc = [] {
        HMODULE m = ::LoadLibraryW(L"hhctrl.ocx");
        return m ? reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(m, "HtmlHelpW"))) : nullptr;
    }();
    if (!proc) return {};
    return [](HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
        return proc(caller, file, command, data);
    };
}

HTMLHelp::HTMLHelp(std::wstring programFolder)
    : programFolder_(programFolder.empty() ? ProgramFolderOfProcess() : std::move(programFolder)),
      loader_(LoadHtmlHelpW),
      messageBox_(DefaultMessageBox) {}

void HTMLHelp::SetHelpLoader(HelpLoader loader) {
    loader_ = std::move(loader);
    help_ = nullptr;
}

void HTMLHelp::SetHelpFunction(HelpFunction f) { help_ = std::move(f); }

void HTMLHelp::SetMessageBox(MessageBoxFunction f) { messageBox_ = std::move(f); }

void HTMLHelp::Message(HWND owner, const std::wstring& text, MessageIcon icon) const {
    if (messageBox_) messageBox_(owner, text, icon);
}

HWND HTMLHelp::HHWndHandle() {
    if (!HHWndHandle_) Message(nullptr, help::NoWindowHandleText(), MessageIcon::Warning);
    return HHWndHandle_;
}

// ---------------------------------------------------------------------------
// Display

bool HTMLHelp::CheckHelpFile(HWND owner) {
    if (!help::IsHelpFileName(CHMFile_)) {
        Message(owner, help::NotAHelpFileText(CHMFile_), MessageIcon::Warning);
        return false;
    }
    return EnsureFileExists(CHMFile_, owner);
}

HWND HTMLHelp::Call(HWND caller, const std::wstring& file, UINT command, DWORD_PTR data, HWND msgOwner) {
    if (!help_) {
        if (loader_) help_ = loader_();
        if (!help_) {
            Message(msgOwner, help::HhctrlNotRegisteredText(), MessageIcon::Error);
            return nullptr;
        }
    }
    called_ = true;
    HWND w = nullptr;
    try {
        w = help_(caller, file.c_str(), command, data);
    } catch (...) {
        // A failing help call is not the program's end: nothing is shown.
        w = nullptr;
    }
    HHWndHandle_ = w;
    return w;
}

void HTMLHelp::HHDisplayTopicID(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    const std::wstring target = help::DisplayTarget(CHMFile_, HHWindow_);
    if (!Call(Owner(CallingForm), target, HelpContext, static_cast<DWORD_PTR>(static_cast<uint32_t>(HHTopicID_)),
              CallingForm) &&
        help_)
        Message(CallingForm, help::TopicNotShownText(CHMFile_, HHTopicID_), MessageIcon::Warning);
}

void HTMLHelp::HHDisplayTopicURL(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    const std::wstring target = help::DisplayTarget(CHMFile_, HHWindow_);
    if (!Call(Owner(CallingForm), target, DisplayTopic, reinterpret_cast<DWORD_PTR>(HHTopicURL_.c_str()),
              CallingForm) &&
        help_)
        Message(CallingForm, help::NothingShownText(CHMFile_ + L"::/" + HHTopicURL_), MessageIcon::Warning);
}

void HTMLHelp::HHDisplayContents(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    if (!Call(Owner(CallingForm), help::DisplayTarget(CHMFile_, HHWindow_), DisplayToc, 0, CallingForm) && help_)
        Message(CallingForm, help::NothingShownText(CHMFile_), MessageIcon::Warning);
}

void HTMLHelp::HHDisplayIndex(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    if (!Call(Owner(CallingForm), help::DisplayTarget(CHMFile_, HHWindow_), DisplayIndex,
              reinterpret_cast<DWORD_PTR>(HHKeyword_.c_str()), CallingForm) &&
        help_)
        Message(CallingForm, help::NothingShownText(CHMFile_), MessageIcon::Warning);
}

void HTMLHelp::HHDisplaySearch(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    HH_FTS_QUERY q{};  // the wide form: the program is built with UNICODE
    q.cbStruct = sizeof(q);
    q.fUniCodeStrings = TRUE;
    q.fExecute = FALSE;
    q.iProximity = HH_FTS_DEFAULT_PROXIMITY;
    if (!Call(Owner(CallingForm), help::DisplayTarget(CHMFile_, HHWindow_), DisplaySearch,
              reinterpret_cast<DWORD_PTR>(&q), CallingForm) &&
        help_)
        Message(CallingForm, help::NothingShownText(CHMFile_), MessageIcon::Warning);
}

// Keyword and link look-ups: the help control shows HHMsgText itself when nothing matches.
void HTMLHelp::HHDisplayKeyword(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    HH_AKLINK link{};
    link.cbStruct = sizeof(link);
    link.pszKeywords = HHKeyword_.c_str();
    link.pszUrl = HHDefaultURL_.empty() ? nullptr : HHDefaultURL_.c_str();
    link.pszMsgText = HHMsgText_.empty() ? nullptr : HHMsgText_.c_str();
    link.pszMsgTitle = HHMsgTitle_.empty() ? nullptr : HHMsgTitle_.c_str();
    link.pszWindow = HHWindow_.empty() ? nullptr : HHWindow_.c_str();
    link.fIndexOnFail = TRUE;
    Call(Owner(CallingForm), CHMFile_, KeywordLookup, reinterpret_cast<DWORD_PTR>(&link), CallingForm);
}

void HTMLHelp::HHDisplayALink(HWND CallingForm) {
    if (!CheckHelpFile(CallingForm)) return;
    HH_AKLINK link{};
    link.cbStruct = sizeof(link);
    link.pszKeywords = HHALink_.c_str();
    link.pszUrl = HHDefaultURL_.empty() ? nullptr : HHDefaultURL_.c_str();
    link.pszMsgText = HHMsgText_.empty() ? nullptr : HHMsgText_.c_str();
    link.pszMsgTitle = HHMsgTitle_.empty() ? nullptr : HHMsgTitle_.c_str();
    link.pszWindow = HHWindow_.empty() ? nullptr : HHWindow_.c_str();
    link.fIndexOnFail = FALSE;
    Call(Owner(CallingForm), CHMFile_, ALinkLookup, reinterpret_cast<DWORD_PTR>(&link), CallingForm);
}

// "face[, size[, charset[, BOLD ITALIC UNDERLINE]]]", the help control's font description.
std::wstring HTMLHelp::PopupFontSpec() const {
    if (popup_.font.empty()) return {};
    std::wstring s = popup_.font + L"," + (popup_.size > 0 ? std::to_wstring(popup_.size) : L"") + L",,";
    if (popup_.bold) s += L" BOLD";
    if (popup_.italic) s += L" ITALIC";
    if (popup_.underline) s += L" UNDERLINE";
    return s;
}

void HTMLHelp::HHDisplayPopup(HWND CallingForm) {
    const bool fromFile = popup_.type == 1;
    if (fromFile) {
        std::wstring file = popup_.file;
        if (!help::IsHelpFileName(file)) {
            Message(CallingForm, help::NotAHelpFileText(file), MessageIcon::Warning);
            return;
        }
        if (!EnsureFileExists(file, CallingForm)) return;
        popup_.file = file;
    }
    const std::wstring font = PopupFontSpec();
    HH_POPUP p{};
    p.cbStruct = sizeof(p);
    p.idString = fromFile ? static_cast<UINT>(popup_.id) : 0;
    p.pszText = fromFile ? nullptr : popup_.text.c_str();
    ::GetCursorPos(&p.pt);
    p.clrForeground = popup_.customColors ? popup_.customTextColor : popup_.textColor;
    p.clrBackground = popup_.customColors ? popup_.customBackColor : popup_.backColor;
    p.rcMargins = RECT{-1, -1, -1, -1};
    p.pszFont = font.empty() ? nullptr : font.c_str();
    Call(CallingForm, fromFile ? popup_.file : std::wstring(), DisplayTextPopup, reinterpret_cast<DWORD_PTR>(&p),
         CallingForm);
}

// Nothing can be open before a display call has reached the help control,
// and loading it only to close nothing could report a missing component at exit.
void HTMLHelp::HHClose() {
    if (!called_ || !help_) return;
    try {
        help_(nullptr, L"", CloseAll, 0);
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------
// Files and registry

bool HTMLHelp::EnsureFileExists(std::wstring& FileToFind, HWND owner) {
    if (FileToFind.find(L'\\') == std::wstring::npos) {
        if (HHCheckRegistry(FileToFind))
            FileToFind = help::JoinPath(HHRegFilePath_, HHRegFileName_);
        else
            FileToFind = help::JoinPath(programFolder_, FileToFind);
    }
    if (!IsRegularFile(FileToFind)) {
        Message(owner, help::FileMissingText(FileToFind), MessageIcon::Warning);
        return false;
    }
    return true;
}

bool HTMLHelp::HHCheckRegistry(const std::wstring& FileToCheck) {
    HHRegFileName_ = help::BareFileName(FileToCheck);
    HHRegFilePath_.clear();
    HHRegFileExists_ = false;
    std::wstring folder;
    if (HHRegFileName_.empty() ||
        !ReadRegistryString(HKEY_LOCAL_MACHINE, kRegistryKey, HHRegFileName_.c_str(), folder) || folder.empty())
        return false;
    HHRegFilePath_ = folder;
    HHRegFileExists_ = IsRegularFile(help::JoinPath(folder, HHRegFileName_));
    return true;
}

bool HTMLHelp::HHRegister(const std::wstring& FileToRegister) {
    const std::wstring name = help::BareFileName(FileToRegister);
    if (HHCheckRegistry(FileToRegister)) {
        Message(nullptr, help::AlreadyRegisteredText(name), MessageIcon::Information);
        return true;
    }
    std::wstring folder = help::FolderOfFile(FileToRegister);
    if (folder.empty()) folder = programFolder_;
    HKEY raw = nullptr;
    LSTATUS rc = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                                   nullptr);
    win::ScopedRegKey key(rc == ERROR_SUCCESS ? raw : nullptr);
    if (rc == ERROR_SUCCESS)
        rc = ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                              static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) {
        Message(nullptr, help::RegisterFailedText(name), MessageIcon::Error);
        return false;
    }
    return true;
}

bool HTMLHelp::HHUnRegister(const std::wstring& FileToUnRegister) {
    const std::wstring name = help::BareFileName(FileToUnRegister);
    if (!HHCheckRegistry(FileToUnRegister)) {
        Message(nullptr, help::NotRegisteredText(name), MessageIcon::Information);
        return true;
    }
    HKEY raw = nullptr;
    LSTATUS rc = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRegistryKey, 0, KEY_SET_VALUE, &raw);
    win::ScopedRegKey key(rc == ERROR_SUCCESS ? raw : nullptr);
    if (rc == ERROR_SUCCESS) rc = ::RegDeleteValueW(key.get(), name.c_str());
    if (rc != ERROR_SUCCESS) {
        Message(nullptr, help::UnRegisterFailedText(name), MessageIcon::Error);
        return false;
    }
    return true;
}

std::wstring HTMLHelp::HHSetHelpFile(int intSelHelpFile) const {
    switch (intSelHelpFile) {
    case 1: return programFolder_ + L"\\Library.chm";
    case 2: return L"Library.txt";
    default: return {};
    }
}

// ---------------------------------------------------------------------------
// Installed components

bool HTMLHelp::HHInstalled() const { return ComponentFileOf(kHhctrlClass).present; }

std::string HTMLHelp::HHVersion() const {
    const ComponentFile c = ComponentFileOf(kHhctrlClass);
    return c.present ? FileVersionText(c.path) : std::string();
}

std::string HTMLHelp::IEVersion() const {
    const ComponentFile c = ComponentFileOf(kShdocvwClass);
    return c.present ? FileVersionText(c.path) : std::string();
}

bool HTMLHelp::HHVerifyMinConfig(const std::string& MinHHVersion, const std::string& MinIEVersion) {
    const ComponentFile hh = ComponentFileOf(kHhctrlClass), ie = ComponentFileOf(kShdocvwClass);
    if (!hh.registered) {
        Message(nullptr, help::HhctrlNotRegisteredText(), MessageIcon::Error);
        return false;
    }
    if (!hh.present) {
        Message(nullptr, help::HhctrlMovedText(), MessageIcon::Error);
        return false;
    }
    if (!ie.registered) {
        Message(nullptr, help::ShdocvwNotRegisteredText(), MessageIcon::Error);
        return false;
    }
    if (!ie.present) {
        Message(nullptr, help::ShdocvwMovedText(), MessageIcon::Error);
        return false;
    }
    return help::VersionAtLeast(FileVersionText(hh.path), MinHHVersion) &&
           help::VersionAtLeast(FileVersionText(ie.path), MinIEVersion);
}

// ---------------------------------------------------------------------------
// Window helpers

// The calling window enters the platform's "What's This?" mode.
void HTMLHelp::HHInvokeWhatsThisHelp(HWND CallingForm) {
    if (CallingForm) ::PostMessageW(CallingForm, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
}

// Removes the "Jump to URL" entry the help control adds to its window's system menu.
void HTMLHelp::HHDeleteJumpURLSysMenu() {
    if (!HHWndHandle_ || !::IsWindow(HHWndHandle_)) return;
    HMENU sys = ::GetSystemMenu(HHWndHandle_, FALSE);
    if (!sys) return;
    for (int i = ::GetMenuItemCount(sys) - 1; i >= 0; --i) {
        wchar_t text[128] = L"";
        ::GetMenuStringW(sys, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        std::wstring s(text);
        std::erase(s, L'&');
        if (s.find(L"Jump to URL") != std::wstring::npos) ::DeleteMenu(sys, static_cast<UINT>(i), MF_BYPOSITION);
    }
}

}  // namespace px
