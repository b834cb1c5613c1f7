#include "export/fMain.h"

#include <algorithm>

#include "capture/CurrentCapture.h"
#include "controls/uxButtons_H.h"
#include "export/GifEncoder.h"
#include "export/core/GifExportRules.h"

namespace px {

namespace {

constexpr int kMaxWeight = 1000;
constexpr int kWeightText[3] = {fMain::kTxtRGBWeight0, fMain::kTxtRGBWeight0 + 1, fMain::kTxtRGBWeight0 + 2};

// The wait cursor for the length of a step.
class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// An 8 x 8 one-bit pattern, rows 0xAA and 0x55. The brush keeps its own copy
// of the pattern, so the bitmap goes as soon as the brush is made.
win::ScopedBrush MakeCheckerboard() {
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    win::ScopedBitmap pattern(::CreateBitmap(8, 8, 1, 1, rows));
    return win::ScopedBrush(::CreatePatternBrush(pattern.get()));
}

}  // namespace

fMain& fMain::Get() {
    static fMain form;
    return form;
}

fMain::fMain() : pathPrompt_(ShowSaveAsDialog), messageBox_(ShowMessageBox) {}

fMain::~fMain() = default;

void fMain::SetPathPrompt(SavePathPrompt prompt) { pathPrompt_ = prompt ? std::move(prompt) : ShowSaveAsDialog; }

void fMain::SetMessageBox(MessageBoxFunction messageBox) {
    messageBox_ = messageBox ? std::move(messageBox) : ShowMessageBox;
}

void fMain::Show(HWND owner, CurrentCapture& capture) {
    owner_ = owner;
    capture_ = &capture;
    const bool wasLoaded = IsLoaded();
    Form::Show(SW_SHOW);  // the first load runs Form_Load, which loads the picture
    if (wasLoaded && IsLoaded()) LoadPicture(capture_->Picture());
}

std::wstring fMain::Text(int id) const { return win::GetWindowTextString(Item(id)); }

void fMain::Form_Load() {
    gdiplus_ = win::ScopedGdiplus(true);
    if (!gdiplus_) {
        messageBox_(hwnd(), L"Error loading GDI+!", MB_ICONERROR);
        ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return;
    }
    ResetPalette();
    checker_ = MakeCheckerboard();
    LoadPicture(capture_ ? capture_->Picture() : nullptr);
}

void fMain::Form_Unload() {
    gdiplus_.reset();
    checker_.reset();
    ucPreview_.DIB().Destroy();
    source_.Destroy();
    palette_.Clear();
    ditherer_.InitializePalID(0, 0);
    option_ = -1;
    depth_ = 0;
    markerVisible_ = false;
}

LRESULT fMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: Form_Paint(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_HSCROLL: OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp)); return 0;
    case WM_DRAWITEM:
        if (wp == kIPalette) {
            iPalette_Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_CLOSE: Unload(); return 0;
    }
    return Form::HandleMessage(msg, wp, lp);
}

void fMain::OnCommand(int id, int code) {
    if (id >= kOptPalette0 && id < kOptPalette0 + 6 && code == BN_CLICKED) return optPalette_Click(id - kOptPalette0);
    if (code == EN_CHANGE && !quiet_) {
        if (id == kTxtOptimalEntries) return txtOptimalEntries_Change();
        if (id >= kTxtRGBWeight0 && id < kTxtRGBWeight0 + 3) return txtRGBWeight_Change(id - kTxtRGBWeight0);
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case kChkDiffuseError:
    case kChkNoise: DitherOptions_Change(); break;
    case kChkCountUniqueColors: chkCountUniqueColors_Click(); break;
    case kChkPickColor: chkPickColor_Click(); break;
    }
}

