// The main window with and without its skin, side by side in one run under the
// real platform (Wine here). The window loads once per process, so it loads
// without the library's classes (the system frame: start-up, load to first
// paint), is measured (an entire-screen capture from the command to its end, a
// full repaint of frame, client and children), then gets its skin on the same
// window (the first attach: objects through COM, the skin values, Attach2) and
// is measured again; Attach2 on the main window is also timed as a re-skin in
// place. The classes are offered through registered class objects, as the
// in-process tests do. Prints median wall and CPU times, and per operation the
// messages the main window and its children took (repaints, frame changes).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/frmDesktopImage.h"
#include "base/win/ScopedWin.h"
#include "bench/win/BenchTiming.h"
#include "skin/Server.h"
#include "skin/veltrim_h.h"
#include "tests/win/support/MessageTally.h"

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

// Repeated work is tallied in one run of its own, so the hooks cost nothing in
// the timed runs; work done once (a load, a first attach) is tallied as it is timed.
double Median(const char* name, int runs, const std::function<void()>& work) {
    std::vector<double> wall, cpu;
    std::string tallied;
    const auto window = [] { return px::frmDesktopImage::Get().hwnd(); };
    if (runs > 1) {
        px::test::MessageTally tally(window);
        work();
        tallied = tally.Counts().ToString();
    }
    std::optional<px::test::MessageTally> once;
    if (runs == 1) once.emplace(window);
    for (int i = 0; i < runs; ++i) {
        const double c0 = px::bench::ProcessCpuMs();
        const auto t0 = std::chrono::steady_clock::now();
        work();
        wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        cpu.push_back(px::bench::ProcessCpuMs() - c0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    if (once) tallied = once->Counts().ToString();
    // The process times come in 10 ms steps under Wine: the mean over the runs says more than their median.
    double cpuTotal = 0;
    for (double c : cpu) cpuTotal += c;
    std::printf("%-52s wall %8.2f ms   cpu %8.2f ms, mean %6.2f ms   (median of %d)\n    messages: %s\n", name,
                wall[wall.size() / 2], cpu[cpu.size() / 2], cpuTotal / runs, runs, tallied.c_str());
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
    f.repaint = Median(name, 41, [&] {
        ::RedrawWindow(form.hwnd(), nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    return f;
}

// The program's own start-up in a process of its own: the classes offered or
// not, then load, show and first paint; prints wall and CPU milliseconds.
int StartUpHere(bool skinned) {
    std::optional<RegisteredClasses> classes;
    if (skinned) classes.emplace();
    px::frmDesktopImage& form = px::frmDesktopImage::Get();
    px::test::MessageTally tally([] { return px::frmDesktopImage::Get().hwnd(); });
    const double c0 = px::bench::ProcessCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    form.ShowNormal();
    ::UpdateWindow(form.hwnd());
    Pump();
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.3f %.3f %d\n%s\n", wall, px::bench::ProcessCpuMs() - c0, form.Skin().Attached() ? 1 : 0,
                tally.Counts().ToString().c_str());
    std::fflush(stdout);
    form.Unload();
    Pump();
    return 0;
}

struct StartUp {
    double wall = 0, cpu = 0;
    bool skinned = false;
    std::string messages;
};

// This program again with "--start-up <mode>", its output read through a pipe.
bool StartUpInOwnProcess(const wchar_t* mode, StartUp& out) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --start-up " + mode;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    px::win::ScopedHandle reader(readEnd), writer(writeEnd);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
    px::win::ScopedHandle process(pi.hProcess), thread(pi.hThread);
    writer.reset();  // the child holds the only write end: end of file when it ends
    std::string text;
    char buf[256];
    DWORD got = 0;
    while (::ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    ::WaitForSingleObject(pi.hProcess, 30000);
    int skinned = 0;
    if (std::sscanf(text.c_str(), "%lf %lf %d", &out.wall, &out.cpu, &skinned) != 3) return false;
    out.skinned = skinned != 0;
    const size_t line = text.find('\n');
    out.messages = line == std::string::npos ? std::string() : text.substr(line + 1);
    while (!out.messages.empty() && (out.messages.back() == '\n' || out.messages.back() == '\r'))
        out.messages.pop_back();
    return true;
}

// Start-up with the system frame and in the skin, five of each in turn, each in a fresh process.
double StartUps() {
    std::vector<double> wall[2], cpu[2];
    std::string messages[2];
    for (int run = 0; run < 5; ++run)
        for (int skinned = 0; skinned < 2; ++skinned) {
            StartUp s;
            if (!StartUpInOwnProcess(skinned ? L"skinned" : L"system", s) || s.skinned != (skinned != 0)) {
                std::printf("  !! a start-up process failed or had the wrong frame\n");
                continue;
            }
            messages[skinned] = s.messages;
            wall[skinned].push_back(s.wall);
            cpu[skinned].push_back(s.cpu);
        }
    double medians[2] = {};
    for (int k = 0; k < 2; ++k) {
        if (wall[k].empty()) continue;
        std::sort(wall[k].begin(), wall[k].end());
        std::sort(cpu[k].begin(), cpu[k].end());
        medians[k] = wall[k][wall[k].size() / 2];
        std::printf("%-52s wall %8.2f ms   cpu %8.2f ms   (median of %zu)\n    messages: %s\n",
                    k ? "start-up in a fresh process, in its skin" : "start-up in a fresh process, system frame",
                    medians[k], cpu[k][cpu[k].size() / 2], wall[k].size(), messages[k].c_str());
    }
    return medians[0] > 0 ? medians[1] / medians[0] : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    px::win::ScopedOle ole;
    const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
    ::CreateDirectoryW(data.c_str(), nullptr);
    if (argc == 3 && std::wstring(argv[1]) == L"--start-up") return StartUpHere(std::wstring(argv[2]) == L"skinned");
    // The program's own order first (the skin attached while the window is hidden, before it shows), each
    // start-up in a process of its own; then the in-place figures below, in this process.
    const double startUpRatio = StartUps();
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
    std::printf("start-up in a fresh process skinned / system frame %.2f; in place: start-up %.2f ms, with the "
                "skin's attach %.2f ms; skinned / system frame: capture %.2f, repaint %.2f; Attach2 %.2f / %.2f / "
                "%.2f ms (target <= 30)\n",
                startUpRatio, startup, startup + first, skinned.capture / plain.capture, skinned.repaint / plain.repaint, first,
                again, reskin);
    form.Unload();
    Pump();
    return 0;
}
