// TEST HOOK (see app/TestDump.h): menus, tray menu and state for the end-to-end
// tests, written after load and after every event that changes what it shows.
#include <cstdio>
#include <string>

#include "app/TestDump.h"
#include "app/core/CaptureKey.h"
#include "app/frmAbout.h"
#include "app/frmCaptureKey.h"
#include "app/frmDesktopImage.h"
#include "capture/core/CaptureRules.h"

namespace px {

void frmDesktopImage::SubscribeTestDump() {
    static bool subscribed = false;
    if (!testhook::Enabled() || subscribed) {
        WriteTestDump();
        return;
    }
    subscribed = true;
    auto dump = [this] { WriteTestDump(); };
    Capture().Changed.connect(dump);
    frmAbout::Get().Closed.connect(dump);
    frmCaptureKey::Get().Closed.connect(dump);  // the key may have changed
    CaptureCommands& commands = Commands();
    commands.OverlayShown.connect(dump);
    commands.Finished.connect(dump);
    commands.Cancelled.connect(dump);
    commands.Failed.connect([this](const std::wstring&) { WriteTestDump(); });
    for (win::uxButtons_H* b : {&cmdActive_, &cmdLassoColor_, &cmdBackColor_, &cmdIn_, &cmdOut_, &cmdZoomActual_})
        b->Click.connect(dump);
    for (auto& b : optShape_) b.Click.connect(dump);
    for (auto& b : optDrawStyle_) b.Click.connect(dump);
    sliderGrid_.ValueChanged.connect([this](int32_t) { WriteTestDump(); });
    TrayIcon1_.MenuCommand.connect([this](long) {
        if (IsLoaded()) WriteTestDump();
    });
    WriteTestDump();
}

void frmDesktopImage::WriteTestDump() {
    if (!testhook::Enabled()) return;
    static int seq = 0;
    auto b = [](bool v) { return std::string(v ? "true" : "false"); };
    std::string tray = "[";
    auto& menus = TrayIcon1_.Menus();
    for (int pos = 1; pos <= menus.Count(); ++pos) {
        auto& e = menus.Item(pos);
        if (pos > 1) tray += ",";
        tray += "{\"position\":" + std::to_string(pos) + ",\"kind\":" + std::to_string(e.Kind()) +
                ",\"caption\":" + testhook::Text(e.Caption()) + ",\"id\":" + std::to_string(e.CommandId()) +
                ",\"picture\":" + b(e.HasPicture()) + ",\"enabled\":" + b(e.Enabled()) + "}";
    }
    tray += "]";
    const SIZE capture = Capture().Size();
    char ms[32];
    std::snprintf(ms, sizeof(ms), "%.1f", Commands().OverlayMs());
    std::string json = "{\"seq\":" + std::to_string(++seq);
    json += ",\"pid\":" + std::to_string(::GetCurrentProcessId());
    json += ",\"hwnd\":" + std::to_string(reinterpret_cast<uintptr_t>(hwnd()));
    json += ",\"visible\":" + b(::IsWindowVisible(hwnd()));
    json += ",\"menu\":" + testhook::Menu(menuBar_);
    json += ",\"tray\":" + tray;
    json += ",\"trayTip\":" + testhook::Text(TrayIcon1_.ToolTipText());
    json += ",\"trayShown\":" + b(TrayIcon1_.Visible());
    json += ",\"shape\":" + testhook::Text(std::wstring(capture::ShapeName(Commands().Shape())));
    json += ",\"drStyle\":" + std::to_string(DrStyle_);
    int optIndex = -1;
    for (int i = 0; i < 4; ++i)
        if (optShape_[static_cast<size_t>(i)].Value()) optIndex = i;
    json += ",\"optShape\":" + std::to_string(optIndex);
    json += ",\"lassoColor\":" + std::to_string(CommonDialog2_.color);
    json += ",\"backColor\":" + std::to_string(CommonDialog1_.color);
    json += ",\"gridSpacing\":" + std::to_string(sliderGrid_.Value());
    json += ",\"zoom\":" + std::to_string(picMV_.Zoom());
    json += ",\"zoomLabel\":" + testhook::Text(lblZoomLevel_.Text());
    json += ",\"zoomButtonsEnabled\":" + b(cmdIn_.Enabled() && cmdOut_.Enabled() && cmdZoomActual_.Enabled());
    json += ",\"zoomButtonsDisabled\":" + b(!cmdIn_.Enabled() && !cmdOut_.Enabled() && !cmdZoomActual_.Enabled());
    json += ",\"captures\":" + std::to_string(Commands().Captures());
    json += ",\"capture\":[" + std::to_string(capture.cx) + "," + std::to_string(capture.cy) + "]";
    const SIZE shown = picMV_.PictureSize();
    json += ",\"view\":[" + std::to_string(shown.cx) + "," + std::to_string(shown.cy) + "]";
    json += ",\"overlayMs\":" + std::string(ms);
    std::snprintf(ms, sizeof(ms), "%.1f", firstHelpMs_);
    json += ",\"firstHelpMs\":" + std::string(ms);
    json += ",\"activeTimer\":" + b(Commands().ActiveTimerRunning());
    // The skin: attached with its frame margins, or the system frame and why.
    const FrameMargins m = skin_.Margins();
    json += ",\"skin\":{\"attached\":" + b(skin_.Attached()) + ",\"error\":" + testhook::Text(skin_.Failure()) +
            ",\"margins\":[" + std::to_string(m.left) + "," + std::to_string(m.top) + "," + std::to_string(m.right) +
            "," + std::to_string(m.bottom) + "]}";
    const auto hotkey = hotkey_.Current();
    json += ",\"hotkey\":" + testhook::Text(hotkey ? CaptureKeyName(*hotkey) : L"");
    json += "}";
    testhook::Write(json);
}

}  // namespace px
