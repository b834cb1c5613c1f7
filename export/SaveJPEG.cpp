#include "export/SaveJPEG.h"

#include "base/win/StagedFile.h"
#include "base/Text.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "base/Dpi.h"
#include "base/win/ModuleResources.h"
#include "controls/uxButtons_H.h"
#include "export/core/JpegLibrary.h"
#include "imaging/cDIBSection.h"

namespace px {

namespace {

// Client layout in 96-DPI units.
constexpr int kClientW = 380, kClientH = 172;
constexpr RECT kShape1{56, 8, 368, 114};  // frame round legend, slider and scale
constexpr int kSliderX = 62, kSliderY = 52, kSliderW = 300, kSliderH = 30;
constexpr int kButtonW = 96, kButtonH = 28, kButtonY = 130;
constexpr int kIdSlider = 101, kIdLabel5 = 105;
constexpr int kDefaultQuality = 90;

}  // namespace

bool SaveJPG(const cDIBSection& dib, const std::wstring& fileName, int quality, HWND owner,
             const MessageBoxFunction& messageBox) {
    // The block is big (20 KB of working area): on the heap, zero-filled.
    auto props = std::make_unique<JPEG_CORE_PROPERTIES>();
    std::memset(props.get(), 0, sizeof(JPEG_CORE_PROPERTIES));
    const int32_t status = jpgInit(props.get());
    if (status != JPG_OK) {
        messageBox(owner, L"Failed to initialise the JPEG library: " + std::to_wstring(status), MB_ICONWARNING);
        return false;
    }
    const Dib24Bits bits = dib.Bits();
    // The encoder writes a temporary file beside the target, moved over it only
    // when complete: a failure leaves the user's earlier file as it was.
    // A file that cannot be made or replaced is a failed write, told as the encoder's own.
    win::StagedFile staged(fileName);
    if (!staged.Ready()) {
        messageBox(owner, L"Failed to save to JPG", MB_ICONWARNING);
        jpgFree(props.get());
        return false;
    }
    staged.CloseHandle();
    // The name goes over as UTF-8 rather than in the ANSI code page, so
    // folders and names outside that code page save too.
    const std::string name = px::Narrow(staged.TemporaryPath());
    props->DIBWidth = bits.width;
    props->DIBHeight = -bits.height;  // rows lie bottom-up in memory
    props->DIBBytes = bits.bits;
    props->DIBPadBytes = bits.bytesPerScanLine - 3 * bits.width;
    props->JPGFile = name.c_str();
    props->JPGWidth = bits.width;
    props->JPGHeight = bits.height;
    props->jquality = quality;
    if (jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE) != JPG_OK) {
        messageBox(owner, L"Failed to save to JPG", MB_ICONWARNING);
        jpgFree(props.get());
        return false;
    }
    jpgFree(props.get());
    if (staged.Commit() != 0) {
        messageBox(owner, L"Failed to save to JPG", MB_ICONWARNING);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------

SaveJPEG& SaveJPEG::Get() {
    static SaveJPEG form;
    return form;
}

SaveJPEG::SaveJPEG() : pathPrompt_(ShowSaveAsDialog), messageBox_(ShowMessageBox) {}

SaveJPEG::~SaveJPEG() = default;

void SaveJPEG::SetPathPrompt(SavePathPrompt prompt) { pathPrompt_ = prompt ? std::move(prompt) : ShowSaveAsDialog; }

void SaveJPEG::SetMessageBox(MessageBoxFunction messageBox) {
    messageBox_ = messageBox ? std::move(messageBox) : ShowMessageBox;
}

void SaveJPEG::Show(HWND owner, CurrentCapture& capture) {
    owner_ = owner;
    capture_ = &capture;
    Form::Show(SW_SHOW);
}

int SaveJPEG::Quality() const {
    return slider1_ && ::IsWindow(slider1_) ? static_cast<int>(::SendMessageW(slider1_, TBM_GETPOS, 0, 0)) : 0;
}

HWND SaveJPEG::MakeLabel(const wchar_t* text, int x, int y, int w, int h, DWORD align) {
    HWND label = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | align, x, y, w, h, hwnd(), nullptr,
                                   Instance(), nullptr);
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return label;
}

void SaveJPEG::CreateFormWindow() {
    const wchar_t* cls = L"OrvoPixtrel.SaveJPEG";
    RegisterClassOnce(cls, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const SIZE outer = OuterSizeForClient(Scale(kClientW), Scale(kClientH), style, 0);
    const POINT at = CentredOnScreen(outer);
    CreateWindowObject(cls, L" Save JPEG Options", style, 0, at.x, at.y, outer.cx, outer.cy, owner_, nullptr);
    if (!hwnd()) return;

    image1_ = ::LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_APP));  // the program's icon, when the module has one
    if (!image1_) image1_ = ::LoadIconW(nullptr, IDI_APPLICATION);

    MakeLabel(L"Low Quality", 64, 14, 130, 16, SS_LEFT);       // Label3
    MakeLabel(L"High Compression", 64, 30, 130, 16, SS_LEFT);  // Label1
    MakeLabel(L"High Quality", 230, 14, 130, 16, SS_RIGHT);    // Label4
    MakeLabel(L"Low Compression", 230, 30, 130, 16, SS_RIGHT); // Label2

