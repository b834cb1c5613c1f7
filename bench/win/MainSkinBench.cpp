// The main window with and without its skin, side by side in one run under the
// real platform (Wine here). The window loads once per process, so it loads
// without the library's classes (the system frame: start-up, load to first
// paint), is measured (an entire-screen capture from the command to its end, a
// full repaint of frame, client and children), then gets its skin on the same
// window (the first attach: objects through COM, the skin values, Attach2) and
// is measured again; Attach2 on the main window is also timed as a re-skin in
// place. The classes are offered through registered class objects, as the
// in-process tests do. Prints median wall and CPU times.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/Application.h"
#include "app/frmDesktopImage.h"
#include "base/win/ScopedWin.h"
#include "bench/win/BenchTiming.h"
#include "skin/Server.h"
#include "skin/veltrim_h.h"

namespace {

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
    const px::bench::Figure f = px::bench::MedianTimes(runs, work);
    std::printf("%-52s wall %8.2f ms   cpu %8.2f ms   (median of %d)\n", name, f.wallMs, f.cpuMs, runs);
    return f.wallMs;
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
    double capture = 0, repaint = 0;
};

// Captures and repaints of the loaded main window as it is now.
Figures Measure(px::frmDesktopImage& form, const char* label) {
    char name[96];
    Figures f;
    std::snprintf(name, sizeof name, "entire-screen capture, command to its end, %s", label);
    f.capture = Median(name, 5, [&] {
        auto& commands = form.Commands();
        const int before = commands.Captures();
        commands.CaptureEntireScreen(form.OverlayOptions());
        if (!PumpUntil([&] { return commands.Captures() > before && ::IsWindowVisible(form.hwnd()); }, 10000))
            std::printf("  !! a capture did not end\n");
    });
    std::snprintf(name, sizeof name, "full repaint (frame, client, children), %s", label);
    f.repaint = Median(name, 21, [&] {
        ::RedrawWindow(form.hwnd(), nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    return f;
}

}  // namespace

int wmain() {
    px::win::ScopedOle ole;
    const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    px::frmDesktopImage& form = px::frmDesktopImage::Get();

    // The window loads once per process: first without the classes (the system frame),
    // then the skin goes on the same window.
    const double startup = Median("start-up (load, show, first paint), system frame", 1, [&] {
        form.ShowNormal();
        ::UpdateWindow(form.hwnd());
        Pump();
    });
    if (form.Skin().Attached()) std::printf("  !! the skin attached without its classes\n");
    const Figures plain = Measure(form, "system frame");
    RegisteredClasses classes;
    const double first = Median("first attach (objects through COM, values, Attach2)", 1, [&] {
        form.AttachSkin();
        ::UpdateWindow(form.hwnd());
        Pump();
    });
    if (!form.Skin().Attached()) std::printf("  !! the skin did not attach\n");
    const Figures skinned = Measure(form, "in its skin");
    const double again = Median("first attach again after a detach", 5, [&] {
        form.Skin().Detach();
        form.AttachSkin();
    });
    const double reskin = Median("Attach2 again on the main window (re-skin)", 21, [&] { form.Skin().Reskin(); });
    std::printf("start-up %.2f ms, with the skin's attach %.2f ms; skinned / system frame: capture %.2f, repaint "
                "%.2f; Attach2 %.2f / %.2f / %.2f ms (target <= 30)\n",
                startup, startup + first, skinned.capture / plain.capture, skinned.repaint / plain.repaint, first,
                again, reskin);
    form.Unload();
    Pump();
    return 0;
}