void fMain::OnScroll(HWND bar, int code, int thumb) {
    const int id = ::GetDlgCtrlID(bar);
    SCROLLINFO si{sizeof(si), SIF_ALL};
    if (!::GetScrollInfo(bar, SB_CTL, &si)) return;
    const int step = id == kSbOptimalEntriesFast ? 10 : 1;
    int value = si.nPos;
    switch (code) {
    case SB_LINELEFT: value -= step; break;
    case SB_LINERIGHT: value += step; break;
    case SB_PAGELEFT: value -= 10; break;
    case SB_PAGERIGHT: value += 10; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = thumb; break;  // the bars' ranges fit the message's 16 bits
    case SB_LEFT: value = si.nMin; break;
    case SB_RIGHT: value = si.nMax; break;
    default: return;
    }
    value = std::clamp(value, si.nMin, si.nMax);
    if (value == si.nPos) return;
    ::SetScrollPos(bar, SB_CTL, value, TRUE);
    switch (id) {
    case kSbHalftoneLevels: sbHalftoneLevels_Change(); break;
    case kSbOptimalEntries: sbOptimalEntries_Change(); break;
    case kSbOptimalEntriesFast: sbOptimalEntriesFast_Change(); break;
    case kSbNoise: SetText(kTxtNoise, std::to_wstring(value), true); DitherOptions_Change(); break;
    case kSbZoom: sbZoom_Change(); break;
    }
}

// --- handlers ---------------------------------------------------------------

void fMain::optPalette_Click(int option) {
    for (int i = 0; i < 6; ++i) SetChecked(kOptPalette0 + i, i == option);
    option_ = option;
    switch (option) {
    case 0:
    case 1:
    case 2: palette_.CreateGreyscale(option); break;
    case 3: {
        const int levels = ScrollValue(kSbHalftoneLevels);
        if (levels >= 2 && levels <= 6) palette_.CreateHalftone(levels - 2);
        break;
    }
    case 4: palette_.CreateWebsafe(); break;
    case 5: {
        if (!source_.hDIB()) break;
        WaitCursor wait;
        int32_t x = 0, y = 0, w = 0, h = 0;
        source_.GetBestFitInfo(100, 100, x, y, w, h, false);
        cDIB32 reduced;
        reduced.Create(w, h, 0);
        reduced.LoadDIBBlt(source_);
        // Typed values outside the bars' ranges are brought into them (and shown so).
        const int32_t wanted = Value(kTxtOptimalEntries, 8, 256);
        float weights[3];
        for (int i = 0; i < 3; ++i) weights[i] = static_cast<float>(Value(kWeightText[i], 0, kMaxWeight)) / 1000.0f;
        palette_.CreateOptimal(reduced.Pixels(), wanted, 8, weights[0], weights[1], weights[2]);
        break;
    }
    }
    ::InvalidateRect(Item(kIPalette), nullptr, FALSE);
    cmdDither_->SetEnabled(depth_ != 0);
    cmdSaveGIF_->SetEnabled(false);
    MoveMarker(markerEntry_, false);
    SetChecked(kChkPickColor, false);
    Enable(kChkPickColor, false);
    ucPreview_.WorkMode(0);
}

void fMain::sbHalftoneLevels_Change() {
    const int v = ScrollValue(kSbHalftoneLevels);
    SetText(kTxtHalftoneLevels, std::to_wstring(v * v * v), true);
    optPalette_Click(3);  // reruns it, or selects it
}

void fMain::sbOptimalEntries_Change() {
    const int v = ScrollValue(kSbOptimalEntries);
    SetText(kTxtOptimalEntries, std::to_wstring(v));
    SetScrollValue(kSbOptimalEntriesFast, v);
}

void fMain::sbOptimalEntriesFast_Change() {
    SetScrollValue(kSbOptimalEntries, ScrollValue(kSbOptimalEntriesFast));
    sbOptimalEntries_Change();
}

void fMain::txtOptimalEntries_Change() {
    const std::wstring text = Text(kTxtOptimalEntries);
    if (LeadingDigits(text) != text) SetText(kTxtOptimalEntries, LeadingDigits(text), true);  // pasted text
    ResetPalette();
}