    slider1_ = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS,
                                 kSliderX, kSliderY, kSliderW, kSliderH, hwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSlider)), Instance(), nullptr);
    ::SendMessageW(slider1_, TBM_SETRANGE, FALSE, MAKELPARAM(1, 100));
    ::SendMessageW(slider1_, TBM_SETTICFREQ, 10, 0);
    ::SendMessageW(slider1_, TBM_SETPAGESIZE, 0, 10);

    // Label5: the scale under the slider, drawn so its marks sit under the channel.
    label5_ = ::CreateWindowExW(0, L"STATIC", L"0% 50% 100%", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, kSliderX,
                                kSliderY + kSliderH + 2, kSliderW, 16, hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdLabel5)), Instance(), nullptr);

    // The slider's tooltip; the tooltip window is owned by the form and goes with it.
    toolTip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr, Instance(), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(slider1_);
    tool.lpszText = const_cast<wchar_t*>(kSliderToolTip);
    ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    saveJPEG_ = std::make_unique<win::uxButtons_H>();
    saveJPEG_->Create(hwnd(), L"SaveJPEG", kClientW - 2 * (kButtonW + 12), kButtonY, kButtonW, kButtonH);
    saveJPEG_->SetCaption(L"Save JPEG");
    saveJPEG_->Click.connect([this] { SaveJPEG_Click(); });
    cmdExit_ = std::make_unique<win::uxButtons_H>();
    cmdExit_->Create(hwnd(), L"cmdExit", kClientW - (kButtonW + 12), kButtonY, kButtonW, kButtonH);
    cmdExit_->SetCaption(L"Close");
    cmdExit_->Click.connect([this] { cmdExit_Click(); });
    // Made at their 96-DPI places, moved to the window's DPI.
    layout_.Clear();
    layout_.AddChildren(hwnd());
    layout_.Apply(Dpi());
}

void SaveJPEG::Form_DpiChanged(UINT dpi) {
    layout_.Apply(dpi);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void SaveJPEG::Form_Load() { ::SendMessageW(slider1_, TBM_SETPOS, TRUE, kDefaultQuality); }

void SaveJPEG::Form_Unload() {
    slider1_ = toolTip_ = label5_ = nullptr;
}

LRESULT SaveJPEG::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: Form_Paint(); return 0;
    case WM_DRAWITEM:
        if (wp == kIdLabel5) {
            Label5_Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_CLOSE: Unload(); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(layout_.Font());  // the buttons' font at the window's DPI
    }
    return Form::HandleMessage(msg, wp, lp);
}

void SaveJPEG::SaveJPEG_Click() {
    const std::wstring path = pathPrompt_({hwnd(), kFilter, kDialogFlags});
    if (path.empty()) return;  // cancelled: the window stays
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        messageBox_(hwnd(), L"File already exists ! Overwrite ?", MB_OKCANCEL) != IDOK)
        return;
    cDIBSection dib;
    if (capture_ && capture_->HasPicture()) dib.CreateFromPicture(capture_->Picture());
    const int quality = Quality();
    if (!SaveJPG(dib, path, quality, hwnd(), messageBox_))
        messageBox_(hwnd(), L"Failed to save the picture to the file: '" + path + L"'", MB_ICONWARNING);
    Unload();
}

void SaveJPEG::cmdExit_Click() { Unload(); }

void SaveJPEG::Form_Paint() {
    win::ScopedPaint dc(hwnd());
    auto S = [this](int units96) { return ScaleForDpi(units96, static_cast<int>(layout_.AppliedDpi())); };
    RECT shape{S(kShape1.left), S(kShape1.top), S(kShape1.right), S(kShape1.bottom)};
    ::DrawEdge(dc, &shape, EDGE_ETCHED, BF_RECT);  // Shape1
    if (image1_)  // Image1
        ::DrawIconEx(dc, S(12), S(12), image1_, S(32), S(32), 0, nullptr, DI_NORMAL);
}

void SaveJPEG::Label5_Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    // The ends of the slider's channel, in the label's coordinates.
    RECT channel{};
    ::SendMessageW(slider1_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    const int left = channel.left, right = channel.right > channel.left ? channel.right : item.rcItem.right;
    // The label's own font: the layout's, made for the window's DPI.
    HGDIOBJ labelFont = reinterpret_cast<HGDIOBJ>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    win::ScopedSelectObject font(dc, labelFont ? labelFont : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    RECT r = item.rcItem;
    r.left = left;
    ::DrawTextW(dc, L"0%", -1, &r, DT_LEFT | DT_SINGLELINE | DT_TOP);
    r.left = item.rcItem.left;
    r.right = right;
    ::DrawTextW(dc, L"100%", -1, &r, DT_RIGHT | DT_SINGLELINE | DT_TOP);
    r.left = left;
    ::DrawTextW(dc, L"50%", -1, &r, DT_CENTER | DT_SINGLELINE | DT_TOP);
}

}  // namespace px
