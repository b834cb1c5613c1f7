// The main window with and without its skin, side by side in one run under the
// real platform (Wine here): start-up (load, show and first paint), an
// entire-screen capture from the command to its end, a full repaint of the
// window (frame and client), and Attach2 on the main window (first attach with
// the objects' creation through COM, then re-skins in place). The library's
// classes are offered through registered class objects, as the in-process
// tests do, so "without" is the window whose objects could not be created.
// Prints median wall and CPU times.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/Application.h"
#include "app/frmDesktopImage.h"
#include "base/win/ScopedWin.h"
#include "skin/Server.h"
#include "skin/veltrim_h.h"

namespace {

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Pump();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

double Median(const char* name, int runs, const std::function<void()>& work) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const double c0 = ProcessCpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        work();
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        cpu.push_back(ProcessCpuMs() - c0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-52s wall %8.2f ms   cpu %8.2f ms   (median of %d)\n", name, wall[wall.size() / 2],
                cpu[cpu.size() / 2], runs);
    return wall[wall.size() / 2];
}

// The library's creatable classes, offered to CoCreateInstance in this process.
class RegisteredClasses {
public:
    RegisteredClasses() {
        for (const CLSID* clsid : {&CLSID_cNeoCaption, &CLSID_cSkinConfiguration}) {
            px::win::ScopedComPtr<IUnknown> factory;
            DWORD cookie = 0;
            if (SUCCEEDED(veltrim::GetClassObject(*clsid, IID_IUnknown, reinterpret_cast<void**>(factory.put()))) &&
                SUCCEEDED(::CoRegisterClassObject(*clsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                                  &cookie)))
                cookies_.push_back(cookie);
        }
    }
    ~RegisteredClasses() {
        for (DWORD c : cookies_) ::CoRevokeClassObject(c);
    }

private:
    std::vector<DWORD> cookies_;
};

struct Figures {
    double startup = 0, capture = 0, repaint = 0;
};

// One life of the main window: load, show, captures, repaints, unload.
Figures MainWindowLife(const char* label, bool expectSkin, const std::function<void(px::frmDesktopImage&)>& more) {
    px::frmDesktopImage& form = px::frmDesktopImage::Get();
    char name[96];
    Figures f;
    std::snprintf(name, sizeof name, "start-up (load, show, first paint), %s", label);
    f.startup = Median(name, 1, [&] {
        form.ShowNormal();
        ::UpdateWindow(form.hwnd());
        Pump();
    });
    if (form.Skin().Attached() != expectSkin)
        std::printf("  !! the skin is %s\n", form.Skin().Attached() ? "attached" : "not attached");
    std::snprintf(name, sizeof name, "entire-screen capture, command to its end, %s", label);
    f.capture = Median(name, 5, [&] {
        const int before = form.Commands().Captures();
        bool ended = false;
        auto& commands = form.Commands();
        commands.CaptureEntireScreen(form.OverlayOptions());
        ended = PumpUntil([&] { return commands.Captures() > before && ::IsWindowVisible(form.hwnd()); }, 10000);
        if (!ended) std::printf("  !! a capture did not end\n");
    });
    std::snprintf(name, sizeof name, "full repaint (frame, client, children), %s", label);
    f.repaint = Median(name, 21, [&] {
        ::RedrawWindow(form.hwnd(), nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    more(form);
    form.Unload();
    Pump();
    return f;
}

}  // namespace

int wmain() {
    px::win::ScopedOle ole;
    const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);

    const Figures plain = MainWindowLife("system frame", false, [](px::frmDesktopImage&) {});
    double attach = 0, reskin = 0;
    Figures skinned;
    {
        RegisteredClasses classes;
        skinned = MainWindowLife("in its skin", true, [&](px::frmDesktopImage& form) {
            attach = Median("first Attach2 (objects through COM, skin values)", 5, [&] {
                form.Skin().Detach();
                form.AttachSkin();
            });
            reskin = Median("Attach2 again on the main window (re-skin)", 21, [&] { form.Skin().Reskin(); });
        });
    }
    std::printf("skinned / system frame: start-up %.2f, capture %.2f, repaint %.2f; Attach2 %.2f ms (target <= 30)\n",
                skinned.startup / plain.startup, skinned.capture / plain.capture, skinned.repaint / plain.repaint,
                std::max(attach, reskin));
    return 0;
}