void fMain::txtRGBWeight_Change(int index) {
    const int id = kWeightText[index];
    const std::wstring text = Text(id);
    if (DigitsValue(text, 0, kMaxWeight + 1) > kMaxWeight) {
        SetText(id, L"1000", true);
        ::SendMessageW(Item(id), EM_SETSEL, 0, -1);
    } else if (LeadingDigits(text) != text) {
        SetText(id, LeadingDigits(text), true);
    }
    ResetPalette();
}

void fMain::cmdUseDefaultWeights_Click() {
    const wchar_t* weights[3] = {L"360", L"436", L"341"};
    for (int i = 0; i < 3; ++i) SetText(kWeightText[i], weights[i]);
}

void fMain::cmdResetWeights_Click() {
    for (int id : kWeightText) SetText(id, L"1000");
}

void fMain::DitherOptions_Change() { cmdSaveGIF_->SetEnabled(false); }

void fMain::cmdDither_Click() {
    cDIB32& working = ucPreview_.DIB();
    if (!working.hDIB() || option_ < 0) return;
    WaitCursor wait;
    working.LoadBlt(source_.hDIBDC(), 0, 0);
    if (Checked(kChkNoise)) {
        const int32_t level = Value(kTxtNoise, 0, 25);
        if (level > 0) filter_.Noise(working, level, 1);
    }
    const bool diffuse = Checked(kChkDiffuseError);
    if (option_ <= 2) ditherer_.DitherToGreyPalette(working, palette_, option_, diffuse);
    else ditherer_.DitherToColorPalette(working, palette_, diffuse);
    ucPreview_.Repaint();
    depth_ = VirtualDepth(palette_.MaxCount(), depth_);
    SetText(kLblbpp, std::to_wstring(depth_) + L" bpp (virtual color depth)");
    SetText(kLblBitmapSize, FormatThousands(PaletteBitmapFileSize(depth_, working.Width(), working.Height())) +
                                L" bytes (" + std::to_wstring(depth_) + L" bpp)");
    if (Checked(kChkCountUniqueColors)) CountColoursIntoLabel();
    cmdSaveGIF_->SetEnabled(true);
    Enable(kChkPickColor, true);
    MoveMarker(0, true);
}

void fMain::chkCountUniqueColors_Click() {
    if (Checked(kChkCountUniqueColors)) {
        if (ucPreview_.DIB().hDIB()) CountColoursIntoLabel();
    } else {
        SetText(kLblUniqueColors, L"");
    }
}

void fMain::chkPickColor_Click() { ucPreview_.WorkMode(Checked(kChkPickColor) ? 1 : 0); }

void fMain::ucPreview_MouseDown(int, int, int32_t x, int32_t y) { PickAt(x, y); }

void fMain::ucPreview_MouseMove(int button, int, int32_t x, int32_t y) {
    if (button & ucCanvas::kLeftButton) PickAt(x, y);
}

void fMain::sbZoom_Change() {
    const int zoom = ScrollValue(kSbZoom);
    ucPreview_.zoom(zoom);
    ucPreview_.Resize();
    SetText(kLblZoom, FormatZoom(zoom));
}

