#include "app/TestDump.h"
#include "base/Text.h"

#include <cstdio>
#include <vector>

#include "base/win/Window.h"

namespace px::testhook {

namespace {
std::wstring DumpPath() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = ::GetEnvironmentVariableW(L"PIXTREL_TEST_DUMP", buf, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}
}  // namespace

bool Enabled() { return !DumpPath().empty(); }

void Write(const std::string& json) {
    const std::wstring path = DumpPath();
    if (path.empty()) return;
    const std::wstring tmp = path + L".tmp";
    HANDLE h = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    bool ok = ::WriteFile(h, json.data(), static_cast<DWORD>(json.size()), &written, nullptr) && written == json.size();
    ::CloseHandle(h);
    if (ok) ::MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string Text(const std::wstring& s) {
    std::string out = "\"";
    for (char c : px::Narrow(s)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof(esc), "\\u%04x", c);
                out += esc;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string Menu(HMENU menu) {
    std::string out = "[";
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256] = L"";
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_BITMAP;
        mii.dwTypeData = caption;
        mii.cch = 255;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
        if (i) out += ",";
        out += "{\"caption\":" + Text(caption);
        out += ",\"id\":" + std::to_string(mii.wID);
        out += ",\"enabled\":" + std::string(mii.fState & MFS_DISABLED ? "false" : "true");
        out += ",\"separator\":" + std::string(mii.fType & MFT_SEPARATOR ? "true" : "false");
        out += ",\"picture\":" + std::string(mii.hbmpItem ? "true" : "false");
        if (mii.hSubMenu) out += ",\"items\":" + Menu(mii.hSubMenu);
        out += "}";
    }
    return out + "]";
}

}  // namespace px::testhook