void fMain::cmdSaveGIF_Click() {
    const std::wstring path = pathPrompt_({hwnd(), kFilter, kDialogFlags, kCaption});
    if (path.empty()) return;
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        messageBox_(hwnd(), L"File already exists ! Overwrite ?", MB_OKCANCEL) != IDOK)
        return;
    const int32_t transparent = Checked(kChkUseTransparent) ? markerEntry_ : -1;
    if (depth_ < 1 || depth_ > 8) return;
    std::wstring reason;
    if (!SaveGIF(ucPreview_.DIB(), palette_, ditherer_, transparent, path, &reason)) {
        SetText(kLblFileSize, L"");
        messageBox_(hwnd(), L"Failed to save the picture to the file: '" + path + L"'\n\n" + reason,
                    MB_ICONWARNING);
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    const int64_t size = (int64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    SetText(kLblFileSize, FormatThousands(size) + L" bytes");
}

void fMain::cmdExit_Click() { Unload(); }

// --- steps ------------------------------------------------------------------

void fMain::ResetPalette() {
    palette_.InitializePalette();
    ::InvalidateRect(Item(kIPalette), nullptr, FALSE);
    if (option_ >= 0) SetChecked(kOptPalette0 + option_, false);
    option_ = -1;
    if (cmdDither_) cmdDither_->SetEnabled(false);
    if (cmdSaveGIF_) cmdSaveGIF_->SetEnabled(false);
    SetChecked(kChkPickColor, false);
    Enable(kChkPickColor, false);
    ucPreview_.WorkMode(0);
    MoveMarker(markerEntry_, false);
}

void fMain::LoadPicture(HBITMAP picture) {
    cDIB32& working = ucPreview_.DIB();
    depth_ = picture ? working.CreateFromStdPicture(picture) : 0;
    if (depth_ == 0) working.Destroy();
    ucPreview_.Resize();
    ResetPalette();
    source_.Destroy();
    if (depth_ != 0 && source_.Create(working.Width(), working.Height(), 0)) source_.LoadBlt(working.hDIBDC(), 0, 0);
    SetText(kLblDimensions, std::to_wstring(working.Width()) + L" x " + std::to_wstring(working.Height()));
    SetText(kLblbpp, std::to_wstring(depth_) + L" bpp (memory DIB)");
    SetText(kLblBitmapSize, FormatThousands(Bitmap24FileSize(working.Width(), working.Height())) + L" bytes (24 bpp)");
    SetText(kLblFileSize, L"");
    SetText(kLblUniqueColors, L"");
    if (Checked(kChkCountUniqueColors) && depth_ != 0) CountColoursIntoLabel();
    // Without a picture there is nothing to build a palette for or to dither.
    const bool hasPicture = depth_ != 0;
    for (int id : {kFraDither, kChkDiffuseError, kChkNoise, kSbNoise, kTxtNoise, kChkCountUniqueColors})
        Enable(id, hasPicture);
    for (int i = 0; i < 6; ++i) Enable(kOptPalette0 + i, hasPicture);
}

void fMain::CountColoursIntoLabel() {
    WaitCursor wait;
    SetText(kLblUniqueColors, FormatThousands(ditherer_.CountColors(ucPreview_.DIB())));
}

void fMain::PickAt(int32_t x, int32_t y) {
    const cDIB32& working = ucPreview_.DIB();
    if (!Checked(kChkPickColor) || depth_ < 1 || depth_ > 8) return;
    if (x < 0 || y < 0 || x >= working.Width() || y >= working.Height()) return;
    MoveMarker(ditherer_.PalID(x, y), true);
}

void fMain::MoveMarker(int32_t entry, bool visible) {
    markerEntry_ = entry;
    markerVisible_ = visible;
    if (IsLoaded()) ::InvalidateRect(Item(kIPalette), nullptr, FALSE);
}

int32_t fMain::Value(int id, int32_t lo, int32_t hi) {
    const std::wstring text = Text(id);
    const int32_t value = DigitsValue(text, lo, hi);
    if (text != std::to_wstring(value)) SetText(id, std::to_wstring(value), true);
    return value;
}

void fMain::SetText(int id, const std::wstring& text, bool quiet) {
    const bool was = quiet_;
    quiet_ = quiet;
    ::SetWindowTextW(Item(id), text.c_str());
    quiet_ = was;
}

bool fMain::Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void fMain::SetChecked(int id, bool checked) {
    ::SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int fMain::ScrollValue(int id) const { return ::GetScrollPos(Item(id), SB_CTL); }

void fMain::SetScrollValue(int id, int value) { ::SetScrollPos(Item(id), SB_CTL, value, TRUE); }

void fMain::Enable(int id, bool enabled) { ::EnableWindow(Item(id), enabled); }

}  // namespace px
